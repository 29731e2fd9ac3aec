// The enable-policy walk on the simulated drive of each shipped profile, with tracing off: its
// time and the heap allocations it makes. The walk runs on every lock, page and Enabled change,
// so it must stay allocation-free: the program prints the figures and then fails when a walk
// allocated.
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <string>
#include <vector>

#include "vormotor/panel/MotorForm.h"
#include "vormotor/panel/bench/AllocationCounter.h"
#include "vormotor/panel/bench/AttachedPanel.h"

namespace vor::bench {
namespace {

// Writing Enabled runs exactly one walk.
void EnablePolicyWalk(benchmark::State& state) {
    AttachedPanel attached(kProfiles[state.range(0)]);
    MotorForm& panel = attached.Panel();
    const auto before = AllocationCount();
    for (auto _ : state) {
        panel.SetEnabled(true);
    }
    const auto allocations = AllocationCount() - before;
    state.counters["allocs/walk"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
    if (allocations != 0) {
        NoteAllocatingRun(std::string("EnablePolicyWalk on the ") + kProfiles[state.range(0)]);
    }
}

// The reasons are computed only when asked for; this is what asking costs, for every control of
// the panel at an access level that disables most of them.
void EnableReasonsOfEveryControl(benchmark::State& state) {
    AttachedPanel attached(kProfiles[state.range(0)]);
    attached.Drive().SetAccessLevel(2);
    MotorForm& panel = attached.Panel();
    for (auto _ : state) {
        for (Control* control : panel.GetForm().Controls()) {
            benchmark::DoNotOptimize(panel.EnableReasons(*control));
        }
    }
}

void Profiles(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgName("profile")->Arg(0)->Arg(1)->ComputeStatistics(
        "min", [](const std::vector<double>& runs) { return *std::min_element(runs.begin(), runs.end()); });
}

BENCHMARK(EnablePolicyWalk)->Apply(Profiles);
BENCHMARK(EnableReasonsOfEveryControl)->Apply(Profiles);

}  // namespace
}  // namespace vor::bench
