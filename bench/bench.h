// Shared helpers of the text benchmarks.
#pragma once
#include <chrono>
#include <cstddef>

namespace vemo::bench {

// Seconds taken by the fastest of `repeats` runs of `body`.
template <class Body>
double BestSeconds(int repeats, Body&& body) {
    double best = 1e300;
    for (int r = 0; r < repeats; ++r) {
        const auto start = std::chrono::steady_clock::now();
        body();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (took.count() < best) best = took.count();
    }
    return best;
}

// Keeps results alive so that the measured work is not optimised away.
inline volatile std::size_t sink = 0;

void RunGetStringBench();
void RunAddStrNumBench();

}  // namespace vemo::bench
