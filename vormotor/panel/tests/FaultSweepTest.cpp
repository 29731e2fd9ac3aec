// Every fault the simulated drive can inject, in both modes and at every count, armed before
// every entry point of the panel. The panel must survive each one with its guard down, the
// cursor back, no write the user did not ask for, and, once the fault is lifted, show after one
// tick what a run without the fault shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "vormotor/contracts/Tarvine.h"
#include "vormotor/core/Diagnostics.h"
#include "vormotor/drivemodel/ProfileLoader.h"
#include "vormotor/drivesim/SimDrive.h"
#include "vormotor/editors/EditorClasses.h"
#include "vormotor/editors/SorvaneGroup.h"
#include "vormotor/editors/TarvineEditor.h"
#include "vormotor/panel/MotorForm.h"
#include "vormotor/panel/MotorFormProbe.h"
#include "vormotor/toolkit/ApplicationCursor.h"
#include "vormotor/toolkit/CaptionedControl.h"
#include "vormotor/toolkit/ComboBox.h"
#include "vormotor/toolkit/ModalMessageBox.h"
#include "vormotor/ui_util/MousePointerStack.h"
#include "vormotor/valuelib/ValueFactory.h"

namespace vor {
namespace {

// One run of the panel on its own simulated drive.
struct PanelRun {
    std::unique_ptr<sim::SimDrive> drive;
    std::shared_ptr<MotorForm> panel;

    void Attach() { panel->AttachControl(drive->Network(), drive->Node(), nullptr, "", ""); }
    Form& GetForm() { return panel->GetForm(); }
    ComboBox& Combo(const std::string& name) { return GetForm().FindAs<ComboBox>(name); }
    // A fault may have left the list disabled; then the user cannot pick.
    void PickItem(const std::string& combo, std::int32_t itemData) {
        auto& list = Combo(combo);
        if (!list.EffectiveVisible() || !list.EffectiveEnabled()) {
            return;
        }
        for (std::int32_t i = 0; i < list.ListCount(); ++i) {
            if (list.ItemData(i) == itemData) {
                list.UserPick(i);
                return;
            }
        }
        throw std::logic_error(combo + " offers no item " + std::to_string(itemData));
    }
    Tarvine& EditorOf(std::int32_t parameter) {
        for (Control* control : GetForm().Controls()) {
            auto* editor = dynamic_cast<Tarvine*>(control);
            if (editor != nullptr && editor->Parameter() == parameter) {
                return *editor;
            }
        }
        throw std::logic_error("no editor of parameter " + std::to_string(parameter));
    }
};

struct EntryPoint {
    std::string name;
    std::string profile;
    std::function<void(PanelRun&)> prepare;  // fault-free, after the attach and a tick
    std::function<void(PanelRun&)> enter;    // with the fault armed
    bool attachFirst = true;
    // A pick whose write the fault may keep from the drive: then the run matches one without it.
    bool userAction = false;
    // After a failed attach the host attaches again.
    bool reattachAfter = false;
};

// Test names show the entry point only.
void PrintTo(const EntryPoint& entry, std::ostream* out) {
    *out << entry.name;
}

void Nothing(PanelRun&) {}

std::vector<EntryPoint> EntryPoints() {
    const auto attach = [](PanelRun& run) { run.Attach(); };
    const auto tick = [](PanelRun& run) { run.drive->RaiseTimerTick(); };
    const auto makeAllDue = [](PanelRun& run) {
        run.drive->SetInputWord(run.drive->InputWord() ^ 1);  // not a sensor bit
        run.drive->SetField(170, "Commutation Mode", run.drive->FieldValue(170, "Commutation Mode") == 1 ? 2 : 1);
        run.drive->SetParam(18, run.drive->ParamNumber(18) + 1);
    };
    const auto enableDrive = [](PanelRun& run) {
        run.drive->SetDriveEnabled(true);
        run.drive->SetNodeState(3);
    };
    std::vector<EntryPoint> entries{
        {"Attach", "servo", Nothing, attach, false, false, true},
        {"AttachStepper", "stepper", Nothing, attach, false, false, true},
        {"Reattach", "servo", Nothing, attach, true, false, true},
        {"TickAllDue", "servo", makeAllDue, tick},
        {"TickAllDueStepper", "stepper", makeAllDue, tick},
        {"ParameterRmsTime", "servo", Nothing, [](PanelRun& run) { run.drive->SetParam(25, 40); }},
        {"ParameterRmsLimit", "servo", Nothing, [](PanelRun& run) { run.drive->SetParam(24, 3); }},
        {"ParameterCapturedAngle", "servo", Nothing, [](PanelRun& run) { run.drive->SetParam(44, 123); }},
        {"FieldMotorType", "servo", Nothing, [](PanelRun& run) { run.drive->SetField(170, "Motor Type", 2); }},
        {"FieldCommutationMode", "servo", Nothing,
         [](PanelRun& run) { run.drive->SetField(170, "Commutation Mode", 14); }},
        {"InputWord", "servo", Nothing,
         [](PanelRun& run) { run.drive->SetInputWord(model::ModelIo::WithSensorCode(run.drive->InputWord(), 4)); }},
        {"Commutation", "servo", Nothing, [](PanelRun& run) { run.drive->RaiseCommutationChanged(5, 4); }},
        {"LockLevel", "servo", Nothing, [](PanelRun& run) { run.drive->SetAccessLevel(1); }},
        {"Online", "servo", makeAllDue,
         [](PanelRun& run) {
             run.drive->SetOnline(false);
             run.drive->RaiseTimerTick();
             run.drive->SetOnline(true);
             run.drive->RaiseTimerTick();
         },
         true},
        {"PageEnable", "servo", Nothing, [](PanelRun& run) { run.drive->RaiseMotorPageEnableChanged(false); }},
        {"TechSupport", "servo", Nothing, [](PanelRun& run) { run.drive->RaiseTechSupportChanged(true); }},
        {"MotorTypePickAsked", "servo", enableDrive, [](PanelRun& run) { run.PickItem("MotorStyleCombo", 2); }, true,
         true},
        {"MotorTypePickUnasked", "servo", Nothing, [](PanelRun& run) { run.PickItem("MotorStyleCombo", 2); }, true,
         true},
        {"CommutationPick", "servo", [](PanelRun& run) { run.GetForm().Surface().Show(); },
         [](PanelRun& run) { run.PickItem("CommModeCombo", 3); }, true, true},
        {"SensorlessPick", "servo", Nothing,
         [](PanelRun& run) {
             dynamic_cast<editors::SorvaneGroup&>(run.GetForm().Find("SensorlessRadioGrp")).UserPick(1);
         },
         true, true},
        {"MicrostepPick", "stepper", Nothing, [](PanelRun& run) { run.PickItem("MicrostepCombo", 4000); }, true, true},
        {"EditorEdit", "servo", Nothing,
         [](PanelRun& run) { dynamic_cast<editors::TarvineEditor&>(run.EditorOf(25)).UserEdit("45"); }, true, true},
        {"Show", "servo", [](PanelRun& run) { run.GetForm().Surface().Hide(); },
         [](PanelRun& run) { run.GetForm().Surface().Show(); }},
        {"Hide", "servo", [](PanelRun& run) { run.GetForm().Surface().Show(); },
         [](PanelRun& run) { run.GetForm().Surface().Hide(); }},
        {"Resize", "servo", Nothing, [](PanelRun& run) { run.GetForm().Surface().Resize(9000, 7000); }},
        {"Enabled", "servo", Nothing, [](PanelRun& run) { run.panel->SetEnabled(false); }},
        {"Release", "servo", Nothing, [](PanelRun& run) { run.panel->ReleaseControl(); }},
        {"Destroy", "servo", Nothing, [](PanelRun& run) { run.panel.reset(); }},
    };
    return entries;
}

// What the user sees of one control; the edge lines carry nothing the panel decides.
std::string Describe(Control& control) {
    std::ostringstream text;
    text << control.Name();
    if (control.Index()) {
        text << "(" << *control.Index() << ")";
    }
    text << " visible=" << control.Visible() << " enabled=" << control.Enabled() << " tab=" << control.TabStop()
         << " bold=" << control.FontBold() << " at " << control.Left() << "," << control.Top() << " " << control.Width()
         << "x" << control.Height();
    if (auto* captioned = dynamic_cast<CaptionedControl*>(&control)) {
        text << " caption=\"" << captioned->Caption() << "\"";
    }
    if (auto* combo = dynamic_cast<ComboBox*>(&control)) {
        text << " items=[";
        for (const auto& item : combo->Items()) {
            text << item.text << ":" << item.data << ";";
        }
        text << "] selected=" << combo->ListIndex();
    }
    if (auto* editor = dynamic_cast<editors::TarvineEditor*>(&control)) {
        text << " bound=" << (editor->ValueObjRef() != nullptr) << " shows=\"" << editor->Caption() << "|"
             << editor->Text() << "\"";
    }
    if (auto* group = dynamic_cast<editors::SorvaneGroup*>(&control)) {
        text << " options=" << group->Options().size() << " selected=" << group->Selected();
    }
    return text.str();
}

using Display = std::map<std::string, std::string>;

Display Snapshot(PanelRun& run) {
    Display display;
    if (!run.panel) {
        return display;
    }
    for (Control* control : run.GetForm().Controls()) {
        display[control->Name() + (control->Index() ? std::to_string(*control->Index()) : "")] = Describe(*control);
    }
    return display;
}

std::vector<double> DriveState(const PanelRun& run, const model::Profile& profile) {
    std::vector<double> state;
    for (const auto& parameter : profile.parameters) {
        state.push_back(run.drive->ParamNumber(parameter.number));
    }
    return state;
}

// What a failure leaves on the screen stays until the routine that failed runs again: a handler
// without handling of its own until its event comes again, the enable policy (which skips a
// failing statement) until it is run again, a list rebuild (whose request is cleared even when it
// stopped) until the next request. Runs every one of them again, fault-free, the way a drive and
// a host would: every parameter and field changes and comes back, the sensors report, a tick, and
// a hide and show of the panel.
void RerunEveryHandler(PanelRun& run, const model::Profile& profile) {
    for (const auto& parameter : profile.parameters) {
        const double number = run.drive->ParamNumber(parameter.number);
        run.drive->SetParam(parameter.number, number + 1 <= parameter.upperLimit ? number + 1 : number - 1);
        run.drive->SetParam(parameter.number, number);
    }
    const std::int32_t sensors = model::ModelIo::SensorCode(run.drive->InputWord());
    run.drive->RaiseCommutationChanged(sensors, sensors);
    // The commutation code crosses to the other sensor choice and back, a tick each, so the
    // panel's own derived value and the group showing it change too.
    const std::int32_t commutation = run.drive->FieldValue(170, "Commutation Mode");
    const std::int32_t encoder = run.drive->FieldValue(170, "Encoder Mode");
    run.drive->SetField(170, "Encoder Mode", encoder ^ 1);
    run.drive->SetField(170, "Commutation Mode", commutation < 5 ? 14 : 0);
    run.drive->RaiseTimerTick();
    run.drive->SetField(170, "Encoder Mode", encoder);
    run.drive->SetField(170, "Commutation Mode", commutation);
    run.drive->RaiseTimerTick();
    if (run.panel) {
        auto& surface = run.GetForm().Surface();
        const bool shown = surface.Visible();
        shown ? surface.Hide() : surface.Show();
        shown ? surface.Show() : surface.Hide();
    }
}

struct Fault {
    std::string operation;
    sim::FaultInjector::Mode mode;
    std::int32_t nth;  // 0: every call

    std::string Text() const {
        return operation + (mode == sim::FaultInjector::Mode::Fail ? " fails" : " returns null") +
               (nth == 0 ? " always" : " at call " + std::to_string(nth));
    }
    void Arm(sim::FaultInjector& faults) const {
        if (mode == sim::FaultInjector::Mode::Fail) {
            nth == 0 ? faults.FailEveryCall(operation) : faults.FailCall(operation, nth);
        } else {
            nth == 0 ? faults.NullEveryCall(operation) : faults.NullCall(operation, nth);
        }
    }
};

std::vector<Fault> AllFaults() {
    std::vector<Fault> faults;
    for (const auto& operation : sim::FaultInjector::Operations()) {
        std::vector<sim::FaultInjector::Mode> modes{sim::FaultInjector::Mode::Fail};
        if (sim::FaultInjector::ReturnsObject(operation)) {
            modes.push_back(sim::FaultInjector::Mode::ReturnNull);
        }
        for (const auto mode : modes) {
            for (std::int32_t nth : {0, 1, 2, 3}) {
                faults.push_back(Fault{operation, mode, nth});
            }
        }
    }
    return faults;
}

// What one run left behind.
struct Outcome {
    std::vector<model::DriveWrite> writes;  // made by the entry point itself
    std::vector<double> driveState;
    Display display;            // after the host's recovery and one tick
    Display displayAfterRerun;  // and after every handler ran again
};

class FaultSweep : public ::testing::TestWithParam<EntryPoint> {
protected:
    static void SetUpTestSuite() { editors::EditorClasses::Register(); }

    void SetUp() override {
        m_previousSink = Diagnostics::SetSink([](std::string_view, std::string_view) {});
        m_previousResponder =
            ModalMessageBox::SetResponder([](const MessageBoxRequest&) { return MessageBoxResult::Ok; });
        m_profile = model::ProfileLoader::LoadFile(std::string(VOR_PROFILE_DIR) + "/" + GetParam().profile + ".json");
    }
    void TearDown() override {
        valuelib::ValueFactory::SetHost(nullptr);
        ModalMessageBox::SetResponder(m_previousResponder);
        Diagnostics::SetSink(m_previousSink);
    }

    // Runs the entry point, with the fault armed if there is one, or leaves it out.
    Outcome Play(const std::optional<Fault>& fault, bool enter, std::vector<std::string>& problems) {
        const EntryPoint& entry = GetParam();
        PanelRun run;
        run.drive = std::make_unique<sim::SimDrive>(m_profile);
        valuelib::ValueFactory::SetHost(run.drive->Host());
        run.panel = MotorForm::Create();
        if (entry.attachFirst) {
            run.Attach();
            run.drive->RaiseTimerTick();
        }
        entry.prepare(run);
        run.drive->ClearWrites();
        if (fault) {
            fault->Arm(run.drive->Faults());
        }
        if (enter) {
            entry.enter(run);
        }
        run.drive->Faults().Clear();

        Outcome outcome;
        outcome.writes = run.drive->Writes();
        if (run.panel && MotorFormProbe::StateOf(*run.panel).updating) {
            problems.push_back("the update guard is left set");
        }
        if (MousePointerDepth() != 0 || ApplicationCursor::Instance().Get() != ApplicationCursor::Default) {
            problems.push_back("the busy cursor is left on (depth " + std::to_string(MousePointerDepth()) + ")");
            while (MousePointerDepth() > 0) {
                PopMousePointer();
            }
            ApplicationCursor::Instance().Set(ApplicationCursor::Default);
        }
        if (entry.reattachAfter && run.panel) {
            run.Attach();
        }
        run.drive->RaiseTimerTick();
        outcome.driveState = DriveState(run, m_profile);
        outcome.display = Snapshot(run);
        RerunEveryHandler(run, m_profile);
        outcome.displayAfterRerun = Snapshot(run);
        return outcome;
    }

    model::Profile m_profile;

private:
    Diagnostics::Sink m_previousSink;
    ModalMessageBox::Responder m_previousResponder;
};

std::string FirstDifference(const Display& seen, const Display& expected) {
    for (const auto& [key, shown] : expected) {
        const auto found = seen.find(key);
        const std::string actual = found == seen.end() ? "(missing)" : found->second;
        if (actual != shown) {
            return "shows\n    " + actual + "\n  instead of\n    " + shown;
        }
    }
    return {};
}

std::int32_t g_totalCases = 0;

TEST_P(FaultSweep, ThePanelSurvivesEveryFaultAndRecovers) {
    const EntryPoint& entry = GetParam();
    std::vector<std::string> referenceProblems;
    const Outcome withEntry = Play(std::nullopt, true, referenceProblems);
    const Outcome withoutEntry = Play(std::nullopt, false, referenceProblems);
    ASSERT_TRUE(referenceProblems.empty()) << referenceProblems.front();
    ASSERT_TRUE(!entry.userAction || !withEntry.writes.empty()) << "without a fault the user's action writes";

    std::int32_t cases = 0;
    std::int32_t recoveredOnRerun = 0;
    for (const Fault& fault : AllFaults()) {
        ++cases;
        std::vector<std::string> problems;
        const Outcome faulted = Play(fault, true, problems);
        for (const model::DriveWrite& write : faulted.writes) {
            if (std::find(withEntry.writes.begin(), withEntry.writes.end(), write) == withEntry.writes.end()) {
                problems.push_back("an unrequested drive write: " + write.Json());
            }
        }
        const Outcome* reference = nullptr;
        if (faulted.driveState == withEntry.driveState) {
            reference = &withEntry;
        } else if (entry.userAction && faulted.driveState == withoutEntry.driveState) {
            reference = &withoutEntry;
        } else {
            problems.push_back("the drive holds what no run without the fault leaves");
        }
        if (reference != nullptr && !FirstDifference(faulted.display, reference->display).empty()) {
            const std::string difference = FirstDifference(faulted.displayAfterRerun, reference->displayAfterRerun);
            if (difference.empty()) {
                ++recoveredOnRerun;
            } else {
                problems.push_back("after a tick, and after every handler ran again, the panel " + difference);
            }
        }
        for (const auto& problem : problems) {
            ADD_FAILURE() << entry.name << ", " << fault.Text() << ": " << problem;
        }
    }
    g_totalCases += cases;
    std::cout << entry.name << ": " << cases << " fault cases; " << recoveredOnRerun
              << " showed what the fault left until the failed routine ran again\n";
}

INSTANTIATE_TEST_SUITE_P(EntryPoints, FaultSweep, ::testing::ValuesIn(EntryPoints()),
                         [](const ::testing::TestParamInfo<EntryPoint>& info) { return info.param.name; });

class CaseCount : public ::testing::Environment {
public:
    void TearDown() override { std::cout << "Fault sweep: " << g_totalCases << " cases in all\n"; }
};

const auto* const g_caseCount = ::testing::AddGlobalTestEnvironment(new CaseCount);

}  // namespace
}  // namespace vor
