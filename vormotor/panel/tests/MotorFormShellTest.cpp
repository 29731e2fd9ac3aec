#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "vormotor/core/Error.h"
#include "vormotor/drivesim/SimDrive.h"
#include "vormotor/editors/EditorClasses.h"
#include "vormotor/panel/MotorForm.h"
#include "vormotor/panel/MotorFormProbe.h"
#include "vormotor/panel/PanelClasses.h"
#include "vormotor/toolkit/ApplicationCursor.h"
#include "vormotor/toolkit/CaptionedControl.h"
#include "vormotor/toolkit/Line.h"
#include "vormotor/ui_util/MousePointerStack.h"

namespace vor {
namespace {

class MotorFormShell : public testing::Test {
protected:
    static void SetUpTestSuite() { editors::EditorClasses::Register(); }

    std::shared_ptr<MotorForm> panel = MotorForm::Create();
    Form& form = panel->GetForm();
};

TEST_F(MotorFormShell, HostPropertiesBeforeAnyAttach) {
    EXPECT_EQ(panel->BarColor(), 192u);
    form.FindAs<Line>("mtrFeatureLine", 0).SetBorderColor(0x00FF00);
    EXPECT_EQ(panel->BarColor(), 0x00FF00u);
    EXPECT_EQ(panel->UIRef().get(), static_cast<UIuserControl*>(panel.get()));
    EXPECT_EQ(&panel->FrameRef(), &form.Find("MotorFrame"));
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

class MotorFormAttach : public MotorFormShell {
protected:
    std::unique_ptr<sim::SimDrive> drive = sim::SimDrive::Load(std::string(VOR_PROFILE_DIR) + "/servo.json");
};

std::string Key(const Control& control) {
    return control.Name() + (control.Index() ? "(" + std::to_string(*control.Index()) + ")" : "");
}

bool Overlap(const Control& a, const Control& b) {
    return a.Left() < b.Left() + b.Width() && b.Left() < a.Left() + a.Width() && a.Top() < b.Top() + b.Height() &&
           b.Top() < a.Top() + a.Height();
}

// Every control the user sees lies inside its container and on no sibling the user sees, so a
// control put into the wrong frame or at the wrong place shows, whatever the design table says.
TEST_F(MotorFormAttach, ShownControlsSitInsideTheirFrameAndOnNoOther) {
    const auto expectTidy = [](const Form& shown, const std::string& state) {
        std::vector<const Control*> controls;
        for (const Control* control : shown.Controls()) {
            if (control->TypeName() != "Line" && control->EffectiveVisible()) {
                controls.push_back(control);
            }
        }
        for (std::size_t i = 0; i < controls.size(); ++i) {
            const Control& control = *controls[i];
            if (const Control* frame = control.Container()) {
                EXPECT_TRUE(control.Left() >= 0 && control.Top() >= 0 &&
                            control.Left() + control.Width() <= frame->Width() &&
                            control.Top() + control.Height() <= frame->Height())
                    << state << ": " << Key(control) << " sticks out of " << Key(*frame);
            }
            for (std::size_t j = i + 1; j < controls.size(); ++j) {
                EXPECT_FALSE(controls[j]->Container() == control.Container() && Overlap(control, *controls[j]))
                    << state << ": " << Key(control) << " lies on " << Key(*controls[j]);
            }
        }
    };
    expectTidy(form, "as created");
    for (const char* profile : {"servo", "stepper"}) {
        auto attached = sim::SimDrive::Load(std::string(VOR_PROFILE_DIR) + "/" + profile + ".json");
        const auto attachedPanel = MotorForm::Create();
        attachedPanel->AttachControl(attached->Network(), attached->Node(), nullptr, "", "");
        attached->RaiseTimerTick();
        expectTidy(attachedPanel->GetForm(), profile);
    }
}

TEST_F(MotorFormAttach, AttachKeepsTheBusyCursorBalanced) {
    auto& cursor = ApplicationCursor::Instance();
    std::vector<std::int16_t> shown;
    auto watch = cursor.Changed().Connect([&](std::int16_t value) { shown.push_back(value); });
    panel->AttachControl(drive->Network(), drive->Node(), nullptr, "reg", "sect");
    EXPECT_EQ(shown, (std::vector<std::int16_t>{ApplicationCursor::Hourglass, ApplicationCursor::Default}));
    EXPECT_EQ(MousePointerDepth(), 0);
    EXPECT_TRUE(panel->Enabled());
    EXPECT_EQ(MotorFormProbe::RegistryName(), "reg");
    EXPECT_EQ(MotorFormProbe::RegistrySection(), "sect");
}

TEST_F(MotorFormAttach, ReleaseDropsTheDriveObjects) {
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
