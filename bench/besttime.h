#pragma once
// The reference a benchmark divides by is timed in the same run, best of a few
// tries, so that a ratio does not depend on what else the machine is doing.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <unistd.h>

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

/** The plainest read of a file, in 64 KiB pieces: the floor of every work that
 *  reads a whole log. Returns the bytes read. */
inline std::int64_t sequentialRead(const std::filesystem::path &path)
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
