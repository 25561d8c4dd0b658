// The log store on logs of 32,767 contacts (the most the 16-bit counters of
// older logbooks allowed) and 100,000, in a temporary folder. Counting is
// compared with a plain sequential read of the same file: the count reads every
// record, so the read is the floor it can be held to.

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

std::int64_t sequentialRead(const fs::path &path)
{
    constexpr std::size_t kChunk = 64 * 1024;
    const auto buffer = std::make_unique_for_overwrite<char[]>(kChunk);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    std::int64_t total = 0;
    for (;;) {
        const ssize_t r = ::read(fd, buffer.get(), kChunk);
        if (r <= 0)
            break;
        total += r;
        benchmark::DoNotOptimize(buffer.get());
    }
    ::close(fd);
    return total;
}

std::int32_t openAndCount(const fs::path &path)
{
    LogFile log;
    log.openReadOnly(path);
    return log.recordCount();
}

template <typename F> double bestSeconds(F &&f, int repeats)
{
    double best = 1e30;
    for (int i = 0; i < repeats; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
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
}

} // namespace

BENCHMARK(BM_SequentialRead)->Arg(32767)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenAndCount)->Arg(32767)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPage)->Arg(32767)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Append1000)->Arg(32767)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DeleteFirst)->Arg(32767)->Arg(100000)->Unit(benchmark::kMillisecond);
