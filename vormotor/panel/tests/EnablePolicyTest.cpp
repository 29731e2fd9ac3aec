#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "vormotor/panel/tests/PanelFixture.h"

namespace vor {
namespace {

const std::vector<std::string> kInnerFrames{"CommSensorFrame", "MotorNamePlateFrame", "OverloadFrame",
                                            "JamFrame",        "EncoderFrame",        "StepperFrame"};
const std::vector<std::string> kLists{"CommModeCombo", "MotorStyleCombo", "MicrostepCombo"};
const std::vector<std::string> kSensorDisplay{"HallNumberFrame", "AngleLbl", "transLbl", "HallLbl"};

class EnablePolicy : public PanelTest {
protected:
    void Start(const std::string& profile, std::int32_t level) {
        UseDrive(profile);
        drive->SetAccessLevel(level);
        Attach();
    }

    // Own enabled state of single controls and editors, by key.
    std::map<std::string, bool> Enabled(const std::vector<std::string>& names) {
        std::map<std::string, bool> states;
        for (const auto& name : names) {
            states[name] = Find(name).Enabled();
        }
        return states;
    }
    static std::map<std::string, bool> All(const std::vector<std::string>& names, bool state) {
        std::map<std::string, bool> states;
        for (const auto& name : names) {
            states[name] = state;
        }
        return states;
    }

    // Editors a user can operate through their containers.
    std::vector<std::int32_t> OperableEditors() {
        std::vector<std::int32_t> indices;
        for (Control* control : panel->GetForm().Controls()) {
            if (control->Name() == "ParamItem" && control->EffectiveEnabled()) {
                indices.push_back(*control->Index());
            }
        }
        std::sort(indices.begin(), indices.end());
        return indices;
    }
};

struct LevelCase {
    std::int32_t level;
    bool motorFrame;
    bool tuningFrame;
    bool innerFrames;
    std::vector<std::int32_t> operableEditors;
};

class AccessLevels : public EnablePolicy, public ::testing::WithParamInterface<LevelCase> {};

// A change of the lock takes effect within its event, as the level at attach does.
TEST_P(AccessLevels, DecideWhichFramesAndListsCanBeUsed) {
    Start("servo", 3);
    drive->SetAccessLevel(GetParam().level);
    EXPECT_EQ(Find("MotorFrame").Enabled(), GetParam().motorFrame);
    EXPECT_EQ(Find("trqLoopTuneFrame").Enabled(), GetParam().tuningFrame);
    EXPECT_EQ(Enabled(kInnerFrames), All(kInnerFrames, GetParam().innerFrames));
    EXPECT_FALSE(Find("CommModeCombo").Enabled()) << "no list yet before the first tick";
    EXPECT_FALSE(Find("MicrostepCombo").Enabled()) << "the servo has no microsteps";
    for (const char* name : {"MotorStyleCombo", "SensorlessRadioGrp", "CommOptionLbl"}) {
        EXPECT_EQ(Find(name).Enabled(), GetParam().innerFrames) << name;
    }
    EXPECT_EQ(Find("ConfigRadioGrp", 3).Enabled(), GetParam().innerFrames);
    EXPECT_EQ(Find("ConfigRadioGrp", 4).Enabled(), GetParam().innerFrames);
    EXPECT_EQ(OperableEditors(), GetParam().operableEditors);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, AccessLevels,
    ::testing::Values(LevelCase{0, false, false, false, {}}, LevelCase{1, true, true, false, {15, 16}},
                      LevelCase{2, true, true, false, {15, 16}},
                      LevelCase{3, true, true, true, {0, 1, 9, 10, 11, 12, 13, 15, 16, 17, 18, 30, 31}},
                      LevelCase{7, true, true, true, {0, 1, 9, 10, 11, 12, 13, 15, 16, 17, 18, 30, 31}}));

TEST_F(EnablePolicy, DisabledPanelDisablesEverythingButKeepsTheListOrLabelChoice) {
    Start("servo", 3);
    panel->SetEnabled(false);
    EXPECT_EQ(Enabled(kInnerFrames), All(kInnerFrames, false));
    EXPECT_FALSE(Find("MotorFrame").Enabled());
    EXPECT_FALSE(Find("trqLoopTuneFrame").Enabled());
    EXPECT_EQ(Enabled(kLists), All(kLists, false));
    for (Control* control : panel->GetForm().Controls()) {
        if (control->Name() == "ParamItem") {
            EXPECT_FALSE(control->Enabled()) << *control->Index();
            EXPECT_FALSE(control->TabStop()) << *control->Index();
        }
    }
    EXPECT_TRUE(Find("CommModeCombo").Visible());
    EXPECT_FALSE(Find("CommOptionLbl").Visible());

    panel->SetEnabled(true);
    EXPECT_EQ(Enabled(kInnerFrames), All(kInnerFrames, true));
    EXPECT_TRUE(Find("ParamItem", 9).TabStop());
}

TEST_F(EnablePolicy, WithoutANodeOnlyEditorsThatStillHoldAValueFollowThePanel) {
    Start("servo", 3);
    panel->AttachControl(drive->Network(), nullptr, nullptr, "", "");
    panel->SetEnabled(true);  // the binding ends before its walk without a node
    EXPECT_EQ(Enabled(kInnerFrames), All(kInnerFrames, false));
    EXPECT_FALSE(Find("MotorFrame").Enabled());
    EXPECT_EQ(Enabled(kLists), All(kLists, false));
    EXPECT_TRUE(Find("ParamItem", 9).Enabled());  // still bound from the earlier attach
    EXPECT_FALSE(Find("ParamItem", 9).TabStop());
    EXPECT_FALSE(Find("ParamItem", 2).Enabled());  // never bound: the servo has no parameter 201
}

TEST_F(EnablePolicy, BeforeAttachAndAfterReleaseNothingChanges) {
    UseDrive("servo");
    panel->SetEnabled(false);
    panel->GetForm().Surface().Show();
    EXPECT_TRUE(Find("MotorFrame").Enabled());
    EXPECT_TRUE(Find("ParamItem", 9).Enabled());
    Attach();
    panel->ReleaseControl();
    drive->SetAccessLevel(0);  // the lock is still held: its change finds no network
    EXPECT_TRUE(Find("MotorFrame").Enabled());
}

TEST_F(EnablePolicy, AListNeedsMoreThanOneItem) {
    for (const auto& [visibleTypes, enabled] :
         std::vector<std::pair<std::vector<std::int32_t>, bool>>{{{}, false}, {{0}, false}, {{0, 1}, true}}) {
        auto profile = LoadProfile("servo");
        for (auto& type : profile.motorTypes) {
            type.visible = std::find(visibleTypes.begin(), visibleTypes.end(), type.code) != visibleTypes.end();
        }
        UseDrive(profile);
        panel = MotorForm::Create();
        Attach();
        EXPECT_EQ(Find("MotorStyleCombo").Enabled(), enabled) << visibleTypes.size() << " types";
    }
}

TEST_F(EnablePolicy, CommutationOptionIsAListOrALabel) {
    Start("servo", 3);
    EXPECT_TRUE(Find("CommModeCombo").Visible());
    EXPECT_FALSE(Find("CommOptionLbl").Visible());
    drive->SetCommModeSelectable(false);
    EXPECT_TRUE(Find("CommModeCombo").Visible()) << "nothing runs the walk yet";
    drive->SetAccessLevel(4);
    EXPECT_FALSE(Find("CommModeCombo").Visible());
    EXPECT_FALSE(Find("CommModeCombo").Enabled());
    EXPECT_TRUE(Find("CommOptionLbl").Visible());
}

TEST_F(EnablePolicy, WithoutTheCommutationFieldTheListKeepsItsVisibility) {
    auto profile = LoadProfile("stepper");
    RemoveParameters(profile, {170});
    UseDrive(profile);
    Attach();
    EXPECT_FALSE(Find("CommModeCombo").Enabled());
    EXPECT_TRUE(Find("CommModeCombo").Visible()) << "the design state: nothing hid it";
    EXPECT_TRUE(Find("CommOptionLbl").Visible()) << "the stepper's network does not let the user choose";
}

struct MotorTypeCase {
    std::int32_t motorType;
    bool invertGroup;
    bool sensorGroup;
};

class MotorTypeRules : public EnablePolicy, public ::testing::WithParamInterface<MotorTypeCase> {};

TEST_P(MotorTypeRules, RestrictTheCommutationGroups) {
    Start("servo", 3);
    drive->SetField(170, "Motor Type", GetParam().motorType);
    panel->SetEnabled(true);
    EXPECT_EQ(Find("ConfigRadioGrp", 3).Enabled(), GetParam().invertGroup);
    EXPECT_EQ(Find("SensorlessRadioGrp").Enabled(), GetParam().sensorGroup);
    EXPECT_TRUE(Find("ConfigRadioGrp", 4).Enabled());
}

INSTANTIATE_TEST_SUITE_P(Types, MotorTypeRules,
                         ::testing::Values(MotorTypeCase{0, true, true}, MotorTypeCase{1, false, true},
                                           MotorTypeCase{5, false, true}, MotorTypeCase{6, false, false},
                                           MotorTypeCase{3, true, true}));

TEST_F(EnablePolicy, SensorlessStartDisablesTheSensorDisplay) {
    UseDrive("servo");
    drive->SetField(170, "Commutation Mode", 14);
    Attach();
    EXPECT_EQ(Enabled(kSensorDisplay), All(kSensorDisplay, false));
    drive->SetField(170, "Commutation Mode", 2);
    EXPECT_EQ(Enabled(kSensorDisplay), All(kSensorDisplay, false)) << "the sensor choice follows on the next tick";
    drive->RaiseTimerTick();
    EXPECT_EQ(Enabled(kSensorDisplay), All(kSensorDisplay, true));
}

TEST_F(EnablePolicy, CommutationMode1DisablesTheReadoutsWhateverTheLevel) {
    UseDrive("servo");
    drive->SetAccessLevel(0);
    Attach();
    EXPECT_TRUE(Find("CommutationLbl").Enabled());
    EXPECT_TRUE(Find("BitDisplayLbl").Enabled());
    drive->SetField(170, "Commutation Mode", 1);
    panel->SetEnabled(true);
    EXPECT_FALSE(Find("CommutationLbl").Enabled());
    EXPECT_FALSE(Find("BitDisplayLbl").Enabled());
}

TEST_F(EnablePolicy, ParameterLockLevelOnlyTakesAnEditorOutOfTheTabOrder) {
    for (const auto& [lockLevel, tabStop] : std::map<std::int32_t, bool>{{4, false}, {3, true}, {2, true}}) {
        UseDrive("servo");
        drive->SetLockLevel(20, lockLevel);
        panel = MotorForm::Create();
        Attach();
        EXPECT_TRUE(Find("ParamItem", 9).Enabled()) << lockLevel;
        EXPECT_EQ(Find("ParamItem", 9).TabStop(), tabStop) << lockLevel;
    }
}

// The traced walk itself is played by the host's access_level scenario.
TEST_F(EnablePolicy, OnlyItsOwnTraceFlagTracesTheWalk) {
    UseDrive("servo");
    Attach();
    drive->SetTraceFlags(0x1F);
    panel->SetEnabled(true);
    EXPECT_TRUE(drive->TraceLines().empty());
}

TEST_F(EnablePolicy, AFailingOperandSkipsOnlyItsAssignment) {
    Start("servo", 3);
    ASSERT_TRUE(Find("SensorlessRadioGrp").Enabled());
    drive->Faults().FailEveryCall("Field.Editable", {170, "Commutation Mode"});
    drive->SetAccessLevel(2);
    // Level 2 alone would disable the group, but its rule could not be evaluated.
    EXPECT_TRUE(Find("SensorlessRadioGrp").Enabled());
    EXPECT_TRUE(Find("ConfigRadioGrp", 3).Enabled());
    EXPECT_FALSE(Find("MotorStyleCombo").Enabled());
    EXPECT_FALSE(Find("ConfigRadioGrp", 4).Enabled());
}

// The commutation invert group reads the motor type once for each type it excludes, the sensor
// choice group once after it; the read that fails skips only the assignment it belongs to.
struct MotorTypeReadCase {
    std::int32_t failingRead;
    bool commInvertDecided;
    bool sensorChoiceDecided;
};

void PrintTo(const MotorTypeReadCase& c, std::ostream* out) {
    *out << "read " << c.failingRead << " fails";
}

class MotorTypeReads : public EnablePolicy, public ::testing::WithParamInterface<MotorTypeReadCase> {};

TEST_P(MotorTypeReads, EachFailingReadSkipsItsOwnRule) {
    Start("servo", 3);
    drive->Faults().FailCall("Field.Value", GetParam().failingRead, {170, "Motor Type"});
    drive->SetAccessLevel(2);
    EXPECT_EQ(Find("ConfigRadioGrp", 3).Enabled(), !GetParam().commInvertDecided);
    EXPECT_EQ(Find("SensorlessRadioGrp").Enabled(), !GetParam().sensorChoiceDecided);
}

INSTANTIATE_TEST_SUITE_P(Reads, MotorTypeReads,
                         ::testing::Values(MotorTypeReadCase{1, false, true}, MotorTypeReadCase{2, false, true},
                                           MotorTypeReadCase{3, false, true}, MotorTypeReadCase{4, true, false}));

TEST_F(EnablePolicy, TheSensorDisplayTracesTheStateItJustComputed) {
    Start("servo", 3);
    drive->SetTraceFlags(0x20);
    drive->SetAccessLevel(2);
    const auto traced = [&](const std::string& line) {
        const auto& lines = drive->TraceLines();
        return std::count(lines.begin(), lines.end(), "DEBUG_MTR_PAGE: " + line);
    };
    EXPECT_EQ(traced("HallNumberFrame just set Enabled=False"), 1);
    // A state that could not be computed was not set, and is not reported as set.
    drive->Faults().FailEveryCall("Field.Value", {std::nullopt, ""});
    drive->SetAccessLevel(3);
    EXPECT_FALSE(Find("HallNumberFrame").Enabled());
    EXPECT_EQ(traced("HallNumberFrame just set Enabled=False"), 1);
    EXPECT_EQ(traced("HallNumberFrame just set Enabled=True"), 0);
}

struct AccessEvent {
    const char* name;
    std::function<void(sim::SimDrive&)> raise;
};

void PrintTo(const AccessEvent& event, std::ostream* out) {
    *out << event.name;
}

class AccessChanges : public EnablePolicy, public ::testing::WithParamInterface<AccessEvent> {};

// Whatever the event carries, the motor-type rule (with the RMS time caption) runs again, then the walk.
TEST_P(AccessChanges, RerunTheMotorTypeRuleAndTheWalk) {
    Start("servo", 3);
    Find("JamFrame").Set("Caption", std::string("stale"));
    Find("JamFrame").SetEnabled(false);
    GetParam().raise(*drive);
    EXPECT_EQ(Caption("JamFrame"), "RMS Time Constant: 30 s");
    EXPECT_TRUE(Find("JamFrame").Enabled());
}

INSTANTIATE_TEST_SUITE_P(
    Events, AccessChanges,
    ::testing::Values(AccessEvent{"Lock", [](sim::SimDrive& d) { d.SetAccessLevel(4); }},
                      AccessEvent{"PageEnabled", [](sim::SimDrive& d) { d.RaiseMotorPageEnableChanged(true); }},
                      AccessEvent{"PageDisabled", [](sim::SimDrive& d) { d.RaiseMotorPageEnableChanged(false); }},
                      AccessEvent{"TechSupportOn", [](sim::SimDrive& d) { d.RaiseTechSupportChanged(true); }},
                      AccessEvent{"TechSupportOff", [](sim::SimDrive& d) { d.RaiseTechSupportChanged(false); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vor
