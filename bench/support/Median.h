#pragma once

// The benchmarks' figures are medians: one slow run of a busy machine does not move them.
#include <QElapsedTimer>

#include <algorithm>
#include <vector>

inline double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The median time of `runs` runs of `work`, in milliseconds.
template<typename Work>
double medianMs(int runs, Work work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return median(times);
}
