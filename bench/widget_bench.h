#pragma once

#include "bench_util.h"

#include <QApplication>

#include <cstdlib>
#include <vector>

namespace bench {

// Runs a window benchmark for each journal size of the command line (or
// the fallback), offscreen unless a platform is named; --help prints the
// usage instead.
inline int runOffscreen(int argc, char **argv, const char *usage, int &rounds, std::vector<int> fallback,
                        void (*run)(int))
{
    if (helpAsked(argc, argv, usage))
        return 0;
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    for (int entries : journalSizes(argc, argv, rounds, std::move(fallback)))
        run(entries);
    return 0;
}

} // namespace bench
