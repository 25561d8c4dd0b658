// The figures of the "Statistiques" window on logs of 32,767 and 100,000
// contacts of a busy station (busylog.h). The counting pass reads every record
// once, so a plain sequential read of the same file is its floor.

#include "besttime.h"
#include "busylog.h"
#include "logbook/logfile.h"
#include "statistics/logstatistics.h"
#include "tests/logbook/logfixture.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <memory>
#include <stdexcept>
#include <unistd.h>

namespace {

using namespace ondelog;
using bench::busyLog;
namespace fs = std::filesystem;

std::int64_t sequentialRead(const fs::path &path)
{
    constexpr std::size_t kChunk = 64 * 1024;
    const auto buffer = std::make_unique_for_overwrite<char[]>(kChunk);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    std::int64_t total = 0;
    for (ssize_t r; (r = ::read(fd, buffer.get(), kChunk)) > 0;) {
        total += r;
        benchmark::DoNotOptimize(buffer.get());
    }
    ::close(fd);
    return total;
}

void BM_StatisticsPass(benchmark::State &state)
{
    const fs::path &path = busyLog(state.range(0));
    LogFile log;
    log.openReadOnly(path);
    auto count = [&] {
        const LogStatistics s = computeStatistics(log);
        if (s.contacts != state.range(0))
            throw std::runtime_error("contacts missed");
        benchmark::DoNotOptimize(s.bands.data());
    };
    for (auto _ : state)
        count();
    const double read = bestSeconds([&] { benchmark::DoNotOptimize(sequentialRead(path)); }, 20);
    const double took = bestSeconds(count, 20);
    state.counters["read_ms"] = read * 1e3;
    state.counters["ms"] = took * 1e3;
    state.counters["ratio"] = took / read;
}

} // namespace

BENCHMARK(BM_StatisticsPass)->Arg(32767)->Arg(100000)->Unit(benchmark::kMillisecond);
