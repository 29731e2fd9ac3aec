#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "vormotor/panel/tests/PanelFixture.h"
#include "vormotor/resources/EnableReasonStrings.h"

namespace vor {
namespace {

std::string NameOf(const Control& control) {
    return control.Index() ? control.Name() + "(" + std::to_string(*control.Index()) + ")" : control.Name();
}

class EnableReasons : public PanelTest {
protected:
    // Controls whose explanation disagrees with what the walk did: operable with a reason
    // against it, not operable without one from its rules.
    std::vector<std::string> Disagreements() {
        std::vector<std::string> found;
        for (Control* control : panel->GetForm().Controls()) {
            const auto reasons = panel->EnableReasons(*control);
            const bool fromTheRules = std::none_of(reasons.begin(), reasons.end(), [](const EnableReason& reason) {
                return reason.id == enable_reason_strings::kNotRechecked ||
                       reason.id == enable_reason_strings::kNotReadable;
            });
            if (reasons.empty() != control->EffectiveEnabled() || !fromTheRules) {
                found.push_back(NameOf(*control) + (control->EffectiveEnabled() ? " operable: " : " disabled: ") +
                                (reasons.empty() ? "no reason" : reasons.front().text));
            }
        }
        return found;
    }
};

// Every control of both profiles, at every access level, with the panel disabled and enabled,
// for every motor type of the catalogue: a control can be operated exactly when nothing stands
// against it.
TEST_F(EnableReasons, AgreeWithTheWalkOverTheWholeMatrix) {
    for (const std::string profileName : {"servo", "stepper"}) {
        const model::Profile profile = LoadProfile(profileName);
        UseDrive(profile);
        panel = MotorForm::Create();
        Attach();
        std::size_t combinations = 0;
        for (const auto& motorType : profile.motorTypes) {
            drive->SetField(170, "Motor Type", motorType.code);
            drive->RaiseTimerTick();
            for (std::int32_t level = 0; level <= 5; ++level) {
                drive->SetAccessLevel(level);
                for (const bool enabled : {false, true}) {
                    panel->SetEnabled(enabled);
                    EXPECT_EQ(Disagreements(), std::vector<std::string>{})
                        << profileName << ", motor type " << motorType.code << ", level " << level << ", Enabled "
                        << enabled;
                    ++combinations;
                }
            }
        }
        EXPECT_EQ(combinations, profile.motorTypes.size() * 12);
    }
}

TEST_F(EnableReasons, ChangeNothingWriteNothingAndTraceNothing) {
    for (const std::string profileName : {"servo", "stepper"}) {
        UseDrive(profileName);
        panel = MotorForm::Create();
        Attach();
        drive->SetAccessLevel(2);
        drive->SetTraceFlags(0x20);
        panel->SetEnabled(false);
        std::int32_t notifications = 0;
        std::vector<Connection> connections;
        for (Control* control : panel->GetForm().Controls()) {
            connections.push_back(
                control->PropertyChanged().Connect([&](Control&, const std::string&) { ++notifications; }));
        }
        const auto writes = drive->Writes().size();
        const auto traceLines = drive->TraceLines().size();
        std::size_t explained = 0;
        for (Control* control : panel->GetForm().Controls()) {
            explained += panel->EnableReasons(*control).size();
        }
        EXPECT_GT(explained, 0u);
        EXPECT_EQ(notifications, 0) << profileName;
        EXPECT_EQ(drive->Writes().size(), writes) << profileName;
        EXPECT_EQ(drive->TraceLines().size(), traceLines) << profileName;
    }
}

// The drive's and the host's changes after the attach that the wording cases start from. The
// wordings the host's "why" scenario shows (access level, containing frame, disabled panel, motor
// type, missing editor parameter, text-only option, not rechecked) are left to it.
using Setup = std::function<void(sim::SimDrive&, MotorForm&)>;

Setup WithCommutationMode(std::int32_t code) {
    return [code](sim::SimDrive& drive, MotorForm& panel) {
        drive.SetField(170, "Commutation Mode", code);
        drive.RaiseTimerTick();
        panel.SetEnabled(true);
    };
}
void PanelDisabledAtLevel2(sim::SimDrive& drive, MotorForm& panel) {
    drive.SetAccessLevel(2);
    panel.SetEnabled(false);
}
void OneMicrostep(sim::SimDrive& drive, MotorForm&) {
    drive.SetMicrostepChoices({{200, "200 (full step)"}});
    drive.RaiseTimerTick();
}
void MicrostepsLockedAt5(sim::SimDrive& drive, MotorForm& panel) {
    drive.RaiseTimerTick();
    drive.SetLockLevel(204, 5);
    panel.SetEnabled(true);
}
void CommModeLocked(sim::SimDrive& drive, MotorForm& panel) {
    drive.SetFieldEditable(170, "Commutation Mode", false);
    panel.SetEnabled(true);
}
void NoNode(sim::SimDrive& drive, MotorForm& panel) {
    panel.AttachControl(drive.Network(), nullptr, nullptr, "", "");
    panel.SetEnabled(true);
}
void ReleasedAtLevel2(sim::SimDrive& drive, MotorForm& panel) {
    drive.SetAccessLevel(2);
    panel.ReleaseControl();
}
void MotorTypeUnreadable(sim::SimDrive& drive, MotorForm& panel) {
    drive.SetField(170, "Motor Type", 6);
    panel.SetEnabled(true);
    drive.Faults().FailEveryCall("Field.Value", {170, "Motor Type"});
}
void WithoutMotorConfiguration(model::Profile& profile) {
    RemoveParameters(profile, {170});
}

struct WordingCase {
    std::string label;
    std::string control;  // NAME or NAME(I)
    std::vector<std::string> reasons;
    Setup setup = nullptr;
    std::string profile = "servo";
    std::function<void(model::Profile&)> editProfile = nullptr;
};

void PrintTo(const WordingCase& c, std::ostream* out) {
    *out << c.label;
}

class Wording : public EnableReasons, public ::testing::WithParamInterface<WordingCase> {};

TEST_P(Wording, NamesTheRuleAndItsFalseConditions) {
    const WordingCase& c = GetParam();
    model::Profile profile = LoadProfile(c.profile);
    if (c.editProfile) {
        c.editProfile(profile);
    }
    UseDrive(profile);
    Attach();
    if (c.setup) {
        c.setup(*drive, *panel);
    }
    const auto& controls = panel->GetForm().Controls();
    const auto control = std::find_if(controls.begin(), controls.end(),
                                      [&](Control* candidate) { return NameOf(*candidate) == c.control; });
    ASSERT_NE(control, controls.end());
    EXPECT_EQ(ReasonTexts(panel->EnableReasons(**control)), c.reasons);
    EXPECT_EQ((*control)->EffectiveEnabled(), c.reasons.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Wording,
    ::testing::Values(
        WordingCase{"PanelDisabledAndLevel",
                    "ConfigRadioGrp(4)",
                    {"the panel is disabled by the application", "needs access level 3, the current level is 2"},
                    PanelDisabledAtLevel2},
        WordingCase{
            "OneMicrostep", "MicrostepCombo", {"the drive offers only one microstep setting"}, OneMicrostep, "stepper"},
        WordingCase{"ParameterLockLevel",
                    "MicrostepCombo",
                    {"parameter 204 needs lock level 5, the access level is 3"},
                    MicrostepsLockedAt5,
                    "stepper"},
        WordingCase{"MissingMotorConfiguration",
                    "HallNumberFrame",
                    {"the drive has no parameter 170"},
                    nullptr,
                    "servo",
                    WithoutMotorConfiguration},
        WordingCase{"CommModeLocked",
                    "ConfigRadioGrp(3)",
                    {"the drive does not let the commutation mode be changed now"},
                    CommModeLocked},
        WordingCase{"CommutationMode1",
                    "BitDisplayLbl",
                    {"the commutation mode \"State Chk On, Seq Chk On, Thermal Chk Off\" shows no sensor state"},
                    WithCommutationMode(1)},
        WordingCase{"SensorlessStart",
                    "HallLbl",
                    {"the motor is set to start without sensors, so the Hall sensor state does not apply"},
                    WithCommutationMode(14)},
        WordingCase{"NoNode", "MotorStyleCombo", {"no drive is attached to the panel"}, NoNode},
        WordingCase{"Released", "MotorStyleCombo", {"the panel is not attached to a drive network"}, ReleasedAtLevel2},
        WordingCase{"NotReadable",
                    "SensorlessRadioGrp",
                    {"the drive did not answer when the panel last checked this control, so it keeps its earlier "
                     "state"},
                    MotorTypeUnreadable}),
    [](const ::testing::TestParamInfo<WordingCase>& info) { return info.param.label; });

}  // namespace
}  // namespace vor
