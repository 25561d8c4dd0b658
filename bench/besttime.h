#pragma once
// The reference a benchmark divides by is timed in the same run, best of a few
// tries, so that a ratio does not depend on what else the machine is doing.

#include <algorithm>
#include <chrono>

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
