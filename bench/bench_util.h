#pragma once

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace bench {

template <typename F> double seconds(F &&body)
{
    const auto start = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The journal sizes named on the command line (fallback when none), and
// "--rounds N" into rounds.
inline std::vector<int> journalSizes(int argc, char **argv, int &rounds, std::vector<int> fallback)
{
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--rounds" && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (std::atoi(argv[i]) > 0)
            sizes.push_back(std::atoi(argv[i]));
    }
    return sizes.empty() ? fallback : sizes;
}

// Processor time of this thread, in seconds: what other programs on a
// shared machine disturb less than the wall clock.
inline double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// True (after printing usage) when the command line asks for help: a
// benchmark run by mistake takes minutes.
inline bool helpAsked(int argc, char **argv, const char *usage)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(usage, stdout);
            return true;
        }
    return false;
}

} // namespace bench
