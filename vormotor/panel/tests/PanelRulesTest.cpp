// Rules of the panel that only show on paths the other tests do not take: missing objects,
// the update guard, and which routine runs after which.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "vormotor/editors/SorvaneGroup.h"
#include "vormotor/panel/tests/PanelFixture.h"

namespace vor {
namespace {

class PanelRules : public PanelTest {
protected:
    editors::SorvaneGroup& SensorGroup() { return dynamic_cast<editors::SorvaneGroup&>(Find("SensorlessRadioGrp")); }
    std::int32_t PolicyRuns() {
        return static_cast<std::int32_t>(
            std::count_if(drive->TraceLines().begin(), drive->TraceLines().end(),
                          [](const std::string& line) { return line.starts_with("DEBUG_MTR_PAGE: FormActivate"); }));
    }
};

// A sensor transition of the old node's I/O reaches a panel attached to no node.
TEST_F(PanelRules, TheSensorDisplayShowsPlaceholdersWithoutANode) {
    UseDrive("servo");
    Attach();
    drive->RaiseCommutationChanged(5, 4);
    ASSERT_EQ(Caption("transLbl"), "4->5");
    panel->AttachControl(drive->Network(), nullptr, nullptr, "", "");
    EXPECT_EQ(Caption("transLbl"), "?->?");
    EXPECT_TRUE(panel->Enabled());
    drive->RaiseCommutationChanged(4, 5);
    EXPECT_EQ(Caption("CommutationLbl"), "N/A");
    EXPECT_EQ(Caption("transLbl"), "?->?");
    EXPECT_EQ(Caption("BitDisplayLbl"), "?");
}

TEST_F(PanelRules, TheSensorCodeIsNotReadWithoutACapturedAngle) {
    auto profile = LoadProfile("servo");
    RemoveParameters(profile, {44, 33});
    profile.angleParam.reset();
    profile.inputWord = 5 * 128;
    UseDrive(profile);
    Attach();
    EXPECT_EQ(Caption("BitDisplayLbl"), "0\r\n0\r\n0");
}

// Raises drive changes from inside the panel's own list rebuild, while its guard is set: the
// sensor choice of the panel's own value changes there and announces itself.
class ChangesWhileUpdating : public PanelRules {
protected:
    void DuringTheNextRebuild(std::function<void()> change) {
        auto field = SensorGroup().FieldObjRef();
        ASSERT_NE(field, nullptr);
        m_connection = field->UpdateView().Connect([change](FieldObject&) { change(); });
        drive->SetField(170, "Commutation Mode", 14);
        drive->RaiseTimerTick();
    }

private:
    Connection m_connection;
};

TEST_F(ChangesWhileUpdating, ACapturedAngleChangeIsIgnored) {
    UseDrive("servo");
    Attach();
    drive->RaiseTimerTick();
    DuringTheNextRebuild([this] { drive->SetParam(44, 77); });
    EXPECT_FALSE(MotorFormProbe::StateOf(*panel).commDisplayDue);
    drive->RaiseTimerTick();
    EXPECT_EQ(Caption("CommutationLbl"), "N/A") << "no sensor change was seen";
}

class MicrostepChangesWhileUpdating : public ChangesWhileUpdating,
                                      public ::testing::WithParamInterface<std::pair<std::int32_t, double>> {};

// The choices change silently, so only a rebuild would show them.
TEST_P(MicrostepChangesWhileUpdating, RequestNoRebuild) {
    UseDrive("stepper");
    drive->SetField(170, "Commutation Mode", 1);
    Attach();
    drive->RaiseTimerTick();
    const auto before = ItemTexts("MicrostepCombo");
    drive->SetMicrostepChoices({{2000, "2000"}, {4000, "4000"}});
    DuringTheNextRebuild([this] { drive->SetParam(GetParam().first, GetParam().second); });
    EXPECT_EQ(ItemTexts("MicrostepCombo"), before);
}

INSTANTIATE_TEST_SUITE_P(Parameters, MicrostepChangesWhileUpdating,
                         ::testing::Values(std::pair<std::int32_t, double>{204, 4000},
                                           std::pair<std::int32_t, double>{18, 8000}));

TEST_F(PanelRules, AChangeOfParameter41ChangesNothingOnThePanel) {
    UseDrive("servo");
    Attach();
    drive->RaiseTimerTick();
    const auto shown = [this] {
        std::vector<std::string> texts;
        for (Control* control : panel->GetForm().Controls()) {
            const auto* editor = dynamic_cast<Tarvine*>(control);
            if (editor != nullptr && const_cast<Tarvine*>(editor)->Parameter() == 41) {
                continue;  // the Ke editor shows the parameter itself
            }
            texts.push_back(control->Name() + std::to_string(control->Enabled()) + std::to_string(control->Visible()) +
                            std::string(dynamic_cast<CaptionedControl*>(control) != nullptr
                                            ? dynamic_cast<CaptionedControl*>(control)->Caption()
                                            : ""));
        }
        return texts;
    };
    const auto before = shown();
    drive->SetParam(41, 40);
    const auto state = MotorFormProbe::StateOf(*panel);
    EXPECT_FALSE(state.commDisplayDue || state.commModeListDue || state.microstepListDue);
    EXPECT_EQ(shown(), before);
    EXPECT_TRUE(drive->Writes().empty());
}

TEST_F(PanelRules, SensorLabelsNeedTheMotorConfiguration) {
    auto profile = LoadProfile("servo");
    RemoveParameters(profile, {170});
    UseDrive(profile);
    Attach();
    for (const char* name : {"HallNumberFrame", "AngleLbl", "transLbl", "HallLbl", "CommutationLbl", "BitDisplayLbl"}) {
        EXPECT_FALSE(Find(name).Enabled()) << name;
    }
}

class ShowAndHide : public PanelRules, public ::testing::WithParamInterface<bool> {};

TEST_P(ShowAndHide, RunTheEnablePolicyAgain) {
    UseDrive("servo");
    Attach();
    drive->RaiseTimerTick();
    panel->SetEnabled(true);
    ASSERT_TRUE(Find("CommModeCombo").Enabled());
    auto& surface = panel->GetForm().Surface();
    if (!GetParam()) {
        surface.Show();
    }
    drive->SetFieldEditable(170, "Commutation Mode", false);
    GetParam() ? surface.Show() : surface.Hide();
    EXPECT_FALSE(Find("CommModeCombo").Enabled());
}

INSTANTIATE_TEST_SUITE_P(Hooks, ShowAndHide, ::testing::Values(true, false),
                         [](const auto& info) { return std::string(info.param ? "Show" : "Hide"); });

class RebuildRefreshesFirst : public PanelRules,
                              public ::testing::WithParamInterface<std::pair<const char*, sim::FaultScope>> {};

// A failing refresh stops the rebuild, so the list still shows the code from before.
TEST_P(RebuildRefreshesFirst, TheMotorConfigurationAndItsField) {
    UseDrive("servo");
    Attach();
    drive->RaiseTimerTick();
    const std::string before = Combo("CommModeCombo").Text();
    drive->Faults().FailEveryCall(GetParam().first, GetParam().second);
    drive->SetField(170, "Commutation Mode", 3);
    drive->RaiseTimerTick();
    EXPECT_EQ(Combo("CommModeCombo").Text(), before);
}

INSTANTIATE_TEST_SUITE_P(Refreshes, RebuildRefreshesFirst,
                         ::testing::Values(std::pair<const char*, sim::FaultScope>{"Value.Refresh", {170}},
                                           std::pair<const char*, sim::FaultScope>{"Field.Refresh",
                                                                                   {170, "Commutation Mode"}}));

// The group's own write runs the policy once (its field's view update); the pick runs it again
// once the drive holds the new code, unless its first steps failed.
struct SensorlessPickCase {
    const char* name;
    std::function<void(sim::FaultInjector&)> arm;
    std::int32_t policyRuns;
};

class SensorlessPickPolicy : public PanelRules, public ::testing::WithParamInterface<SensorlessPickCase> {};

TEST_P(SensorlessPickPolicy, RunsRightAfterThePick) {
    UseDrive("servo");
    drive->SetField(170, "Commutation Mode", 1);
    Attach();
    drive->RaiseTimerTick();
    drive->SetTraceFlags(0x20);
    const std::int32_t before = PolicyRuns();
    GetParam().arm(drive->Faults());
    SensorGroup().UserPick(1);
    EXPECT_EQ(PolicyRuns() - before, GetParam().policyRuns);
}

INSTANTIATE_TEST_SUITE_P(Picks, SensorlessPickPolicy,
                         ::testing::Values(SensorlessPickCase{"Succeeds", [](sim::FaultInjector&) {}, 2},
                                           SensorlessPickCase{"ReadingThePickFails",
                                                              [](sim::FaultInjector& f) {
                                                                  f.FailEveryCall("Field.Value", {std::nullopt, ""});
                                                              },
                                                              1},
                                           SensorlessPickCase{
                                               "WritingTheCodeFails",
                                               [](sim::FaultInjector& f) {
                                                   f.FailEveryCall("Field.SetValue", {170, "Commutation Mode"});
                                               },
                                               1}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vor
