#include <gtest/gtest.h>

#include <CLI/CLI.hpp>
#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "apps/demo/DemoOptions.h"
#include "apps/demo/DemoWindow.h"
#include "apps/demo/InputScript.h"
#include "vormotor/editors/EditorClasses.h"
#include "vormotor/editors/TarvineEditor.h"
#include "vormotor/toolkit/Label.h"

namespace vor::demo {
namespace {

std::unique_ptr<DemoWindow> StartDemo(const std::string& profile) {
    editors::EditorClasses::Register();
    auto window = std::make_unique<DemoWindow>(sim::SimDrive::Load(VOR_PROFILE_DIR "/" + profile + ".json"));
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

    // The picture is the window's last paint: drawing the window anew gives the same, also once
    // the drive changed what it shows.
    EXPECT_EQ(picture, window->grab().toImage());
    window->Drive().SetAccessLevel(1);
    window->Simulator()->Motion().SetSpeed(1);
    window->Tick(3);
    const QImage changed = window->Render();
    EXPECT_NE(changed, picture);
    EXPECT_EQ(changed, window->grab().toImage());
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
    auto& editor = window->Panel().GetForm().FindAs<editors::TarvineEditor>("ParamItem", 13);
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

// The window opens at the panel's opening width, so that the frames sit with equal margins
// and no band stays empty beside them, and tall enough for the whole panel.
TEST(DemoWindowTest, OpensShowingTheWholePanelWithoutEmptyBands) {
    auto window = StartDemo("servo");
    QApplication::processEvents();
    const qt::PanelView& view = window->View();
    EXPECT_EQ(view.width(), view.sizeHint().width());
    EXPECT_GE(view.height(), view.sizeHint().height());
    const QWidget* winding = view.WidgetOf(&window->Panel().GetForm().Find("MotorNamePlateFrame"));
    const QWidget* encoder = view.WidgetOf(&window->Panel().GetForm().Find("EncoderFrame"));
    const int left = winding->x();
    const int right =
        view.WidgetOf(&window->Panel().GetForm().Find("MotorFrame"))->width() - (encoder->x() + encoder->width());
    EXPECT_NEAR(left, right, 2);
}

// Each line of the log carries the time it was logged; the log can be cleared and saved whole.
TEST(DemoWindowTest, TheLogIsTimeStampedAndCanBeClearedAndSaved) {
    auto window = StartDemo("servo");
    window->Drive().SetTraceFlags(0x20);
    window->Drive().SetAccessLevel(2);
    window->Tick();
    DriveLog& log = window->Log();
    const QStringList lines = log.toPlainText().split('\n');
    ASSERT_GE(lines.size(), 2);
    const QRegularExpression stamped(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d \\S"));
    for (const QString& line : lines) {
        EXPECT_TRUE(stamped.match(line).hasMatch()) << line.toStdString();
    }

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("log.txt"));
    ASSERT_TRUE(log.SaveTo(path));
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly | QIODevice::Text));
    EXPECT_EQ(QString::fromUtf8(saved.readAll()).trimmed(), log.toPlainText().trimmed());
    EXPECT_FALSE(log.SaveTo(folder.filePath(QStringLiteral("missing/log.txt"))));

    const auto buttons = window->findChildren<QPushButton*>();
    const auto clear = std::find_if(buttons.begin(), buttons.end(), [](auto* b) { return b->text() == "Clear"; });
    ASSERT_NE(clear, buttons.end());
    (*clear)->click();
    EXPECT_TRUE(log.toPlainText().isEmpty());
    window->Drive().SetAccessLevel(3);
    window->Tick();
    EXPECT_TRUE(log.toPlainText().contains("trace ")) << "new lines come after a clear";
    EXPECT_FALSE(log.toPlainText().contains("attached")) << "cleared lines stay away";
}

struct StatusCase {
    const char* name;
    std::function<void(model::DriveModel&)> change;
    const char* shown;
};

class DemoStatusTest : public testing::TestWithParam<StatusCase> {};

TEST_P(DemoStatusTest, TheStatusLineFollowsTheDrive) {
    auto window = StartDemo("servo");
    EXPECT_EQ(window->Status().text(), "Online  |  Drive disabled  |  Node state 3  |  Access level 3");
    GetParam().change(window->Drive());
    window->Tick();
    EXPECT_TRUE(window->Status().text().contains(GetParam().shown)) << window->Status().text().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Changes, DemoStatusTest,
    testing::Values(StatusCase{"Offline", [](model::DriveModel& d) { d.SetOnline(false); }, "Offline  |"},
                    StatusCase{"Enabled", [](model::DriveModel& d) { d.SetDriveEnabled(true); }, "Drive enabled"},
                    StatusCase{"NodeState", [](model::DriveModel& d) { d.SetNodeState(5); }, "Node state 5"},
                    StatusCase{"Access", [](model::DriveModel& d) { d.SetAccessLevel(1); }, "Access level 1"}),
    [](const testing::TestParamInfo<StatusCase>& info) { return info.param.name; });

// The plot shows what the panel's state box shows, tick by tick: the angle within one turn and
// with its sign, the sensor code as steps, from the start of the run and within its axes, while the
// motor turns forwards past a full turn and back past a full turn the other way.
TEST(DemoWindowTest, ThePlotShowsWhatThePanelShows) {
    auto window = StartDemo("servo");
    sim::SimDrive& drive = *window->Simulator();
    const auto& form = window->Panel().GetForm();
    const auto& angleLabel = form.FindAs<Label>("CommutationLbl");
    const auto& bitsLabel = form.FindAs<Label>("BitDisplayLbl");
    const SensorPlot& plot = window->Plot();
    double leastCaptured = 0;
    double mostCaptured = 0;
    for (const auto& [speed, ticks] : {std::pair{1, 14}, std::pair{-1, 28}}) {
        drive.Motion().SetSpeed(speed);
        for (int tick = 0; tick < ticks; ++tick) {
            window->Tick();
            leastCaptured = std::min(leastCaptured, drive.ParamNumber(44));
            mostCaptured = std::max(mostCaptured, drive.ParamNumber(44));
            const QPointF angle = plot.Angles().at(plot.Angles().count() - 1);
            EXPECT_EQ(QString::number(angle.y()).toStdString(), angleLabel.Caption()) << "at " << angle.x() << " s";
            const QPointF code = plot.Codes().at(plot.Codes().count() - 1);
            const QString bits = QString::fromStdString(bitsLabel.Caption()).remove(QRegularExpression("\\s"));
            EXPECT_EQ(static_cast<int>(code.y()), bits.toInt(nullptr, 2)) << "at " << code.x() << " s";
        }
    }
    ASSERT_GT(mostCaptured, 360);
    ASSERT_LT(leastCaptured, -360);

    const QList<QPointF> codes = plot.Codes().points();
    for (qsizetype i = 1; i < codes.size(); ++i) {
        EXPECT_TRUE(codes[i].x() == codes[i - 1].x() || codes[i].y() == codes[i - 1].y())
            << "a slope between " << codes[i - 1].x() << " and " << codes[i].x() << " s";
    }
    EXPECT_EQ(plot.TimeAxis().min(), 0) << "the run started at 0 s";
    EXPECT_DOUBLE_EQ(plot.TimeAxis().max(), 4.2);
    double leastShown = 0;
    double mostShown = 0;
    for (const QPointF& angle : plot.Angles().points()) {
        leastShown = std::min(leastShown, angle.y());
        mostShown = std::max(mostShown, angle.y());
    }
    // The axis reaches the next quarter turn beyond what is shown, and no further.
    EXPECT_LE(plot.AngleAxis().min(), leastShown);
    EXPECT_GT(plot.AngleAxis().min(), leastShown - 90);
    EXPECT_GE(plot.AngleAxis().max(), mostShown);
    EXPECT_LT(plot.AngleAxis().max(), mostShown + 90);

    window->Tick(200);
    EXPECT_LE(plot.Angles().count(), 101);
    EXPECT_GE(plot.TimeAxis().min(), 24.2 - SensorPlot::kSpanSeconds - 1e-9);
    EXPECT_DOUBLE_EQ(plot.TimeAxis().max(), 24.2);
}

// Input steps reach the window through its event loop, as the user's input would.
TEST(DemoWindowTest, InputStepsGoThroughTheEventLoop) {
    auto window = StartDemo("servo");
    const std::int32_t word = window->Drive().InputWord();
    const auto script = InputScript::Parse("key:Motor Style:Down,click:Step,key:Access level:Down");
    QString problem = QStringLiteral("not played");
    QEventLoop loop;
    script.Play(*window, [&](const QString& first) {
        problem = first;
        loop.quit();
    });
    EXPECT_EQ(window->Drive().InputWord(), word) << "nothing happens before the loop runs";
    loop.exec();
    EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
    EXPECT_NE(window->Drive().InputWord(), word);
    EXPECT_EQ(window->Drive().AccessLevel(), 2);
    EXPECT_TRUE(window->Drive().Writes().size() > 0);

    InputScript::Parse("click:No such thing").Play(*window, [&](const QString& first) { problem = first; });
    EXPECT_TRUE(problem.contains("No such thing"));
}

// The steps it reads are played by the event-loop test above.
TEST(InputScriptTest, ReadsNothingFromNothingAndRefusesWhatItCannotRead) {
    EXPECT_TRUE(InputScript::Parse("").Steps().empty());
    for (const char* bad : {"press:Step", "key:Step", "key:Step:Escape", "click"}) {
        EXPECT_THROW(InputScript::Parse(bad), std::invalid_argument) << bad;
    }
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

// The options as the program declares them; throws std::invalid_argument on a bad command line.
DemoOptions ParseOptions(const std::vector<std::string>& arguments) {
    DemoOptions options;
    CLI::App commandLine;
    DemoOptions::Declare(commandLine, options);
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        commandLine.parse(reversed);
    } catch (const CLI::ParseError& error) {
        throw std::invalid_argument(error.what());
    }
    return options;
}

TEST_P(DemoOptionsTest, ParsesTheCommandLine) {
    const OptionsCase& c = GetParam();
    if (!c.valid) {
        EXPECT_THROW(ParseOptions(c.arguments), std::invalid_argument);
        return;
    }
    const DemoOptions options = ParseOptions(c.arguments);
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
                    OptionsCase{{"--freeze", "--actions", "click:Step"}, true, "servo", "", 0},
                    OptionsCase{{"--actions"}, false, "", "", 0}, OptionsCase{{"--speed", "fast"}, false, "", "", 0},
                    OptionsCase{{"--profile"}, false, "", "", 0}, OptionsCase{{"--ticks", "-1"}, false, "", "", 0},
                    OptionsCase{{"servo"}, false, "", "", 0},
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
