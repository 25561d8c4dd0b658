// SPDX-License-Identifier: GPL-3.0-or-later
// The figures of the "Statistiques" window on logs of 32,767 and 100,000
// contacts of a busy station (busylog.h). The counting pass reads every record
// once, so a plain sequential read of the same file is its floor.

#include "besttime.h"
#include "busylog.h"
#include "logbook/logfile.h"
#include "statistics/logstatistics.h"

#include <benchmark/benchmark.h>

#include <stdexcept>

namespace {

using namespace ondelog;
using bench::busyLog;
namespace fs = std::filesystem;

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
