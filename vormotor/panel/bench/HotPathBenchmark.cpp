// The panel's hot paths on the simulated drive: a drive-side input-word change reaching the
// panel, the timer tick with nothing to serve and with all three refreshes due, and an attach.
// Each reports the heap allocations its loop made per iteration; the paths that must not
// allocate fail when any appear.
#include <benchmark/benchmark.h>
#include <memory>
#include <string>

#include "vormotor/panel/bench/AllocationCounter.h"
#include "vormotor/panel/bench/AttachedPanel.h"

namespace vor::bench {
namespace {

// Runs the loop body and reports allocations per iteration; a path that must not allocate and did
// fails the program.
template <class Body>
void Measure(benchmark::State& state, const char* path, bool mustNotAllocate, Body&& body) {
    const auto before = AllocationCount();
    for (auto _ : state) {
        body();
    }
    const auto allocations = AllocationCount() - before;
    state.counters["allocs/iter"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
    if (mustNotAllocate && allocations != 0) {
        NoteAllocatingRun(std::string(path) + " on the " + kProfiles[state.range(0)]);
    }
}

std::string ProfileOf(const benchmark::State& state) {
    return kProfiles[state.range(0)];
}

// Bit 0 of the input word toggles: the value's change events reach the panel, the sensor code
// (bits 7 to 9) stays, so no commutation event follows.
void InputWordChange(benchmark::State& state) {
    AttachedPanel panel(ProfileOf(state));
    const std::int32_t word = panel.Drive().InputWord() & ~1;
    std::int32_t flip = 0;
    Measure(state, "InputWordChange", true, [&] {
        flip ^= 1;
        panel.Drive().SetInputWord(word | flip);
    });
    state.SetItemsProcessed(state.iterations());
}

void TickIdle(benchmark::State& state) {
    AttachedPanel panel(ProfileOf(state));
    Measure(state, "TickIdle", true, [&] { panel.Drive().RaiseTimerTick(); });
}

// The three drive-side changes that make each refresh due (an input word, and a value name of
// each listed field shown or hidden), then the tick that serves them.
void TickAllDue(benchmark::State& state) {
    AttachedPanel panel(ProfileOf(state));
    SimDrive& drive = panel.Drive();
    const std::int32_t word = drive.InputWord() & ~1;
    std::int32_t flip = 0;
    Measure(state, "TickAllDue", false, [&] {
        flip ^= 1;
        drive.SetInputWord(word | flip);
        drive.SetValueNameVisible(170, "Commutation Mode", 7, flip != 0);
        drive.SetValueNameVisible(170, "Encoder Mode", 2, flip == 0);
        drive.RaiseTimerTick();
    });
}

void Attach(benchmark::State& state) {
    AttachedPanel panel(ProfileOf(state));
    Measure(state, "Attach", false, [&] { panel.Attach(); });
}

void Profiles(benchmark::internal::Benchmark* benchmark) {
    benchmark->ArgName("profile")->Arg(0)->Arg(1);
}

BENCHMARK(InputWordChange)->Apply(Profiles);
BENCHMARK(TickIdle)->Apply(Profiles);
BENCHMARK(TickAllDue)->Apply(Profiles);
BENCHMARK(Attach)->Apply(Profiles);

}  // namespace
}  // namespace vor::bench
