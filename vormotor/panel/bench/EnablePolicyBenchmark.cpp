// The enable-policy walk on the simulated drive of each shipped profile, with tracing off: its
// time and the heap allocations it makes. The walk runs on every lock, page and Enabled change,
// so it must stay allocation-free: the program prints the figures and then fails when a walk
// allocated.
#include <algorithm>
#include <benchmark/benchmark.h>
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "vormotor/drivesim/ProfileLoader.h"
#include "vormotor/drivesim/SimDrive.h"
#include "vormotor/editors/EditorClasses.h"
#include "vormotor/panel/MotorForm.h"
#include "vormotor/panel/bench/AllocationCounter.h"
#include "vormotor/valuelib/ValueFactory.h"

namespace vor::bench {
namespace {

const char* const kProfiles[] = {"servo", "stepper"};

// Runs whose walks allocated; the program fails when there are any, after printing the figures.
std::set<std::string> g_allocatingRuns;

// A panel attached to a simulated drive, with the attach's list refreshes served.
class AttachedPanel {
public:
    explicit AttachedPanel(const std::string& profile)
        : m_drive(std::make_unique<SimDrive>(
              ProfileLoader::LoadFile(std::string(VOR_PROFILE_DIR) + "/" + profile + ".json"))) {
        EditorClasses::Register();
        m_previousHost = ValueFactory::SetHost(m_drive->Host());
        m_panel = MotorForm::Create();
        m_panel->AttachControl(m_drive->Network(), m_drive->Node(), nullptr, "", "");
        m_drive->RaiseTimerTick();
    }
    ~AttachedPanel() {
        m_panel.reset();
        ValueFactory::SetHost(m_previousHost);
    }
    AttachedPanel(const AttachedPanel&) = delete;
    AttachedPanel& operator=(const AttachedPanel&) = delete;

    MotorForm& Panel() { return *m_panel; }
    SimDrive& Drive() { return *m_drive; }

private:
    std::unique_ptr<SimDrive> m_drive;
    std::shared_ptr<ValueHost> m_previousHost;
    std::shared_ptr<MotorForm> m_panel;
};

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
        g_allocatingRuns.insert(std::string("EnablePolicyWalk on the ") + kProfiles[state.range(0)]);
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
