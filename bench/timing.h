#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <vector>

// The benchmarks' timer: `work` run `runs` times, in milliseconds.
struct Timing {
    double median;
    double fastest;
};

// Each run after `prepare`, which is not counted.
template <typename Prepare, typename Work> Timing timeRuns(int runs, Prepare &&prepare, Work &&work) {
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front()};
}

template <typename Work> Timing timeRuns(int runs, Work &&work) {
    return timeRuns(
        runs, [] {}, work);
}
