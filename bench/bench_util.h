#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

// Median wall time in milliseconds of runs calls of body.
inline double medianMs(int runs, const std::function<void()>& body)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        body();
        t.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

inline void report(const char* what, double ms, double baseline = 0)
{
    if (baseline > 0)
        std::printf("%-48s %10.2f ms   (%.2fx the bare loop)\n", what, ms, ms / baseline);
    else
        std::printf("%-48s %10.2f ms\n", what, ms);
}
