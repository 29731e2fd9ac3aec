#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "vormotor/panel/tests/PanelFixture.h"

namespace vor {
namespace {

class MotorType : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        UseDrive("servo");
    }

    // The user picks the item with this text.
    void Pick(const std::string& text) {
        auto& combo = Combo("MotorStyleCombo");
        for (std::int32_t i = 0; i < combo.ListCount(); ++i) {
            if (combo.List(i) == text) {
                combo.UserPick(i);
                return;
            }
        }
        FAIL() << "no item " << text;
    }

    std::int32_t StoredMotorType() { return drive->FieldValue(170, "Motor Type"); }

    // The servo with its profile changed before the panel sees it.
    void UseServo(const std::function<void(model::Profile&)>& edit) {
        auto profile = LoadProfile("servo");
        edit(profile);
        UseDrive(profile);
    }
};

TEST_F(MotorType, CodesTheListDoesNotOfferAreShownAsNotAvailable) {
    drive->SetField(170, "Motor Type", 4);  // a hidden catalogue entry
    Attach();
    auto& combo = Combo("MotorStyleCombo");
    EXPECT_EQ(ItemTexts("MotorStyleCombo").back(), "N/A 4");
    EXPECT_EQ(combo.ItemData(combo.ListCount() - 1), 4);
    EXPECT_EQ(combo.ListIndex(), combo.ListCount() - 1);

    drive->SetField(170, "Motor Type", 9);
    EXPECT_EQ(ItemTexts("MotorStyleCombo").back(), "N/A 9");
    EXPECT_FALSE(combo.Enabled());
    const auto count = combo.ListCount();
    drive->SetField(170, "Motor Type", 0);
    EXPECT_EQ(combo.ListIndex(), 0);
    drive->SetField(170, "Motor Type", 9);
    EXPECT_EQ(combo.ListCount(), count);
    EXPECT_EQ(combo.ListIndex(), count - 1);
    EXPECT_TRUE(drive->Writes().empty()) << "the panel's own selection changes never write";
}

TEST_F(MotorType, ANegativeCodeShowsItsSign) {
    UseServo([](model::Profile& profile) {
        for (auto& parameter : profile.parameters) {
            if (parameter.number == 170) {
                parameter.lowerLimit = -2147483648.0;
                parameter.value = -3;
                parameter.fields.front().width = 32;  // the motor type, and the sign with it
            }
        }
    });
    Attach();
    EXPECT_EQ(ItemTexts("MotorStyleCombo").back(), "N/A -3");
    EXPECT_EQ(Combo("MotorStyleCombo").ItemData(Combo("MotorStyleCombo").ListCount() - 1), -3);
}

TEST_F(MotorType, WithoutAMotorTypeFieldTheListIsDisabledAndTheFramesStay) {
    const bool sensorFrame = Find("CommSensorFrame").Visible();
    const bool stepperFrame = Find("StepperFrame").Visible();
    UseServo([](model::Profile& profile) { RemoveParameters(profile, {170}); });
    Attach();
    EXPECT_EQ(ItemTexts("MotorStyleCombo"), std::vector<std::string>{"N/A"});
    EXPECT_EQ(Combo("MotorStyleCombo").ListIndex(), 0);
    EXPECT_FALSE(Find("MotorStyleCombo").Enabled());
    EXPECT_EQ(Find("CommSensorFrame").Visible(), sensorFrame);
    EXPECT_EQ(Find("StepperFrame").Visible(), stepperFrame);
}

// The list follows the field only after asking it for the drive's value.
TEST_F(MotorType, ShowingTheTypeRefreshesTheFieldFirst) {
    Attach();
    drive->Faults().FailEveryCall("Field.Refresh", {170, "Motor Type"});
    drive->SetField(170, "Motor Type", 2);
    EXPECT_EQ(Combo("MotorStyleCombo").Text(), "Brushless Rotary") << "a failing refresh ends the routine";
    drive->Faults().Clear();
    drive->SetField(170, "Motor Type", 3);
    EXPECT_EQ(Combo("MotorStyleCombo").Text(), "Brushless Rotary, High Pole Count");
}

// An enabled drive asks first. The question's words, a cancelled question and node state 7 are
// played by the host's motor_type scenario, the real dialog by the Qt view's tests.
struct SafetyCase {
    const char* name;
    bool driveEnabled;
    MessageBoxResult answer;
    std::vector<model::DriveWrite> writes;
};

class SafetyQuestion : public MotorType, public ::testing::WithParamInterface<SafetyCase> {};

TEST_P(SafetyQuestion, DecidesWhatIsWrittenAndInWhichOrder) {
    const SafetyCase& c = GetParam();
    drive->SetDriveEnabled(c.driveEnabled);
    drive->SetNodeState(3);
    Attach();
    answer = c.answer;
    Pick("Brushless Linear");
    EXPECT_EQ(drive->Writes(), c.writes);
    ASSERT_EQ(shownMessages.size(), c.driveEnabled ? 1u : 0u);
    if (c.driveEnabled) {
        EXPECT_EQ(shownMessages[0].buttons, MessageBoxButtons::OkCancel);
        EXPECT_EQ(shownMessages[0].defaultButton, MessageBoxResult::Ok);
    }
    EXPECT_EQ(StoredMotorType(), 2);
    EXPECT_EQ(Combo("MotorStyleCombo").Text(), "Brushless Linear");
    EXPECT_EQ(drive->DriveEnabled(), c.driveEnabled);
}

INSTANTIATE_TEST_SUITE_P(Branches, SafetyQuestion,
                         ::testing::Values(SafetyCase{"EnabledOk",
                                                      true,
                                                      MessageBoxResult::Ok,
                                                      {model::DriveWrite::DriveEnabled(false),
                                                       model::DriveWrite::Field(170, "Motor Type", 2),
                                                       model::DriveWrite::DriveEnabled(true)}},
                                           SafetyCase{"NotEnabled",
                                                      false,
                                                      MessageBoxResult::Cancel,
                                                      {model::DriveWrite::Field(170, "Motor Type", 2),
                                                       model::DriveWrite::DriveEnabled(false)}}),
                         [](const ::testing::TestParamInfo<SafetyCase>& info) { return std::string(info.param.name); });

TEST_F(MotorType, APanelsOwnResponderAnswersItsQuestionInsteadOfTheProcessWideOne) {
    drive->SetDriveEnabled(true);
    drive->SetNodeState(3);
    Attach();
    std::vector<MessageBoxRequest> ownMessages;
    panel->SetMessageResponder([&](const MessageBoxRequest& request) {
        ownMessages.push_back(request);
        return MessageBoxResult::Cancel;
    });
    answer = MessageBoxResult::Ok;  // the process-wide responder would let the change through
    Pick("Brushless Linear");
    ASSERT_EQ(ownMessages.size(), 1u);
    EXPECT_EQ(ownMessages[0].title, "Safety Warning");
    EXPECT_TRUE(shownMessages.empty());
    EXPECT_TRUE(drive->Writes().empty());

    panel->SetMessageResponder(nullptr);  // back to the process-wide one
    Pick("Brushless Linear");
    EXPECT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(StoredMotorType(), 2);
}

struct ClickFailureCase {
    const char* name;
    const char* operation;
    std::int32_t nth;
    std::vector<model::DriveWrite> writes;
    bool driveEnabled = true;
};

class FailingClick : public MotorType, public ::testing::WithParamInterface<ClickFailureCase> {};

TEST_P(FailingClick, LeavesTheDriveEnabledAsItWasAndTheListOnTheStoredType) {
    drive->SetDriveEnabled(GetParam().driveEnabled);
    drive->SetNodeState(3);
    Attach();
    drive->Faults().FailCall(GetParam().operation, GetParam().nth);
    Pick("Voice Coil");
    EXPECT_EQ(drive->Writes(), GetParam().writes);
    EXPECT_EQ(drive->DriveEnabled(), GetParam().driveEnabled);
    EXPECT_EQ(StoredMotorType(), 0);
    EXPECT_EQ(Combo("MotorStyleCombo").Text(), "Brushless Rotary");
    EXPECT_FALSE(MotorFormProbe::StateOf(*panel).updating);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailingClick,
    ::testing::Values(ClickFailureCase{"FieldWrite",
                                       "Field.SetValue",
                                       1,
                                       {model::DriveWrite::DriveEnabled(false), model::DriveWrite::DriveEnabled(true)}},
                      ClickFailureCase{"Disabling", "Node.SetDriveEnabled", 1, {model::DriveWrite::DriveEnabled(true)}},
                      ClickFailureCase{"ReadingState", "Node.NodeState", 1, {}},
                      // Both states are read whatever the first says, so a disabled drive's click ends too.
                      ClickFailureCase{"ReadingStateDisabled", "Node.NodeState", 1, {}, false}),
    [](const ::testing::TestParamInfo<ClickFailureCase>& info) { return std::string(info.param.name); });

// An enabled drive would be asked about first: no question shows that the click ended before it.
TEST_F(MotorType, ClicksAreIgnoredWithoutASelectionANodeOrField) {
    drive->SetDriveEnabled(true);
    drive->SetNodeState(3);
    Attach();
    Combo("MotorStyleCombo").SetListIndex(-1);  // the user's click on an empty selection
    panel->ReleaseControl();
    Combo("MotorStyleCombo").UserPick(2);
    EXPECT_TRUE(drive->Writes().empty());
    EXPECT_TRUE(shownMessages.empty());
}

TEST_F(MotorType, AFieldThatIsNotEditableDisablesTheList) {
    Attach();
    panel->SetEnabled(true);
    ASSERT_TRUE(Find("MotorStyleCombo").Enabled());
    drive->SetFieldEditable(170, "Motor Type", false);
    panel->SetEnabled(true);
    EXPECT_FALSE(Find("MotorStyleCombo").Enabled());
}

TEST_F(MotorType, FramesFollowTheFieldNotTheClick) {
    Attach();
    drive->Faults().FailEveryCall("Field.SetValue", {170, "Motor Type"});
    Combo("MotorStyleCombo").AddItem("Stepper (test)");
    Combo("MotorStyleCombo").SetItemData(5, 5);
    Pick("Stepper (test)");
    EXPECT_TRUE(Find("CommSensorFrame").Visible()) << "a pick that was not written switches nothing";
    EXPECT_FALSE(Find("StepperFrame").Visible());

    // Only the stepper types show the stepper frame, in place of the sensor frame.
    for (const auto& [code, stepper] :
         {std::pair{5, true}, {2, false}, {4, true}, {1, false}, {9, false}, {3, false}}) {
        drive->SetField(170, "Motor Type", code);
        EXPECT_EQ(Find("StepperFrame").Visible(), stepper) << code;
        EXPECT_EQ(Find("CommSensorFrame").Visible(), !stepper) << code;
    }
}

TEST_F(MotorType, RmsTimeCaptionFollowsBothRmsParameters) {
    Attach();
    EXPECT_EQ(Caption("JamFrame"), "RMS Time Constant: 30 s");
    drive->SetParam(25, 45);
    EXPECT_EQ(Caption("JamFrame"), "45 s");
    drive->SetParam(24, 3.5);
    EXPECT_EQ(Caption("JamFrame"), "RMS Time Constant: 45 s");
}

struct AccessCase {
    std::int32_t level;
    bool techSupport;
    // The list's enabled states while the application's tech-support event is handled: the
    // motor-type rule runs first, then the enable policy, whose result stands.
    std::vector<bool> during;
    bool after;
};

class MotorTypeAccess : public MotorType, public ::testing::WithParamInterface<AccessCase> {};

TEST_P(MotorTypeAccess, NeedsLevelThreeOrTechSupportUntilThePolicyDecides) {
    drive->SetAccessLevel(GetParam().level);
    Attach();
    std::vector<bool> seen;
    auto& combo = Find("MotorStyleCombo");
    auto watch = combo.PropertyChanged().Connect([&](Control& control, const std::string& property) {
        if (property == "Enabled") {
            seen.push_back(control.Enabled());
        }
    });
    drive->RaiseTechSupportChanged(GetParam().techSupport);
    EXPECT_EQ(seen, GetParam().during);
    EXPECT_EQ(combo.Enabled(), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Levels, MotorTypeAccess,
                         ::testing::Values(AccessCase{2, false, {}, false}, AccessCase{3, false, {}, true},
                                           AccessCase{2, true, {true, false}, false},
                                           AccessCase{0, true, {true, false}, false}, AccessCase{5, false, {}, true}));

// The policy's own verdict on the list fails (Editable), so what stays is the access rule's.
TEST_F(MotorType, TheAccessRuleAndsThePanelsSwitch) {
    Attach();
    drive->Faults().FailEveryCall("Field.Editable", {170, "Motor Type"});
    drive->SetAccessLevel(4);
    EXPECT_TRUE(Find("MotorStyleCombo").Enabled());
    panel->SetEnabled(false);
    Find("MotorStyleCombo").SetEnabled(true);
    drive->SetAccessLevel(3);
    EXPECT_FALSE(Find("MotorStyleCombo").Enabled());
}

// Without a network lock the access rule stops before it touches anything, and fails nothing.
TEST_F(MotorType, TheAccessRuleStopsQuietlyWithoutALock) {
    Attach();
    Find("JamFrame").Set("Caption", std::string("stale"));
    Find("MotorStyleCombo").SetEnabled(false);
    drive->Faults().NullEveryCall("Network.AccessLock");
    drive->Faults().FailEveryCall("Field.Editable", {170, "Motor Type"});
    failures.clear();
    drive->RaiseMotorPageEnableChanged(true);
    EXPECT_EQ(Caption("JamFrame"), "stale");
    EXPECT_FALSE(Find("MotorStyleCombo").Enabled());
    EXPECT_TRUE(std::none_of(failures.begin(), failures.end(), [](const std::string& failure) {
        return failure.starts_with("event handler");
    })) << failures.front();
}

// The lock stays subscribed after a release; its change then finds no network.
TEST_F(MotorType, TheAccessRuleStopsQuietlyWithoutANetwork) {
    Attach();
    panel->ReleaseControl();
    Find("JamFrame").Set("Caption", std::string("stale"));
    failures.clear();
    drive->SetAccessLevel(1);
    EXPECT_EQ(Caption("JamFrame"), "stale");
    EXPECT_TRUE(failures.empty()) << failures.front();
}

}  // namespace
}  // namespace vor
