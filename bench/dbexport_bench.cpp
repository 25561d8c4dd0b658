// SPDX-License-Identifier: GPL-3.0-or-later
// Converting a log of 100,000 contacts into the contact database, against a
// plain copy of the same log file: the conversion reads the log once and writes
// about as many bytes, so the copy is the floor it is held to.

#include "database/contactdatabase.h"
#include "tests/logbook/logfixture.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <time.h>
#include <unistd.h>

namespace {

using namespace ondelog;
namespace fs = std::filesystem;

// Qt SQL finds its SQLite driver through the application object.
void ensureApplication()
{
    static int argc = 1;
    static char name[] = "ondelog_bench";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

void plainCopy(const fs::path &from, const fs::path &to)
{
    constexpr std::size_t kChunk = 64 * 1024;
    const auto buffer = std::make_unique_for_overwrite<char[]>(kChunk);
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    for (;;) {
        const ssize_t r = ::read(in, buffer.get(), kChunk);
        if (r <= 0 || ::write(out, buffer.get(), std::size_t(r)) != r)
            break;
    }
    ::close(in);
    ::close(out);
}

QString qpath(const fs::path &p)
{
    return QFile::decodeName(p.c_str());
}

bool convert(const fs::path &log, std::int64_t n, const fs::path &db)
{
    const ConversionResult r = convertLog(log, std::int32_t(n), qpath(db));
    return r.outcome == ConversionResult::Outcome::Converted && r.rows == n;
}

double threadCpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

struct Best
{
    double wall = 1e30;
    double cpu = 1e30;
};

// The best wall-clock and processor times of `repeats` runs of f, each after
// prepare() (not counted). On a busy machine the processor time still tells
// the work done, where the wall clock also counts the waits for the processor.
template <typename P, typename F> Best best(P &&prepare, F &&f, int repeats)
{
    Best b;
    for (int i = 0; i < repeats; ++i) {
        prepare();
        const double cpu = threadCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        f();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        b.wall = std::min(b.wall, took.count());
        b.cpu = std::min(b.cpu, threadCpuSeconds() - cpu);
    }
    return b;
}

void BM_ConvertLog(benchmark::State &state)
{
    ensureApplication();
    const std::int64_t n = state.range(0);
    test::TempDir dir;
    const fs::path log = dir.file("F6XYZ.Ham");
    const fs::path db = dir.file("F6XYZ.mdb");
    const fs::path empty = dir.file("empty.mdb");
    test::writeLog(log, n);
    if (createContactDatabase(qpath(empty)).outcome != CreationResult::Outcome::Created)
        state.SkipWithError("database not created");
    // Each conversion fills a new empty database, as after Fabribase.
    auto freshDatabase = [&] { fs::copy_file(empty, db, fs::copy_options::overwrite_existing); };
    for (auto _ : state) {
        state.PauseTiming();
        freshDatabase();
        state.ResumeTiming();
        if (!convert(log, n, db))
            state.SkipWithError("conversion failed");
    }
    state.SetItemsProcessed(state.iterations() * n);

    // Both measured here, one after the other on the same cached log, so that
    // the ratio does not depend on what the machine did between benchmarks.
    const fs::path copy = dir.file("copy.Ham");
    const Best copied = best([] {}, [&] { plainCopy(log, copy); }, 10);
    const Best converted = best(
        freshDatabase, [&] { convert(log, n, db); }, 5);
    state.counters["copy_ms"] = copied.wall * 1e3;
    state.counters["convert_ms"] = converted.wall * 1e3;
    state.counters["convert/copy"] = converted.wall / copied.wall;
    state.counters["cpu_copy_ms"] = copied.cpu * 1e3;
    state.counters["cpu_convert_ms"] = converted.cpu * 1e3;
    state.counters["cpu convert/copy"] = converted.cpu / copied.cpu;
}

} // namespace

BENCHMARK(BM_ConvertLog)->Arg(32767)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
