#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "apps/demo/DemoOptions.h"
#include "apps/demo/DemoWindow.h"
#include "vormotor/editors/EditorClasses.h"
#include "vormotor/editors/TarvineEditor.h"

namespace vor::demo {
namespace {

std::unique_ptr<DemoWindow> StartDemo(const std::string& profile) {
    EditorClasses::Register();
    auto window = std::make_unique<DemoWindow>(SimDrive::Load(VOR_PROFILE_DIR "/" + profile + ".json"));
    window->Start();
    window->SetTimerRunning(false);
    return window;
}

class DemoScreenshotTest : public testing::TestWithParam<std::string> {};

TEST_P(DemoScreenshotTest, DrawsThePanelBesideTheDriveSide) {
    auto window = StartDemo(GetParam());
    window->Tick(5);
    const QImage picture = window->Render();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), window->size());
    EXPECT_GE(picture.width(), window->View().sizeHint().width());
    EXPECT_GE(picture.height(), window->View().sizeHint().height());

    QSet<QRgb> colors;
    bool edgeBar = false;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y) & 0xFFFFFFu;
            colors.insert(pixel);
            edgeBar = edgeBar || pixel == 0xC00000u;
        }
    }
    EXPECT_GT(colors.size(), 40) << "text and frames give many shades";
    EXPECT_TRUE(edgeBar) << "the panel's red edge bars are drawn";
}

INSTANTIATE_TEST_SUITE_P(Profiles, DemoScreenshotTest, testing::Values("servo", "stepper"));

TEST(DemoWindowTest, TheSidePanelChangesTheDrive) {
    auto window = StartDemo("servo");
    auto& drive = window->Drive();
    DriveSidePanel& side = window->Side();

    side.Number("Access level")->setValue(1);
    EXPECT_EQ(drive.AccessLevel(), 1);
    side.Switch("Online")->setChecked(false);
    EXPECT_FALSE(drive.Node()->IsOnline());
    side.Switch("Panel enabled")->setChecked(false);
    EXPECT_FALSE(window->Panel().Enabled());
    side.Switch("Panel trace lines")->setChecked(true);
    EXPECT_EQ(drive.Network()->TraceSink()->TraceFlags() & 0x20, 0x20);

    // The motor turns on the timer at the chosen speed; each tick moves the sensor code.
    const std::int32_t word = drive.InputWord();
    side.Number("Motor speed (steps/tick)")->setValue(1);
    window->Tick();
    EXPECT_NE(drive.InputWord(), word);

    // What changes on the drive's side shows at the next tick.
    drive.SetDriveEnabled(true);
    window->Tick();
    EXPECT_TRUE(side.Switch("Drive enabled")->isChecked());
}

TEST(DemoWindowTest, TheLogShowsTheDriveWrites) {
    auto window = StartDemo("servo");
    auto& editor = window->Panel().GetForm().FindAs<TarvineEditor>("ParamItem", 13);
    editor.SetValueObjRef(window->Drive().Node()->Param(18));
    ASSERT_TRUE(editor.UserEdit("1024"));
    window->Tick();
    EXPECT_TRUE(window->Log().toPlainText().contains(R"(write {"param":18,"value":1024})"))
        << window->Log().toPlainText().toStdString();
}

TEST(DemoWindowTest, ThePanelsQuestionIsARealDialog) {
    auto window = StartDemo("servo");
    QString prompt;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        prompt = box->text();
        box->button(QMessageBox::Cancel)->click();
    });
    const auto answer =
        ModalMessageBox::Show({"Really?", "Motor Settings", MessageBoxButtons::OkCancel, MessageBoxResult::Ok});
    EXPECT_EQ(answer, MessageBoxResult::Cancel);
    EXPECT_EQ(prompt, "Really?");
    EXPECT_TRUE(window->Log().toPlainText().contains(R"(message box "Motor Settings": Cancel)"));
}

TEST(DemoWindowTest, AGreyedOutControlSaysWhyInItsTipAndTheStatusLine) {
    auto window = StartDemo("servo");
    window->Drive().SetAccessLevel(2);
    Control& list = window->Panel().GetForm().Find("MotorStyleCombo");
    QWidget* widget = window->View().WidgetOf(&list);
    ASSERT_FALSE(widget->isEnabled());

    QTest::mouseClick(widget, Qt::LeftButton);
    EXPECT_EQ(window->statusBar()->currentMessage().toStdString(),
              "MotorStyleCombo: needs access level 3, the current level is 2");

    const QImage plain = window->Render();
    const QImage withTip = window->Render(&list);
    EXPECT_EQ(withTip.size(), plain.size());
    EXPECT_NE(withTip, plain) << "the tip is drawn over the window";
}

struct OptionsCase {
    std::vector<std::string> arguments;
    bool valid;
    std::string profile;
    std::string screenshot;
    std::int32_t speed;
    std::optional<std::int32_t> accessLevel = std::nullopt;
    std::string tip = {};
};

class DemoOptionsTest : public testing::TestWithParam<OptionsCase> {};

TEST_P(DemoOptionsTest, ParsesTheCommandLine) {
    const OptionsCase& c = GetParam();
    if (!c.valid) {
        EXPECT_THROW(DemoOptions::Parse(c.arguments), std::invalid_argument);
        return;
    }
    const DemoOptions options = DemoOptions::Parse(c.arguments);
    EXPECT_EQ(options.profile, c.profile);
    EXPECT_EQ(options.screenshot, c.screenshot);
    EXPECT_EQ(options.speed, c.speed);
    EXPECT_EQ(options.accessLevel, c.accessLevel);
    EXPECT_EQ(options.tip, c.tip);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, DemoOptionsTest,
    testing::Values(OptionsCase{{}, true, "servo", "", 0},
                    OptionsCase{{"--profile", "stepper", "--speed", "-2"}, true, "stepper", "", -2},
                    OptionsCase{{"--screenshot", "a.png", "--ticks", "3"}, true, "servo", "a.png", 0},
                    OptionsCase{{"--speed", "fast"}, false, "", "", 0}, OptionsCase{{"--profile"}, false, "", "", 0},
                    OptionsCase{{"--ticks", "-1"}, false, "", "", 0}, OptionsCase{{"servo"}, false, "", "", 0},
                    OptionsCase{{"--access-level", "2", "--screenshot", "b.png", "--tip", "ParamItem(9)"},
                                true,
                                "servo",
                                "b.png",
                                0,
                                2,
                                "ParamItem(9)"},
                    OptionsCase{{"--access-level", "two"}, false, "", "", 0}));

}  // namespace
}  // namespace vor::demo
