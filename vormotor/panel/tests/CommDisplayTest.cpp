#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vormotor/panel/tests/PanelFixture.h"
#include "vormotor/toolkit/Label.h"

namespace vor {
namespace {

class CommDisplay : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        UseDrive("servo");
    }
    Label& LabelNamed(const std::string& name) { return panel->GetForm().FindAs<Label>(name); }
};

TEST_F(CommDisplay, AfterAttachShowsTheBitsButNoTransitionOrAngle) {
    drive->SetParam(44, 123);
    Attach();
    EXPECT_EQ(Caption("transLbl"), "?->?");
    EXPECT_EQ(Caption("CommutationLbl"), "N/A");
    EXPECT_EQ(Caption("BitDisplayLbl"), "1\r\n0\r\n1");  // the servo's input word 0x281 holds code 5
    EXPECT_FALSE(LabelNamed("BitDisplayLbl").FontBold());
    EXPECT_EQ(LabelNamed("BitDisplayLbl").ForeColor(), 0u);
}

class InputWords : public CommDisplay, public ::testing::WithParamInterface<std::pair<std::int32_t, const char*>> {};

TEST_P(InputWords, GiveTheSensorCodeOfBits7To9) {
    drive->SetInputWord(GetParam().first);
    Attach();
    EXPECT_EQ(Caption("BitDisplayLbl"), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Words, InputWords,
                         ::testing::Values(std::pair{0x280, "1\r\n0\r\n1"}, std::pair{0x7F, "0\r\n0\r\n0"},
                                           std::pair{1024, "0\r\n0\r\n0"}, std::pair{0x380, "1\r\n1\r\n1"},
                                           std::pair{0x100, "0\r\n1\r\n0"}));

struct TransitionCase {
    std::int32_t last;
    std::int32_t current;
    const char* transition;
    const char* bits;
    bool bold;
    std::uint32_t color;
};

class Transitions : public CommDisplay, public ::testing::WithParamInterface<TransitionCase> {};

TEST_P(Transitions, ShowTheCodesAndHighlightTheCommutationEdges) {
    Attach();
    const auto& c = GetParam();
    drive->RaiseCommutationChanged(c.current, c.last);
    EXPECT_EQ(Caption("transLbl"), c.transition);
    EXPECT_EQ(Caption("BitDisplayLbl"), c.bits);
    for (const char* name : {"CommutationLbl", "BitDisplayLbl"}) {
        EXPECT_EQ(LabelNamed(name).FontBold(), c.bold) << name;
        EXPECT_EQ(LabelNamed(name).ForeColor(), c.color) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Codes, Transitions,
                         ::testing::Values(TransitionCase{4, 5, "4->5", "1\r\n0\r\n1", true, 0x800000},
                                           TransitionCase{6, 2, "6->2", "0\r\n1\r\n0", true, 0x008000},
                                           TransitionCase{2, 6, "2->6", "1\r\n1\r\n0", true, 0x008000},
                                           TransitionCase{1, 3, "1->3", "0\r\n1\r\n1", false, 0},
                                           TransitionCase{3, 3, "?->?", "0\r\n1\r\n1", false, 0},
                                           TransitionCase{0, 0, "?->?", "0\r\n0\r\n0", false, 0},
                                           TransitionCase{3, 7, "3->7", "1\r\n1\r\n1", false, 0},
                                           // Out of range: the bits keep what they showed (the servo's code 5).
                                           TransitionCase{3, 9, "3->9", "1\r\n0\r\n1", false, 0},
                                           TransitionCase{2, -1, "2->-1", "1\r\n0\r\n1", false, 0}));

class Angles : public CommDisplay, public ::testing::WithParamInterface<std::pair<double, const char*>> {};

TEST_P(Angles, ShowTheRoundedAngleWithinOneTurnOnceATransitionWasSeen) {
    Attach();
    drive->SetParam(44, GetParam().first);
    drive->RaiseCommutationChanged(4, 5);
    EXPECT_EQ(Caption("CommutationLbl"), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Values, Angles,
                         ::testing::Values(std::pair{725.4, "5"}, std::pair{540.5, "180"}, std::pair{-30.0, "-30"},
                                           std::pair{359.5, "0"}, std::pair{-725.0, "-5"}, std::pair{0.0, "0"}));

TEST_F(CommDisplay, InputChangesRepaintOnceOnTheNextTick) {
    Attach();
    drive->SetParam(44, 90);  // a new captured angle: from now on the angle is shown
    for (int i = 0; i < 10; ++i) {
        drive->SetInputWord(0x281 + (i % 2) * 0x1000);  // bits outside the sensor code
    }
    EXPECT_TRUE(MotorFormProbe::StateOf(*panel).commDisplayDue);
    EXPECT_EQ(Caption("CommutationLbl"), "N/A");
    drive->RaiseTimerTick();
    EXPECT_FALSE(MotorFormProbe::StateOf(*panel).commDisplayDue);
    EXPECT_EQ(Caption("CommutationLbl"), "90");
}

class Ticks : public CommDisplay {};

TEST_F(Ticks, OfflineTicksKeepEveryRequestUntilTheDriveIsBack) {
    Attach();
    drive->SetOnline(false);
    drive->SetParam(44, 45);
    drive->RaiseTimerTick();
    drive->RaiseTimerTick();
    EXPECT_TRUE(MotorFormProbe::StateOf(*panel).commDisplayDue);
    EXPECT_EQ(Caption("CommutationLbl"), "N/A");
    EXPECT_TRUE(MotorFormProbe::StateOf(*panel).commModeListDue);
    EXPECT_EQ(Combo("CommModeCombo").ListCount(), 0);
    drive->SetOnline(true);
    drive->RaiseTimerTick();
    EXPECT_FALSE(MotorFormProbe::StateOf(*panel).commDisplayDue);
    EXPECT_FALSE(MotorFormProbe::StateOf(*panel).commModeListDue);
    EXPECT_EQ(Caption("CommutationLbl"), "45");
    EXPECT_GT(Combo("CommModeCombo").ListCount(), 0);
}

TEST_F(Ticks, AFailureEndsTheTickAndKeepsTheRequestsNotYetServed) {
    Attach();
    drive->SetParam(44, 45);
    drive->SetField(170, "Commutation Mode", 3);  // requests the commutation mode list
    drive->Faults().FailCall("Value.Refresh", 1, {44});
    drive->RaiseTimerTick();
    EXPECT_TRUE(MotorFormProbe::StateOf(*panel).commDisplayDue);
    EXPECT_TRUE(MotorFormProbe::StateOf(*panel).commModeListDue);
    drive->RaiseTimerTick();
    EXPECT_FALSE(MotorFormProbe::StateOf(*panel).commDisplayDue);
    EXPECT_EQ(Caption("CommutationLbl"), "45");
}

// Neither the I/O event nor the tick reaches a released panel; the labels keep what they showed.
TEST_F(Ticks, AReleasedPanelFollowsNeitherTransitionsNorTicks) {
    Attach();
    drive->RaiseCommutationChanged(4, 5);
    const std::string angle = Caption("CommutationLbl");
    drive->SetParam(44, 45);
    panel->ReleaseControl();
    drive->RaiseCommutationChanged(2, 6);
    drive->RaiseTimerTick();
    EXPECT_EQ(Caption("transLbl"), "5->4");
    EXPECT_TRUE(MotorFormProbe::StateOf(*panel).commDisplayDue);
    EXPECT_EQ(Caption("CommutationLbl"), angle);
}

}  // namespace
}  // namespace vor
