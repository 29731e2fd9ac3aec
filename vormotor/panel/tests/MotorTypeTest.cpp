#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vormotor/panel/tests/PanelFixture.h"

namespace vor {
namespace {

using testing_support::PanelTest;

constexpr const char* kSafetyPrompt =
    "The drive is enabled! If this drive is holding a load, it may drop causing damage to the machine or "
    "personnel.\n\nHit OK to proceed, the drive will temporarily be disabled during the configuration change.";

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

struct SafetyCase {
    const char* name;
    bool driveEnabled;
    std::int32_t nodeState;
    MessageBoxResult answer;
    bool asked;
    std::vector<DriveWrite> writes;
};

class SafetyQuestion : public MotorType, public ::testing::WithParamInterface<SafetyCase> {};

TEST_P(SafetyQuestion, DecidesWhatIsWrittenAndInWhichOrder) {
    const SafetyCase& c = GetParam();
    drive->SetDriveEnabled(c.driveEnabled);
    drive->SetNodeState(c.nodeState);
    Attach();
    answer = c.answer;
    Pick("Brushless Linear");
    EXPECT_EQ(drive->Writes(), c.writes);
    ASSERT_EQ(shownMessages.size(), c.asked ? 1u : 0u);
    if (c.asked) {
        EXPECT_EQ(shownMessages[0].title, "Safety Warning");
        EXPECT_EQ(shownMessages[0].prompt, kSafetyPrompt);
        EXPECT_EQ(shownMessages[0].buttons, MessageBoxButtons::OkCancel);
        EXPECT_EQ(shownMessages[0].defaultButton, MessageBoxResult::Ok);
    }
    const bool written = !c.writes.empty();
    EXPECT_EQ(StoredMotorType(), written ? 2 : 0);
    EXPECT_EQ(Combo("MotorStyleCombo").Text(), written ? "Brushless Linear" : "Brushless Rotary");
    EXPECT_EQ(drive->DriveEnabled(), c.driveEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    Branches, SafetyQuestion,
    ::testing::Values(SafetyCase{"EnabledOk",
                                 true,
                                 3,
                                 MessageBoxResult::Ok,
                                 true,
                                 {DriveWrite::DriveEnabled(false), DriveWrite::Field(170, "Motor Type", 2),
                                  DriveWrite::DriveEnabled(true)}},
                      SafetyCase{"EnabledCancel", true, 3, MessageBoxResult::Cancel, true, {}},
                      SafetyCase{"EnabledState7",
                                 true,
                                 7,
                                 MessageBoxResult::Cancel,
                                 false,
                                 {DriveWrite::Field(170, "Motor Type", 2), DriveWrite::DriveEnabled(true)}},
                      SafetyCase{"NotEnabled",
                                 false,
                                 3,
                                 MessageBoxResult::Cancel,
                                 false,
                                 {DriveWrite::Field(170, "Motor Type", 2), DriveWrite::DriveEnabled(false)}}),
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
    std::vector<DriveWrite> writes;
};

class FailingClick : public MotorType, public ::testing::WithParamInterface<ClickFailureCase> {};

TEST_P(FailingClick, LeavesTheDriveEnabledAsItWasAndTheListOnTheStoredType) {
    drive->SetDriveEnabled(true);
    drive->SetNodeState(3);
    Attach();
    drive->Faults().FailCall(GetParam().operation, GetParam().nth);
    Pick("Voice Coil");
    EXPECT_EQ(drive->Writes(), GetParam().writes);
    EXPECT_TRUE(drive->DriveEnabled());
    EXPECT_EQ(StoredMotorType(), 0);
    EXPECT_EQ(Combo("MotorStyleCombo").Text(), "Brushless Rotary");
    EXPECT_FALSE(panel->GetState().updating);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailingClick,
    ::testing::Values(ClickFailureCase{"FieldWrite",
                                       "Field.SetValue",
                                       1,
                                       {DriveWrite::DriveEnabled(false), DriveWrite::DriveEnabled(true)}},
                      ClickFailureCase{"Disabling", "Node.SetDriveEnabled", 1, {DriveWrite::DriveEnabled(true)}},
                      ClickFailureCase{"ReadingState", "Node.NodeState", 1, {}}),
    [](const ::testing::TestParamInfo<ClickFailureCase>& info) { return std::string(info.param.name); });

TEST_F(MotorType, ClicksAreIgnoredWithoutANodeOrField) {
    Attach();
    panel->ReleaseControl();
    Combo("MotorStyleCombo").UserPick(2);
    EXPECT_TRUE(drive->Writes().empty());
    EXPECT_TRUE(shownMessages.empty());
}

TEST_F(MotorType, FramesFollowTheFieldNotTheClick) {
    Attach();
    drive->Faults().FailEveryCall("Field.SetValue", {170, "Motor Type"});
    Combo("MotorStyleCombo").AddItem("Stepper (test)");
    Combo("MotorStyleCombo").SetItemData(5, 5);
    Pick("Stepper (test)");
    EXPECT_TRUE(Find("CommSensorFrame").Visible()) << "a pick that was not written switches nothing";
    EXPECT_FALSE(Find("StepperFrame").Visible());

    drive->SetField(170, "Motor Type", 5);
    EXPECT_FALSE(Find("CommSensorFrame").Visible());
    EXPECT_TRUE(Find("StepperFrame").Visible());
    drive->SetField(170, "Motor Type", 2);
    EXPECT_TRUE(Find("CommSensorFrame").Visible());
    EXPECT_FALSE(Find("StepperFrame").Visible());
}

TEST_F(MotorType, TorqueLoopCaptionIsWordedByTheNode) {
    Attach();
    EXPECT_EQ(Caption("trqLoopTuneFrame"), "Vector Torque Loop Tuning");
    drive->SetField(170, "Motor Type", 2);  // a linear motor
    EXPECT_EQ(Caption("trqLoopTuneFrame"), "Vector Force Loop Tuning");
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

}  // namespace
}  // namespace vor
