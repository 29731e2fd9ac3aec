// The benchmark programs' main: the figures first, then a failure for every run whose loop had to
// stay allocation-free and did not.
#include <benchmark/benchmark.h>
#include <iostream>
#include <set>
#include <string>

#include "vormotor/panel/bench/AllocationCounter.h"

namespace vor::bench {
namespace {
std::set<std::string> g_allocatingRuns;
}  // namespace

void NoteAllocatingRun(const std::string& run) {
    g_allocatingRuns.insert(run);
}

}  // namespace vor::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 2;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const std::string& run : vor::bench::g_allocatingRuns) {
        std::cerr << "FAILED: " << run << " allocated on the heap\n";
    }
    return vor::bench::g_allocatingRuns.empty() ? 0 : 1;
}
