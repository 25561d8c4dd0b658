// SPDX-License-Identifier: GPL-3.0-or-later
// Backup and merge on logs of 32,767 and 100,000 contacts. Both write a whole
// new file and sync it to the disk before renaming it, so the figures include
// the sync of the temporary folder's file system.

#include "logbook/logfile.h"
#include "maintenance/logcopy.h"
#include "maintenance/merge.h"
#include "tests/logbook/logfixture.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

using namespace ondelog;
namespace fs = std::filesystem;

constexpr const char *kLocator = "JN18EU";

void BM_Backup(benchmark::State &state)
{
    const std::int64_t n = state.range(0);
    test::TempDir dir;
    const fs::path log = dir.file("F6XYZ.Ham");
    test::writeLog(log, n, kLocator);
    for (auto _ : state) {
        if (!copyLog(log, dir.file("copie.Ham"), kLocator).ok())
            state.SkipWithError("backup failed");
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_Merge1000(benchmark::State &state)
{
    const std::int64_t n = state.range(0);
    test::TempDir dir;
    const fs::path original = dir.file("original.Ham");
    const fs::path other = dir.file("AUTRE.Ham");
    test::writeLog(original, n, kLocator);
    test::writeLog(other, 1000, kLocator);
    const fs::path work = dir.file("F6XYZ.Ham");
    for (auto _ : state) {
        state.PauseTiming();
        fs::copy_file(original, work, fs::copy_options::overwrite_existing);
        LogFile log;
        log.open(work);
        state.ResumeTiming();
        if (!mergeLog(log, other, kLocator).ok())
            state.SkipWithError("merge failed");
    }
}

} // namespace

BENCHMARK(BM_Backup)->Arg(32767)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Merge1000)->Arg(32767)->Arg(100000)->Unit(benchmark::kMillisecond);
