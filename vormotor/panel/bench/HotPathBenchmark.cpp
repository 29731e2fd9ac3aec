// The panel's hot paths on the simulated drive: a drive-side input-word change reaching the
// panel, the timer tick with nothing to serve and with all three refreshes due, and an attach.
// Each reports the heap allocations its loop made per iteration; the paths that must not
// allocate fail when any appear. Beside each timed path runs its floor, which scripts/bench.sh
// sets it against: what the path cannot do without (the drive's own change raised to a bare handler,
// the drive calls it makes, made directly on a drive without a panel).
#include <array>
#include <benchmark/benchmark.h>
#include <memory>
#include <stdexcept>
#include <string>

#include "vormotor/core/Event.h"
#include "vormotor/panel/bench/AllocationCounter.h"
#include "vormotor/panel/bench/AttachedPanel.h"
#include "vormotor/panel/bench/DriveCalls.h"
#include "vormotor/panel/bench/ProfileBenchmarks.h"

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

// What a change cannot go below: the same change on a drive of the same profile without a panel,
// its value raising the same event to one bare handler that notes the change. The drive's side
// (the value's checks, keeping it alive for its handlers, its second event) is in both; the ratio
// is what the panel's subscription and handler add.
void InputWordChangeFloor(benchmark::State& state) {
    auto bare = LoadDrive(ProfileOf(state));
    const auto inputs = bare->Node()->Io().InputsValue();
    inputs->StartUpdates();
    bool due = false;
    const Connection connection = inputs->ContentChanged().Connect([&due](double) { due = true; });
    const std::int32_t word = bare->InputWord() & ~1;
    std::int32_t flip = 0;
    Measure(state, "InputWordChangeFloor", true, [&] {
        flip ^= 1;
        bare->SetInputWord(word | flip);
    });
    benchmark::DoNotOptimize(due);
    state.SetItemsProcessed(state.iterations());
}

// A bare raise of one event of the value's change signature to one handler: not a goal's floor
// (no drive is behind it), printed so that the drive's own share of a change stays in sight.
void EventRaise(benchmark::State& state) {
    Event<double> contentChanged;
    bool due = false;
    const Connection connection = contentChanged.Connect([&due](double) { due = true; });
    double word = 0;
    Measure(state, "EventRaise", true, [&] {
        word = word == 0 ? 1 : 0;
        contentChanged.Raise(word);
    });
    benchmark::DoNotOptimize(due);
    state.SetItemsProcessed(state.iterations());
}

void TickIdle(benchmark::State& state) {
    AttachedPanel panel(ProfileOf(state));
    Measure(state, "TickIdle", true, [&] { panel.Drive().RaiseTimerTick(); });
}

// The three drive-side changes that make each refresh due (an input word, and a value name of
// each listed field shown or hidden), then the tick that serves them.
void MakeAllDue(model::DriveModel& drive, std::int32_t word, std::int32_t flip) {
    drive.SetInputWord(word | flip);
    drive.SetValueNameVisible(170, "Commutation Mode", 7, flip != 0);
    drive.SetValueNameVisible(170, "Encoder Mode", 2, flip == 0);
}

void TickAllDue(benchmark::State& state) {
    AttachedPanel panel(ProfileOf(state));
    model::DriveModel& drive = panel.Drive();
    const std::int32_t word = drive.InputWord() & ~1;
    std::int32_t flip = 0;
    Measure(state, "TickAllDue", false, [&] {
        flip ^= 1;
        MakeAllDue(drive, word, flip);
        drive.RaiseTimerTick();
    });
}

// The same three changes on a drive without a panel, and the drive calls the panel makes for
// them and for the tick (recorded from both halves of the loop above), made directly.
void TickAllDueFloor(benchmark::State& state) try {
    AttachedPanel panel(ProfileOf(state));
    model::DriveModel& drive = panel.Drive();
    const std::int32_t word = drive.InputWord() & ~1;
    std::array<std::vector<DriveCall>, 2> calls;
    for (const std::int32_t flip : {1, 0}) {
        calls[flip] = panel.Recorder().Record([&] {
            MakeAllDue(drive, word, flip);
            drive.RaiseTimerTick();
        });
    }
    auto bare = LoadDrive(ProfileOf(state));
    const std::array<DirectDriveCalls, 2> direct{DirectDriveCalls(*bare, calls[0]), DirectDriveCalls(*bare, calls[1])};
    std::int32_t flip = 0;
    Measure(state, "TickAllDueFloor", false, [&] {
        flip ^= 1;
        MakeAllDue(*bare, word, flip);
        direct[flip].Run();
    });
    state.counters["calls"] = static_cast<double>(direct[0].Count() + direct[1].Count()) / 2;
} catch (const std::invalid_argument& unknown) {
    state.SkipWithError(unknown.what());
}

void Attach(benchmark::State& state) {
    AttachedPanel panel(ProfileOf(state));
    Measure(state, "Attach", false, [&] { panel.Attach(); });
}

// The drive calls of a re-attach, made directly on a drive without a panel.
void AttachFloor(benchmark::State& state) try {
    AttachedPanel panel(ProfileOf(state));
    const auto calls = panel.Recorder().Record([&] { panel.Attach(); });
    auto bare = LoadDrive(ProfileOf(state));
    const DirectDriveCalls direct(*bare, calls);
    Measure(state, "AttachFloor", false, [&] { direct.Run(); });
    state.counters["calls"] = static_cast<double>(direct.Count());
} catch (const std::invalid_argument& unknown) {
    state.SkipWithError(unknown.what());
}

[[maybe_unused]] const bool registered = [] {
    RegisterBesideItsFloor("InputWordChange", InputWordChange, InputWordChangeFloor);
    benchmark::RegisterBenchmark("EventRaise", EventRaise);
    RegisterForEveryProfile("TickIdle", TickIdle);
    RegisterBesideItsFloor("TickAllDue", TickAllDue, TickAllDueFloor);
    RegisterBesideItsFloor("Attach", Attach, AttachFloor);
    return true;
}();

}  // namespace
}  // namespace vor::bench
