// SPDX-License-Identifier: GPL-3.0-or-later
// ADIF export and import of a 100,000-contact log, each against a plain copy
// of the same log file measured in the same run (read, write, sync: the copy
// is as safe as the writers it is compared with).

#include "besttime.h"
#include "interchange/adiftransfer.h"
#include "logbook/logfile.h"
#include "tests/logbook/logfixture.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

using namespace ondelog;
namespace fs = std::filesystem;

void plainCopy(const fs::path &from, const fs::path &to)
{
    constexpr std::size_t kChunk = 1 << 20;
    const auto buffer = std::make_unique_for_overwrite<char[]>(kChunk);
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    for (;;) {
        const ssize_t r = ::read(in, buffer.get(), kChunk);
        if (r <= 0 || ::write(out, buffer.get(), static_cast<std::size_t>(r)) != r)
            break;
    }
    ::fsync(out);
    ::close(out);
    ::close(in);
}

void BM_AdifTransfer(benchmark::State &state)
{
    const std::int64_t n = state.range(0);
    test::TempDir dir;
    const fs::path log = dir.file("log.Ham");
    test::writeLog(log, n);
    const ExportOptions exportOptions{"F6ABC", "20261208 000000", {}};
    const ImportOptions importOptions{"JN18EU", {}};
    auto freshLog = [&] {
        fs::remove(dir.file("new.Ham"));
        LogFile::create(dir.file("new.Ham"), "JN18EU");
    };
    std::int64_t done = 0;

    for (auto _ : state) {
        const ExportResult r = exportAdif(log, dir.file("log.adi"), AdifFormat::Adi, exportOptions);
        done += r.exported;
    }
    state.SetItemsProcessed(done);

    const int repeats = 5;
    const double copy = bestSeconds([&] { plainCopy(log, dir.file("copy.Ham")); }, repeats);
    const double exportAdi = bestSeconds(
        [&] { exportAdif(log, dir.file("log.adi"), AdifFormat::Adi, exportOptions); }, repeats);
    const double exportAdx = bestSeconds(
        [&] { exportAdif(log, dir.file("log.adx"), AdifFormat::Adx, exportOptions); }, repeats);
    double importAdi = 1e30, importAdx = 1e30;
    for (int i = 0; i < repeats; ++i) {
        freshLog();
        importAdi = std::min(importAdi, bestSeconds(
                                            [&] {
                                                if (importAdif(dir.file("new.Ham"),
                                                               dir.file("log.adi"), importOptions)
                                                        .imported != n)
                                                    state.SkipWithError("import lost contacts");
                                            },
                                            1));
        freshLog();
        importAdx = std::min(
            importAdx,
            bestSeconds(
                [&] { importAdif(dir.file("new.Ham"), dir.file("log.adx"), importOptions); }, 1));
    }
    // The evening's import of a cumulative file whose every contact is known.
    const double reimport = bestSeconds(
        [&] { importAdif(dir.file("new.Ham"), dir.file("log.adx"), importOptions); }, repeats);

    state.counters["copy_ms"] = copy * 1e3;
    state.counters["exp_adi/copy"] = exportAdi / copy;
    state.counters["exp_adx/copy"] = exportAdx / copy;
    state.counters["imp_adi/copy"] = importAdi / copy;
    state.counters["imp_adx/copy"] = importAdx / copy;
    state.counters["reimp/copy"] = reimport / copy;
    state.counters["exp_adi_ms"] = exportAdi * 1e3;
    state.counters["imp_adi_ms"] = importAdi * 1e3;
}

} // namespace

BENCHMARK(BM_AdifTransfer)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2);
