// SPDX-License-Identifier: GPL-3.0-or-later
// Search, duplicate search and sort on logs of 32,767 and 100,000 contacts
// spread over ten years in random order. Each is compared with the plainest
// work on the same file measured in the same run: a sequential read for the
// searches (they read every record), a read plus a write of the file for the
// sort (it reads every record and writes the whole log again).

#include "besttime.h"
#include "logbook/logfile.h"
#include "maintenance/duplicates.h"
#include "maintenance/search.h"
#include "maintenance/sort.h"
#include "tests/logbook/logfixture.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <unistd.h>

namespace {

using namespace ondelog;
namespace fs = std::filesystem;

constexpr const char *kLocator = "JN18EU";

/** Contact i of a busy station: a date within ten years and a start time. */
QsoRecord benchContact(std::int64_t i, std::mt19937 &random)
{
    QsoRecord r = test::makeContact(i);
    char text[16];
    std::snprintf(text, sizeof text, "%02u/%02u/%02u", unsigned(random() % 28 + 1),
                  unsigned(random() % 12 + 1), unsigned(random() % 10 + 3));
    r.setField(Field::DQSO, text);
    std::snprintf(text, sizeof text, "%02u:%02u", unsigned(random() % 24), unsigned(random() % 60));
    r.setField(Field::HDEB, text);
    return r;
}

class Logs
{
  public:
    static Logs &instance()
    {
        static Logs logs;
        return logs;
    }

    /** The shuffled log of n contacts, or the same log once sorted. */
    const fs::path &log(std::int64_t n, bool sorted)
    {
        const auto key = std::make_pair(n, sorted);
        auto it = m_logs.find(key);
        if (it != m_logs.end())
            return it->second;
        const fs::path path =
            m_dir.file((sorted ? "sorted" : "shuffled") + std::to_string(n) + ".Ham");
        std::mt19937 random(static_cast<unsigned>(n));
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(n + 1) * kRecordSize);
        QsoRecord previous;
        for (std::int64_t i = 1; i <= n; ++i) {
            // One contact in a thousand logged twice.
            const QsoRecord r = i % 1000 == 0 ? previous : benchContact(i, random);
            bytes += test::recordBytes(r);
            previous = r;
        }
        bytes += test::recordBytes(QsoRecord::endMarker(kLocator));
        test::writeBytes(path, bytes);
        if (sorted) {
            LogFile file;
            file.open(path);
            sortLog(file, kLocator);
        }
        return m_logs.emplace(key, path).first->second;
    }

    fs::path workingCopy(const fs::path &from)
    {
        const fs::path copy = m_dir.file("work.Ham");
        fs::copy_file(from, copy, fs::copy_options::overwrite_existing);
        return copy;
    }
    fs::path scratch() const { return m_dir.file("scratch"); }

  private:
    test::TempDir m_dir;
    std::map<std::pair<std::int64_t, bool>, fs::path> m_logs;
};

constexpr std::size_t kChunk = 64 * 1024;

/** Reads `path` and writes it to a new file. With `safely`, as a rewrite of
 *  the log must: the new file synced, renamed over `to`, and the folder synced. */
void readAndWrite(const fs::path &path, const fs::path &to, bool safely)
{
    const auto buffer = std::make_unique_for_overwrite<char[]>(kChunk);
    const fs::path written = safely ? fs::path(to.string() + ".new") : to;
    const int in = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const int out = ::open(written.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    for (ssize_t r; (r = ::read(in, buffer.get(), kChunk)) > 0;)
        benchmark::DoNotOptimize(::write(out, buffer.get(), static_cast<std::size_t>(r)));
    if (safely)
        ::fsync(out);
    ::close(in);
    ::close(out);
    if (safely) {
        ::rename(written.c_str(), to.c_str());
        const int folder = ::open(to.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::fsync(folder);
        ::close(folder);
    }
    ::unlink(to.c_str());
}

/** Runs `work` on the open shuffled log and sets its ratio to a sequential read. */
template <typename Work> void compareWithRead(benchmark::State &state, Work &&work)
{
    const fs::path &path = Logs::instance().log(state.range(0), false);
    LogFile log;
    log.openReadOnly(path);
    for (auto _ : state)
        work(log);
    // Both measured here, one after the other on the same cached file.
    const double read = bestSeconds([&] { benchmark::DoNotOptimize(sequentialRead(path)); }, 20);
    const double took = bestSeconds([&] { work(log); }, 20);
    state.counters["read_ms"] = read * 1e3;
    state.counters["ms"] = took * 1e3;
    state.counters["ratio"] = took / read;
}

void BM_SearchCallSign(benchmark::State &state)
{
    compareWithRead(state, [](const LogFile &log) {
        if (searchLog(log, "F777").lines.size() != 1)
            throw std::runtime_error("wrong search");
    });
}

void BM_SearchDate(benchmark::State &state)
{
    compareWithRead(state, [](const LogFile &log) {
        benchmark::DoNotOptimize(searchLog(log, "12/05/08").lines.size());
    });
}

void BM_Duplicates(benchmark::State &state)
{
    compareWithRead(state, [](const LogFile &log) {
        if (findDuplicates(log).lines.empty())
            throw std::runtime_error("duplicates missed");
    });
}

/** Sorts a working copy of the shuffled or the sorted log; ratios to a read
 *  plus a write of the same file, plain (rw) and made safe as the sort's own
 *  is, synced and renamed (rw_sync): the two syncs alone cost several times a
 *  plain read and write of a file the system holds in memory. */
void sortBench(benchmark::State &state, bool sorted)
{
    Logs &logs = Logs::instance();
    const fs::path &original = logs.log(state.range(0), sorted);
    auto sortCopy = [&] {
        const fs::path copy = logs.workingCopy(original);
        LogFile log;
        log.open(copy);
        const auto start = std::chrono::steady_clock::now();
        if (sortLog(log, kLocator).status != LogStatus::Ok)
            throw std::runtime_error("sort failed");
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path copy = logs.workingCopy(original);
        LogFile log;
        log.open(copy);
        state.ResumeTiming();
        if (sortLog(log, kLocator).status != LogStatus::Ok)
            state.SkipWithError("sort failed");
    }
    const double readWrite =
        bestSeconds([&] { readAndWrite(original, logs.scratch(), false); }, 10);
    const double readWriteSync =
        bestSeconds([&] { readAndWrite(original, logs.scratch(), true); }, 5);
    double sort = 1e30;
    for (int i = 0; i < 5; ++i)
        sort = std::min(sort, sortCopy());
    state.counters["rw_ms"] = readWrite * 1e3;
    state.counters["rw_sync_ms"] = readWriteSync * 1e3;
    state.counters["sort_ms"] = sort * 1e3;
    state.counters["sort/rw"] = sort / readWrite;
    state.counters["sort/rw_sync"] = sort / readWriteSync;
}

void BM_SortShuffled(benchmark::State &state)
{
    sortBench(state, false);
}

void BM_SortSorted(benchmark::State &state)
{
    sortBench(state, true);
}

} // namespace

BENCHMARK(BM_SearchCallSign)->Arg(32767)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchDate)->Arg(32767)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Duplicates)->Arg(32767)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortShuffled)->Arg(32767)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SortSorted)->Arg(32767)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
