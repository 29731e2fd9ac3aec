#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace vor::registry_bench {

template <typename Work>
double Seconds(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A read that leaves the store as it found it can be timed several times in one process; its
// median does not hang on one sample that the machine happened to interrupt.
template <typename Work>
double MedianSeconds(int samples, Work&& work) {
    std::vector<double> seconds;
    seconds.reserve(samples);
    for (int sample = 0; sample < samples; ++sample) {
        seconds.push_back(Seconds(work));
    }
    std::nth_element(seconds.begin(), seconds.begin() + samples / 2, seconds.end());
    return seconds[samples / 2];
}

// How often each program of the timing pair times a save of the tree it loaded.
constexpr int SaveSamples = 5;

}  // namespace vor::registry_bench
