// SPDX-License-Identifier: GPL-3.0-or-later
// The log store on logs of 32,767 contacts (the most the 16-bit counters of
// older logbooks allowed) and 100,000, in a temporary folder. Counting is
// compared with a plain sequential read of the same file: the count reads every
// record, so the read is the floor it can be held to; a deletion writes the log
// anew, so a read and a write of the file are its floor.

#include "besttime.h"
#include "logbook/logfile.h"
#include "logbook/loglist.h"
#include "logbook/record.h"
#include "tests/logbook/logfixture.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

using namespace ondelog;
namespace fs = std::filesystem;

constexpr const char *kLocator = "JN18EU";

/** The logs, built once per run by writing the file directly, removed at exit. */
class Logs
{
  public:
    static Logs &instance()
    {
        static Logs logs;
        return logs;
    }

    /** The pristine log of n contacts (never written by a benchmark). */
    const fs::path &original(std::int64_t n)
    {
        auto it = m_logs.find(n);
        if (it == m_logs.end()) {
            const fs::path path = m_dir.file("log" + std::to_string(n) + ".Ham");
            test::writeLog(path, n, kLocator);
            it = m_logs.emplace(n, path).first;
        }
        return it->second;
    }

    /** A fresh copy of the log of n contacts, for the benchmarks that change it. */
    fs::path workingCopy(std::int64_t n)
    {
        const fs::path copy = m_dir.file("work" + std::to_string(n) + ".Ham");
        fs::copy_file(original(n), copy, fs::copy_options::overwrite_existing);
        return copy;
    }

  private:
    test::TempDir m_dir;
    std::map<std::int64_t, fs::path> m_logs;
};

std::int32_t openAndCount(const fs::path &path)
{
    LogFile log;
    log.openReadOnly(path);
    return log.recordCount();
}

void BM_SequentialRead(benchmark::State &state)
{
    const fs::path &path = Logs::instance().original(state.range(0));
    std::int64_t bytes = 0;
    for (auto _ : state)
        bytes += sequentialRead(path);
    state.SetBytesProcessed(bytes);
}

void BM_OpenAndCount(benchmark::State &state)
{
    const fs::path &path = Logs::instance().original(state.range(0));
    for (auto _ : state) {
        LogFile log;
        log.open(path);
        if (log.recordCount() != state.range(0))
            state.SkipWithError("wrong count");
        benchmark::DoNotOptimize(log.recordCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));

    // Both measured here, one after the other on the same cached file, so that
    // the ratio does not depend on what the machine did between benchmarks.
    const double read = bestSeconds([&] { benchmark::DoNotOptimize(sequentialRead(path)); }, 30);
    const double count = bestSeconds([&] { benchmark::DoNotOptimize(openAndCount(path)); }, 30);
    state.counters["read_ms"] = read * 1e3;
    state.counters["count_ms"] = count * 1e3;
    state.counters["count/read"] = count / read;
}

void BM_ReadPage(benchmark::State &state)
{
    const std::int32_t n = static_cast<std::int32_t>(state.range(0));
    LogFile log;
    log.openReadOnly(Logs::instance().original(n));
    const PageRange range = pageRange(computePageCount(n) / 2, n);
    for (auto _ : state) {
        for (std::int32_t r = range.first; r <= range.last; ++r)
            benchmark::DoNotOptimize(log.readRecord(r));
    }
    state.SetItemsProcessed(state.iterations() * (range.last - range.first + 1));
}

void BM_Append1000(benchmark::State &state)
{
    const std::int64_t n = state.range(0);
    for (auto _ : state) {
        state.PauseTiming();
        LogFile log;
        log.open(Logs::instance().workingCopy(n));
        state.ResumeTiming();
        for (int i = 1; i <= 1000; ++i) {
            if (log.appendContact(test::makeContact(n + i), kLocator) != LogStatus::Ok)
                state.SkipWithError("append failed");
        }
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}

/** Reads the whole file and writes it to a new file beside it (synced when
 *  asked): the least any deletion that writes the log anew must do. */
void readAndWrite(const fs::path &path, bool sync)
{
    constexpr std::size_t kChunk = 1 << 20;
    const auto buffer = std::make_unique_for_overwrite<char[]>(kChunk);
    const fs::path copy = path.parent_path() / "copy.Ham";
    const int in = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const int out = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    for (;;) {
        const ssize_t r = ::read(in, buffer.get(), kChunk);
        if (r <= 0 || ::write(out, buffer.get(), static_cast<std::size_t>(r)) != r)
            break;
    }
    if (sync)
        ::fsync(out);
    ::close(out);
    ::close(in);
}

/** Best time of `repeats` deletions of the first contact, each on a fresh copy. */
double bestDeletion(std::int64_t n, int repeats)
{
    double best = 1e30;
    for (int i = 0; i < repeats; ++i) {
        LogFile log;
        log.open(Logs::instance().workingCopy(n));
        const auto start = std::chrono::steady_clock::now();
        log.deleteRecord(1, kLocator);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

void BM_DeleteFirst(benchmark::State &state)
{
    const std::int64_t n = state.range(0);
    for (auto _ : state) {
        state.PauseTiming();
        LogFile log;
        log.open(Logs::instance().workingCopy(n));
        state.ResumeTiming();
        if (log.deleteRecord(1, kLocator) != LogStatus::Ok)
            state.SkipWithError("delete failed");
    }

    // The deletion against a plain read and write of the same file, measured
    // one after the other here: with the syncs that make both durable, and
    // without them, which shows what the rewrite itself costs.
    const fs::path &path = Logs::instance().original(n);
    constexpr int kRepeats = 10;
    const double synced = bestDeletion(n, kRepeats);
    const double copySynced = bestSeconds([&] { readAndWrite(path, true); }, kRepeats);
    double unsynced = 0;
    {
        const test::SkipDiskSyncs skip;
        unsynced = bestDeletion(n, kRepeats);
    }
    const double copy = bestSeconds([&] { readAndWrite(path, false); }, kRepeats);
    state.counters["delete_ms"] = synced * 1e3;
    state.counters["rw_sync_ms"] = copySynced * 1e3;
    state.counters["delete/rw_sync"] = synced / copySynced;
    state.counters["nosync_ms"] = unsynced * 1e3;
    state.counters["rw_ms"] = copy * 1e3;
    state.counters["nosync/rw"] = unsynced / copy;
}

} // namespace

BENCHMARK(BM_SequentialRead)->Arg(32767)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndCount)->Arg(32767)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPage)->Arg(32767)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Append1000)->Arg(32767)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DeleteFirst)->Arg(32767)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(10);
