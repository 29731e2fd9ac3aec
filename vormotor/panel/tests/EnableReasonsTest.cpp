#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "vormotor/panel/tests/PanelFixture.h"
#include "vormotor/resources/EnableReasonStrings.h"

namespace vor {
namespace {

using testing_support::LoadProfile;
using testing_support::PanelTest;
using testing_support::RemoveParameters;

std::string NameOf(const Control& control) {
    return control.Index() ? control.Name() + "(" + std::to_string(*control.Index()) + ")" : control.Name();
}

class EnableReasons : public PanelTest {
protected:
    std::vector<std::string> Texts(Control& control) {
        std::vector<std::string> texts;
        for (const EnableReason& reason : panel->EnableReasons(control)) {
            texts.push_back(reason.text);
        }
        return texts;
    }

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
        const Profile profile = LoadProfile(profileName);
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

struct WordingCase {
    std::string label;
    std::string profile;
    std::function<void(Profile&)> editProfile;
    std::function<void(SimDrive&, MotorForm&)> afterAttach;
    std::string control;
    std::optional<std::int32_t> index;
    std::vector<std::string> reasons;
};

void PrintTo(const WordingCase& c, std::ostream* out) {
    *out << c.label;
}

class Wording : public EnableReasons, public ::testing::WithParamInterface<WordingCase> {};

TEST_P(Wording, NamesTheRuleAndItsFalseConditions) {
    const WordingCase& c = GetParam();
    Profile profile = LoadProfile(c.profile);
    if (c.editProfile) {
        c.editProfile(profile);
    }
    UseDrive(profile);
    Attach();
    if (c.afterAttach) {
        c.afterAttach(*drive, *panel);
    }
    Control& control = c.index ? Find(c.control, *c.index) : Find(c.control);
    EXPECT_EQ(Texts(control), c.reasons);
    EXPECT_EQ(control.EffectiveEnabled(), c.reasons.empty());
}

const auto kLevel = [](std::int32_t level) {
    return [level](SimDrive& drive, MotorForm&) { drive.SetAccessLevel(level); };
};
const auto kMotorType = [](std::int32_t code) {
    return [code](SimDrive& drive, MotorForm& panel) {
        drive.SetField(170, "Motor Type", code);
        panel.SetEnabled(true);
    };
};

INSTANTIATE_TEST_SUITE_P(
    Cases, Wording,
    ::testing::Values(
        WordingCase{"Operable", "servo", nullptr, nullptr, "MotorStyleCombo", std::nullopt, {}},
        WordingCase{"AccessLevel",
                    "servo",
                    nullptr,
                    kLevel(2),
                    "MotorStyleCombo",
                    std::nullopt,
                    {"needs access level 3, the current level is 2"}},
        WordingCase{"ContainingFrame",
                    "servo",
                    nullptr,
                    kLevel(0),
                    "ParamItem",
                    15,
                    {"the frame \"Vector Torque Loop Tuning\" is disabled: needs access level 1, the current level "
                     "is 0"}},
        WordingCase{"PanelDisabled",
                    "servo",
                    nullptr,
                    [](SimDrive&, MotorForm& panel) { panel.SetEnabled(false); },
                    "CommutationLbl",
                    std::nullopt,
                    {"the panel is disabled by the application"}},
        WordingCase{"PanelDisabledAndLevel",
                    "servo",
                    nullptr,
                    [](SimDrive& drive, MotorForm& panel) {
                        drive.SetAccessLevel(2);
                        panel.SetEnabled(false);
                    },
                    "ConfigRadioGrp",
                    4,
                    {"the panel is disabled by the application", "needs access level 3, the current level is 2"}},
        WordingCase{"VoiceCoil",
                    "servo",
                    nullptr,
                    kMotorType(6),
                    "ConfigRadioGrp",
                    3,
                    {"the motor type Voice Coil has no commutation invert"}},
        WordingCase{"VoiceCoilSensors",
                    "servo",
                    nullptr,
                    kMotorType(6),
                    "SensorlessRadioGrp",
                    std::nullopt,
                    {"the motor type Voice Coil has no choice between sensors and sensorless start"}},
        WordingCase{"OneMicrostep",
                    "stepper",
                    nullptr,
                    [](SimDrive& drive, MotorForm&) {
                        drive.SetMicrostepChoices({{200, "200 (full step)"}});
                        drive.RaiseTimerTick();
                    },
                    "MicrostepCombo",
                    std::nullopt,
                    {"the drive offers only one microstep setting"}},
        WordingCase{"ParameterLockLevel",
                    "stepper",
                    nullptr,
                    [](SimDrive& drive, MotorForm& panel) {
                        drive.RaiseTimerTick();
                        drive.SetLockLevel(204, 5);
                        panel.SetEnabled(true);
                    },
                    "MicrostepCombo",
                    std::nullopt,
                    {"parameter 204 needs lock level 5, the access level is 3"}},
        WordingCase{"MissingMotorConfiguration",
                    "servo",
                    [](Profile& p) { RemoveParameters(p, {170}); },
                    nullptr,
                    "HallNumberFrame",
                    std::nullopt,
                    {"the drive has no parameter 170"}},
        WordingCase{"UnboundEditor", "servo", nullptr, nullptr, "ParamItem", 2, {"the drive has no parameter 201"}},
        WordingCase{"CommModeLocked",
                    "servo",
                    nullptr,
                    [](SimDrive& drive, MotorForm& panel) {
                        drive.SetFieldEditable(170, "Commutation Mode", false);
                        panel.SetEnabled(true);
                    },
                    "ConfigRadioGrp",
                    3,
                    {"the drive does not let the commutation mode be changed now"}},
        WordingCase{"CommOptionAsText",
                    "servo",
                    nullptr,
                    [](SimDrive& drive, MotorForm& panel) {
                        drive.RaiseTimerTick();
                        drive.SetCommModeSelectable(false);
                        panel.SetEnabled(true);
                    },
                    "CommModeCombo",
                    std::nullopt,
                    {"the drive network shows the commutation option as text only"}},
        WordingCase{"CommutationMode1",
                    "servo",
                    nullptr,
                    [](SimDrive& drive, MotorForm& panel) {
                        drive.SetField(170, "Commutation Mode", 1);
                        panel.SetEnabled(true);
                    },
                    "BitDisplayLbl",
                    std::nullopt,
                    {"the commutation mode \"State Chk On, Seq Chk On, Thermal Chk Off\" shows no sensor state"}},
        WordingCase{"SensorlessStart",
                    "servo",
                    nullptr,
                    [](SimDrive& drive, MotorForm&) {
                        drive.SetField(170, "Commutation Mode", 14);
                        drive.RaiseTimerTick();
                    },
                    "HallLbl",
                    std::nullopt,
                    {"the motor is set to start without sensors, so the Hall sensor state does not apply"}},
        WordingCase{"NoNode",
                    "servo",
                    nullptr,
                    [](SimDrive& drive, MotorForm& panel) {
                        panel.AttachControl(drive.Network(), nullptr, nullptr, "", "");
                        panel.SetEnabled(true);
                    },
                    "MotorStyleCombo",
                    std::nullopt,
                    {"no drive is attached to the panel"}},
        WordingCase{"Released",
                    "servo",
                    nullptr,
                    [](SimDrive& drive, MotorForm& panel) {
                        drive.SetAccessLevel(2);
                        panel.ReleaseControl();
                    },
                    "MotorStyleCombo",
                    std::nullopt,
                    {"the panel is not attached to a drive network"}},
        // The list is rebuilt on the tick after the attach, and a rebuild does not run the walk.
        WordingCase{"NotRechecked",
                    "servo",
                    nullptr,
                    [](SimDrive& drive, MotorForm&) { drive.RaiseTimerTick(); },
                    "CommModeCombo",
                    std::nullopt,
                    {"the panel has not checked this control again since the drive's last change; it will on the "
                     "next change of the access level or of the panel's enabled state"}},
        WordingCase{"NotReadable",
                    "servo",
                    nullptr,
                    [](SimDrive& drive, MotorForm& panel) {
                        drive.SetField(170, "Motor Type", 6);
                        panel.SetEnabled(true);
                        drive.Faults().FailEveryCall("Field.Value", {170, "Motor Type"});
                    },
                    "SensorlessRadioGrp",
                    std::nullopt,
                    {"the drive did not answer when the panel last checked this control, so it keeps its earlier "
                     "state"}}),
    [](const ::testing::TestParamInfo<WordingCase>& info) { return info.param.label; });

}  // namespace
}  // namespace vor
