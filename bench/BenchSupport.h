#pragma once
// What the benchmarks share: this thread's processor time, the median of interleaved
// ratios, and the benchmark library's table unless only the ratio lines are asked for.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <functional>
#include <vector>

namespace tarvelin::bench {

inline double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The median over repetitions of large() / small(), measured in turns that alternate which
// of the two runs first, so that neither always meets a warm or a cold cache.
inline double MedianRatio(int repetitions, const std::function<double()>& small,
                          const std::function<double()>& large) {
    std::vector<double> ratios;
    for (int rep = 0; rep < repetitions; ++rep) {
        double s = 0, l = 0;
        if (rep % 2 == 0) {
            s = small();
            l = large();
        } else {
            l = large();
            s = small();
        }
        ratios.push_back(l / s);
    }
    std::nth_element(ratios.begin(), ratios.begin() + repetitions / 2, ratios.end());
    return ratios[repetitions / 2];
}

// Runs the registered benchmarks and prints their table, unless `--ratios-only` is given.
inline void RunTableUnlessRatiosOnly(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--ratios-only") == 0) return;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}

}  // namespace tarvelin::bench
