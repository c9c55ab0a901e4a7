#pragma once

#include <time.h>

#include <chrono>

namespace bench {

template <typename F> double seconds(F &&body)
{
    const auto start = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Processor time of this thread, in seconds: what other programs on a
// shared machine disturb less than the wall clock.
inline double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

} // namespace bench
