// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The reference a benchmark divides by is timed in the same run, best of a few
// tries, so that a ratio does not depend on what else the machine is doing.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <unistd.h>

/** The processor time of the calling thread: work done, whatever else the
 *  machine runs meanwhile (for work that waits on nothing, such as parsing). */
struct ThreadCpuClock
{
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<ThreadCpuClock>;
    static time_point now()
    {
        timespec t{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return time_point(duration(std::chrono::seconds(t.tv_sec) + duration(t.tv_nsec)));
    }
};

template <typename Clock = std::chrono::steady_clock, typename F>
double bestSeconds(F &&f, int repeats)
{
    double best = 1e30;
    for (int i = 0; i < repeats; ++i) {
        const auto start = Clock::now();
        f();
        const std::chrono::duration<double> took = Clock::now() - start;
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
