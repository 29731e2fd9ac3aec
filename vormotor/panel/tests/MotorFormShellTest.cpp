#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "vormotor/core/Error.h"
#include "vormotor/drivesim/SimDrive.h"
#include "vormotor/editors/EditorClasses.h"
#include "vormotor/panel/MotorForm.h"
#include "vormotor/panel/PanelClasses.h"
#include "vormotor/toolkit/ApplicationCursor.h"
#include "vormotor/toolkit/CaptionedControl.h"
#include "vormotor/toolkit/Line.h"
#include "vormotor/ui_util/MousePointerStack.h"

namespace vor {
namespace {

std::string Key(const Control& control) {
    return control.Name() + (control.Index() ? "(" + std::to_string(*control.Index()) + ")" : "");
}

class MotorFormShell : public testing::Test {
protected:
    static void SetUpTestSuite() { EditorClasses::Register(); }

    std::shared_ptr<MotorForm> panel = MotorForm::Create();
    Form& form = panel->GetForm();
};

TEST_F(MotorFormShell, InventoryInCreationOrderWithItsNesting) {
    const std::vector<std::pair<std::string, std::string>> expected{
        {"MotorFrame", ""},
        {"EncoderFrame", "MotorFrame"},
        {"ParamItem(13)", "EncoderFrame"},
        {"ParamItem(30)", "EncoderFrame"},
        {"ParamItem(31)", "EncoderFrame"},
        {"ParamItem(1)", "EncoderFrame"},
        {"MotorNamePlateFrame", "MotorFrame"},
        {"MotorStyleCombo", "MotorNamePlateFrame"},
        {"ParamItem(9)", "MotorNamePlateFrame"},
        {"ParamItem(10)", "MotorNamePlateFrame"},
        {"ParamItem(11)", "MotorNamePlateFrame"},
        {"ParamItem(12)", "MotorNamePlateFrame"},
        {"JamFrame", "MotorFrame"},
        {"ParamItem(18)", "JamFrame"},
        {"CommSensorFrame", "MotorFrame"},
        {"HallNumberFrame", "CommSensorFrame"},
        {"transLbl", "HallNumberFrame"},
        {"CommutationLbl", "HallNumberFrame"},
        {"AngleLbl", "HallNumberFrame"},
        {"HallLbl", "HallNumberFrame"},
        {"BitDisplayLbl", "HallNumberFrame"},
        {"CommModeCombo", "CommSensorFrame"},
        {"ConfigRadioGrp(3)", "CommSensorFrame"},
        {"ParamItem(0)", "CommSensorFrame"},
        {"SensorlessRadioGrp", "CommSensorFrame"},
        {"CommOptionLbl", "CommSensorFrame"},
        {"OverloadFrame", "MotorFrame"},
        {"ParamItem(17)", "OverloadFrame"},
        {"trqLoopTuneFrame", "MotorFrame"},
        {"ParamItem(15)", "trqLoopTuneFrame"},
        {"ParamItem(16)", "trqLoopTuneFrame"},
        {"StepperFrame", "MotorFrame"},
        {"MicrostepCombo", "StepperFrame"},
        {"ParamItem(2)", "StepperFrame"},
        {"ParamItem(3)", "StepperFrame"},
        {"ParamItem(4)", "StepperFrame"},
        {"ConfigRadioGrp(4)", "StepperFrame"},
        {"ParamItem(5)", "StepperFrame"},
        {"mtrFeatureLine(0)", "MotorFrame"},
        {"mtrFeatureLine(1)", "MotorFrame"},
    };
    std::vector<std::pair<std::string, std::string>> actual;
    for (const Control* control : form.Controls()) {
        actual.emplace_back(Key(*control), control->Container() ? Key(*control->Container()) : "");
    }
    EXPECT_EQ(actual, expected);

    std::vector<std::string> motorFrameChildren;
    for (const Control* child : form.ChildrenOf(&form.Find("MotorFrame"))) {
        motorFrameChildren.push_back(child->TypeName());
    }
    EXPECT_EQ(motorFrameChildren, (std::vector<std::string>{"Frame", "Frame", "Frame", "Frame", "Frame", "Frame",
                                                            "Frame", "Line", "Line"}));
    for (std::int32_t missing : {6, 7, 8, 14, 19, 29}) {
        EXPECT_THROW(form.Find("ParamItem", missing), Error) << missing;
    }
}

TEST_F(MotorFormShell, CaptionsAreResolvedAtInitialisation) {
    const std::map<std::string, std::string> expected{
        {"MotorFrame", "  Motor Settings"},
        {"EncoderFrame", "Encoder Specifications"},
        {"MotorNamePlateFrame", "Winding Specifications"},
        {"JamFrame", "RMS time <from parameter>"},
        {"CommSensorFrame", "Vector Initialization"},
        {"HallNumberFrame", "Current State:"},
        {"transLbl", "?->?"},
        {"CommutationLbl", "N/A"},
        {"AngleLbl", "Angle:"},
        {"HallLbl", "T-R (T):\nR-S (S):\nS-T (R):"},
        {"BitDisplayLbl", "N/A"},
        {"CommOptionLbl", "CommModeLbl"},
        {"OverloadFrame", "Max. Continuous (RMS) Current"},
        {"trqLoopTuneFrame", "Vector @*@ Loop Tuning"},
        {"StepperFrame", "Stepper Specifications"},
    };
    for (const auto& [name, caption] : expected) {
        EXPECT_EQ(form.FindAs<CaptionedControl>(name).Caption(), caption) << name;
    }
}

TEST_F(MotorFormShell, InitialisationStacksTheSensorAndStepperFramesAndTheOptionLabel) {
    const auto& sensor = form.Find("CommSensorFrame");
    const auto& stepper = form.Find("StepperFrame");
    EXPECT_EQ(stepper.Left(), sensor.Left());
    EXPECT_EQ(stepper.Top(), sensor.Top());
    EXPECT_EQ(stepper.Width(), 3855);
    EXPECT_FALSE(sensor.Visible());
    EXPECT_TRUE(stepper.Visible());
    const auto& combo = form.Find("CommModeCombo");
    const auto& label = form.Find("CommOptionLbl");
    EXPECT_EQ((std::vector<float>{label.Left(), label.Top(), label.Width(), label.Height()}),
              (std::vector<float>{combo.Left(), combo.Top(), combo.Width(), combo.Height()}));
    EXPECT_FALSE(label.Visible());
}

TEST_F(MotorFormShell, HostPropertiesBeforeAnyAttach) {
    EXPECT_EQ(panel->BarColor(), 192u);
    form.FindAs<Line>("mtrFeatureLine", 0).SetBorderColor(0x00FF00);
    EXPECT_EQ(panel->BarColor(), 0x00FF00u);
    EXPECT_FALSE(panel->Enabled());
    EXPECT_EQ(panel->UIRef().get(), static_cast<UIuserControl*>(panel.get()));
    EXPECT_EQ(&panel->FrameRef(), &form.Find("MotorFrame"));

    const std::string version = panel->VersionStr();
    const auto lineBreak = version.find("\r\n");
    ASSERT_NE(lineBreak, std::string::npos);
    EXPECT_EQ(version.substr(0, lineBreak), "1.0.0");
    EXPECT_TRUE(version.ends_with("\\panel_tests")) << version;
    EXPECT_EQ(version.find('\n', lineBreak + 2), std::string::npos);
}

TEST_F(MotorFormShell, CreatedByClassName) {
    auto created = CreatePanel("VorMotorCtl.MotorForm");
    ASSERT_NE(std::dynamic_pointer_cast<MotorForm>(created), nullptr);
    try {
        CreatePanel("VorMotorCtl.NoSuchPage");
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), error_number::CannotCreateObject);
    }
}

TEST_F(MotorFormShell, FirstResizeCentresTheFramesAndDrawsTheBars) {
    form.Surface().Resize(12285, 5460);
    EXPECT_EQ(form.Find("MotorNamePlateFrame").Left(), 210 + 2445);
    EXPECT_EQ(form.Find("EncoderFrame").Left(), 3330 + 2445);
    EXPECT_EQ(form.Find("StepperFrame").Left(), 3330 + 2445);
    EXPECT_EQ(form.Find("MotorStyleCombo").Left(), 90);  // inside its frame: not moved
    const auto& motorFrame = form.Find("MotorFrame");
    EXPECT_EQ((std::vector<float>{motorFrame.Left(), motorFrame.Top(), motorFrame.Width(), motorFrame.Height()}),
              (std::vector<float>{0, 0, 12285, 5460}));
    const auto& left = form.FindAs<Line>("mtrFeatureLine", 0);
    const auto& right = form.FindAs<Line>("mtrFeatureLine", 1);
    EXPECT_EQ((std::vector<float>{left.X1(), left.Y1(), left.X2(), left.Y2()}),
              (std::vector<float>{100, 5360, 100, 200}));
    EXPECT_EQ((std::vector<float>{right.X1(), right.Y1(), right.X2(), right.Y2()}),
              (std::vector<float>{12155, 5360, 12155, 200}));

    form.Surface().Resize(12285, 5460);
    EXPECT_EQ(form.Find("MotorNamePlateFrame").Left(), 210 + 2445);
    form.Surface().Resize(5000, 3000);  // narrower than the frames: they stay, the bars follow
    EXPECT_EQ(form.Find("MotorNamePlateFrame").Left(), 210 + 2445);
    EXPECT_EQ(right.X1(), 4870);
    EXPECT_EQ(left.Y1(), 2900);
}

class MotorFormAttach : public MotorFormShell {
protected:
    std::unique_ptr<SimDrive> drive = SimDrive::Load(std::string(VOR_PROFILE_DIR) + "/servo.json");
};

TEST_F(MotorFormAttach, AttachKeepsTheBusyCursorBalanced) {
    auto& cursor = ApplicationCursor::Instance();
    std::vector<std::int16_t> shown;
    auto watch = cursor.Changed().Connect([&](std::int16_t value) { shown.push_back(value); });
    panel->AttachControl(drive->Network(), drive->Node(), nullptr, "reg", "sect");
    EXPECT_EQ(shown, (std::vector<std::int16_t>{ApplicationCursor::Hourglass, ApplicationCursor::Default}));
    EXPECT_EQ(MousePointerDepth(), 0);
    EXPECT_TRUE(panel->Enabled());
    EXPECT_EQ(MotorForm::RegistryName(), "reg");
    EXPECT_EQ(MotorForm::RegistrySection(), "sect");
}

TEST_F(MotorFormAttach, FailingAttachStillRestoresTheCursor) {
    drive->Faults().FailEveryCall("Network.AppEvents");
    panel->AttachControl(drive->Network(), drive->Node(), nullptr, "", "");
    EXPECT_EQ(MousePointerDepth(), 0);
    EXPECT_EQ(ApplicationCursor::Instance().Get(), ApplicationCursor::Default);
    EXPECT_TRUE(panel->Enabled());
    EXPECT_FALSE(panel->GetState().updating);
}

TEST_F(MotorFormAttach, NullNodeOnlySubscribesTheNetwork) {
    form.FindAs<CaptionedControl>("transLbl").SetCaption("4->5");
    panel->AttachControl(drive->Network(), nullptr, nullptr, "", "");
    EXPECT_EQ(form.FindAs<CaptionedControl>("transLbl").Caption(), "?->?");
    EXPECT_TRUE(panel->Enabled());
}

TEST_F(MotorFormAttach, ReleaseDropsTheDriveObjectsAndIsRepeatable) {
    const auto network = drive->Network();
    const auto node = drive->Node();
    const long networkUsers = network.use_count();
    const long nodeUsers = node.use_count();
    panel->AttachControl(network, node, nullptr, "", "");
    EXPECT_GT(network.use_count(), networkUsers);
    EXPECT_GT(node.use_count(), nodeUsers);
    panel->ReleaseControl();
    EXPECT_EQ(network.use_count(), networkUsers);
    EXPECT_EQ(node.use_count(), nodeUsers);
    EXPECT_FALSE(panel->Enabled());
    panel->ReleaseControl();
    EXPECT_FALSE(panel->Enabled());
}

TEST_F(MotorFormAttach, DestroyingAnAttachedPanelReleasesIt) {
    const auto network = drive->Network();
    const long networkUsers = network.use_count();
    panel->AttachControl(network, drive->Node(), nullptr, "", "");
    panel.reset();
    EXPECT_EQ(network.use_count(), networkUsers);
}

TEST_F(MotorFormAttach, EnabledWrittenBeforeAttachDoesNotSurviveIt) {
    panel->SetEnabled(false);
    panel->AttachControl(drive->Network(), drive->Node(), nullptr, "", "");
    EXPECT_TRUE(panel->Enabled());
    panel->SetEnabled(false);
    EXPECT_FALSE(panel->Enabled());
}

}  // namespace
}  // namespace vor
