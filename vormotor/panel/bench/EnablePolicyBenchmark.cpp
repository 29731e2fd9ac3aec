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
#include "vormotor/panel/bench/DriveCalls.h"
#include "vormotor/panel/bench/ProfileBenchmarks.h"
#include "vormotor/toolkit/Control.h"

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

// One control assignment of a walk, made directly with the value the control holds.
struct Assignment {
    Control* control;
    void (Control::*set)(bool);
    bool (Control::*get)() const noexcept;
};

// What a walk assigns: Enabled of every control but the edge lines, the tab stop of every
// parameter editor, and the visibility of the two controls that follow whether the commutation
// mode is selectable.
std::vector<Assignment> AssignmentsOfAWalk(Form& form) {
    std::vector<Assignment> assignments;
    for (Control* control : form.Controls()) {
        if (control->TypeName() == "Line") {
            continue;
        }
        assignments.push_back({control, &Control::SetEnabled, &Control::Enabled});
        if (control->Name() == "ParamItem") {
            assignments.push_back({control, &Control::SetTabStop, &Control::TabStop});
        }
        if (control->Name() == "CommModeCombo" || control->Name() == "CommOptionLbl") {
            assignments.push_back({control, &Control::SetVisible, &Control::Visible});
        }
    }
    return assignments;
}

// The floor of a walk: the drive calls it makes, made directly on a drive without a panel, and
// its control assignments, made directly.
void EnablePolicyWalkFloor(benchmark::State& state) try {
    AttachedPanel attached(kProfiles[state.range(0)]);
    MotorForm& panel = attached.Panel();
    const auto calls = attached.Recorder().Record([&] { panel.SetEnabled(true); });
    auto bare = LoadDrive(kProfiles[state.range(0)]);
    const DirectDriveCalls direct(*bare, calls);
    const auto assignments = AssignmentsOfAWalk(panel.GetForm());
    for (auto _ : state) {
        direct.Run();
        for (const Assignment& assignment : assignments) {
            (assignment.control->*assignment.set)((assignment.control->*assignment.get)());
        }
    }
    state.counters["calls"] = static_cast<double>(direct.Count());
    state.counters["assignments"] = static_cast<double>(assignments.size());
} catch (const std::invalid_argument& unknown) {
    state.SkipWithError(unknown.what());
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

[[maybe_unused]] const bool registered = [] {
    RegisterBesideItsFloor("EnablePolicyWalk", EnablePolicyWalk, EnablePolicyWalkFloor);
    RegisterForEveryProfile("EnableReasonsOfEveryControl", EnableReasonsOfEveryControl);
    return true;
}();

}  // namespace
}  // namespace vor::bench
