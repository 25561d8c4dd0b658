#pragma once
// The reference a benchmark divides by is timed in the same run, best of a few
// tries, so that a ratio does not depend on what else the machine is doing.

#include <algorithm>
#include <chrono>
#include <ctime>

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
