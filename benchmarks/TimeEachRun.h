// Timing of single runs on a live window: the median beside the benchmark's mean.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace kalvor::bench {

// Runs step once per iteration, timing each run on its own: the median of single runs goes
// beside the mean as the counter "median_us", since one slow run (a page fault, a file cache miss)
// weighs on the mean only. fault() names why the runs do not count, or returns nullptr.
template <class Step, class Fault>
void TimeEachRun(benchmark::State& state, Step step, Fault fault) {
    using Clock = std::chrono::steady_clock;
    std::vector<double> micros;
    for (auto _ : state) {
        const auto start = Clock::now();
        step();
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    if (const char* why = fault()) {
        state.SkipWithError(why);
        return;
    }
    std::nth_element(micros.begin(), micros.begin() + micros.size() / 2, micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
}

} // namespace kalvor::bench
