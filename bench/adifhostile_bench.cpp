// SPDX-License-Identifier: GPL-3.0-or-later
// ADIF files built to make the import work hard. Each hostile shape is read at
// 1, 8 and 64 MiB: the time grows with the size (64 MiB take about 8 times 8),
// never with its square. The two shapes of the report, quadratic before, are
// imported from disk at 8 MiB.
// Two files of 1 GiB (a record that never ends, and one contact repeated) are
// imported in a child process whose peak resident size is reported: memory
// stays flat whatever the file's size.

#include "besttime.h"
#include "interchange/adiftransfer.h"
#include "logbook/logfile.h"
#include "tests/interchange/hostileshapes.h"
#include "tests/logbook/logfixture.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace ondelog;
namespace fs = std::filesystem;

constexpr std::size_t kMiB = 1u << 20;

void readWhole(AdifFormat format, const std::string &text)
{
    std::istringstream in(text);
    const std::unique_ptr<AdifReader> reader = makeAdifReader(format, in);
    AdifRecord record;
    while (reader->next(record) != AdifReadResult::End)
        benchmark::DoNotOptimize(record);
}

// Processor time rather than wall time: parsing waits on nothing, and the
// ratios must not move with the machine's load. The 1 MiB files are mostly
// shorter than their huge lengths, which end at once; 8 and 64 MiB compare
// like with like.
void BM_AdifHostileShape(benchmark::State &state)
{
    const test::HostileShape shape = test::hostileShapes()[std::size_t(state.range(0))];
    state.SetLabel(shape.what);
    const std::string one = test::hostileFile(shape, kMiB);
    const std::string eight = test::hostileFile(shape, 8 * kMiB);
    const std::string big = test::hostileFile(shape, 64 * kMiB);
    for (auto _ : state)
        readWhole(shape.format, eight);
    auto cpu = [&](const std::string &text) {
        return bestSeconds<ThreadCpuClock>([&] { readWhole(shape.format, text); }, 3);
    };
    const double eightSeconds = cpu(eight);
    state.counters["1MiB_ms"] = cpu(one) * 1e3;
    state.counters["8MiB_ms"] = eightSeconds * 1e3;
    state.counters["64MiB/8MiB"] = cpu(big) / eightSeconds;
}

// The two shapes of the report, imported from disk into a log.
void BM_AdifImportHostileFile(benchmark::State &state)
{
    const char *wanted =
        state.range(0) == 0 ? "huge lengths, then one <EOR>" : "records that never close";
    test::HostileShape shape;
    for (const test::HostileShape &s : test::hostileShapes())
        if (std::string_view(s.what) == wanted)
            shape = s;
    state.SetLabel(shape.what);
    test::TempDir dir;
    const fs::path file = dir.file(shape.format == AdifFormat::Adx ? "in.adx" : "in.adi");
    test::writeBytes(file, test::hostileFile(shape, 8 * kMiB));
    const fs::path log = dir.file("log.Ham");
    LogFile::create(log, "JN18EU");
    double seconds = 1e30;
    for (auto _ : state)
        seconds = std::min(seconds, bestSeconds([&] { importAdif(log, file, {"JN18EU", {}}); }, 1));
    state.counters["8MiB_ms"] = seconds * 1e3;
}

/** A file of about `size` bytes: `head` once, then `unit` again and again. */
void writeBig(const fs::path &path, const std::string &head, const std::string &unit,
              std::uint64_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << head;
    std::string block;
    while (block.size() + unit.size() <= 4 * kMiB)
        block += unit;
    for (std::uint64_t written = head.size(); written < size; written += block.size())
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
}

/** Peak resident size of this process in KiB (VmHWM). */
long peakResidentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

// Run in a child, which starts with the resident size of this process at the
// fork: its own peak, and what the import added to it, come back through a pipe.
void BM_AdifImportOneGiB(benchmark::State &state)
{
    const bool repeated = state.range(0) == 1;
    state.SetLabel(repeated ? "1 GiB: one contact repeated" : "1 GiB: a record without <EOR>");
    test::TempDir dir;
    const fs::path file = dir.file("big.adi");
    const std::string contact = "<CALL:5>F6ABC <QSO_DATE:8>20240314 <TIME_ON:4>1842 "
                                "<FREQ:6>14.205 <MODE:3>SSB <RST_SENT:2>59 <EOR>\n";
    writeBig(file, "<EOH>\n", repeated ? contact : "<NAME:5>Alain ", 1024 * kMiB);
    const fs::path log = dir.file("log.Ham");

    long peak = 0, grown = 0;
    double seconds = 0;
    for (auto _ : state) {
        fs::remove(log);
        LogFile::create(log, "JN18EU");
        int channel[2];
        if (::pipe(channel) != 0)
            state.SkipWithError("pipe");
        const pid_t child = ::fork();
        if (child == 0) {
            const long before = peakResidentKiB();
            const ImportResult r = importAdif(log, file, {"JN18EU", {}});
            const long figures[3] = {peakResidentKiB(), peakResidentKiB() - before,
                                     static_cast<long>(r.imported)};
            [[maybe_unused]] const auto ignored = ::write(channel[1], figures, sizeof figures);
            ::_exit(0);
        }
        const auto start = std::chrono::steady_clock::now();
        long figures[3] = {};
        [[maybe_unused]] const auto got = ::read(channel[0], figures, sizeof figures);
        ::waitpid(child, nullptr, 0);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ::close(channel[0]);
        ::close(channel[1]);
        peak = figures[0];
        grown = figures[1];
        if (figures[2] != (repeated ? 1 : 0))
            state.SkipWithError("the import did not give what the file holds");
    }
    state.counters["peak_MiB"] = double(peak) / 1024;
    state.counters["import_MiB"] = double(grown) / 1024;
    state.counters["s"] = seconds;
}

} // namespace

BENCHMARK(BM_AdifHostileShape)
    ->DenseRange(0, static_cast<int>(ondelog::test::hostileShapes().size()) - 1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_AdifImportHostileFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_AdifImportOneGiB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);
