#pragma once

#include <benchmark/benchmark.h>
#include <iterator>
#include <string>

#include "vormotor/panel/bench/AttachedPanel.h"

namespace vor::bench {

using BenchmarkFunction = void (*)(benchmark::State&);

// A path once for each profile ("<name>/profile:<n>").
inline void RegisterForEveryProfile(const std::string& name, BenchmarkFunction path) {
    for (int profile = 0; profile < static_cast<int>(std::size(kProfiles)); ++profile) {
        benchmark::RegisterBenchmark(name.c_str(), path)->ArgName("profile")->Arg(profile);
    }
}

// A path and its floor ("<name>Floor") for each profile, the floor right after its path: a figure
// is judged by its ratio to the floor, and measured moments apart the two see the same machine.
inline void RegisterBesideItsFloor(const std::string& name, BenchmarkFunction path, BenchmarkFunction floor) {
    for (int profile = 0; profile < static_cast<int>(std::size(kProfiles)); ++profile) {
        benchmark::RegisterBenchmark(name.c_str(), path)->ArgName("profile")->Arg(profile);
        benchmark::RegisterBenchmark((name + "Floor").c_str(), floor)->ArgName("profile")->Arg(profile);
    }
}

}  // namespace vor::bench
