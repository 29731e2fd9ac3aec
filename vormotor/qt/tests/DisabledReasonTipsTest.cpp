#include <gtest/gtest.h>

#include <QComboBox>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>
#include <memory>
#include <string>
#include <vector>

#include "vormotor/drivesim/SimDrive.h"
#include "vormotor/editors/EditorClasses.h"
#include "vormotor/panel/MotorForm.h"
#include "vormotor/qt/DisabledReasonTips.h"
#include "vormotor/qt/PanelView.h"
#include "vormotor/qt/TarvineView.h"
#include "vormotor/valuelib/ValueFactory.h"

namespace vor::qt {
namespace {

// The servo's panel at access level 2: the motor type list is disabled, the tuning editors are not.
class DisabledReasonTipsTest : public testing::Test {
protected:
    DisabledReasonTipsTest() {
        editors::EditorClasses::Register();
        previousHost = valuelib::ValueFactory::SetHost(drive->Host());
        panel = MotorForm::Create();
        view = std::make_unique<PanelView>(panel->GetForm());
        tips = new DisabledReasonTips(
            *view, panel->GetForm(), [this](Control& control) { return ReasonTexts(panel->EnableReasons(control)); },
            [this](Control& control, const std::vector<std::string>& reasons) {
                clicks.emplace_back(control.Name(), reasons);
            });
        view->show();
        drive->SetAccessLevel(2);
        panel->AttachControl(drive->Network(), drive->Node(), nullptr, "", "");
    }
    ~DisabledReasonTipsTest() override {
        QToolTip::hideText();
        view.reset();
        panel.reset();
        valuelib::ValueFactory::SetHost(previousHost);
    }

    QWidget* WidgetOf(const std::string& name, std::optional<std::int32_t> index = std::nullopt) {
        auto& form = panel->GetForm();
        return view->WidgetOf(index ? &form.Find(name, *index) : &form.Find(name));
    }
    // Hovering: the tool tip event the widget under the mouse gets.
    void Hover(QWidget* widget) {
        const QPoint at(widget->width() / 2, widget->height() / 2);
        QHelpEvent event(QEvent::ToolTip, at, widget->mapToGlobal(at));
        QApplication::sendEvent(widget, &event);
    }

    std::unique_ptr<sim::SimDrive> drive = sim::SimDrive::Load(VOR_PROFILE_DIR "/servo.json");
    std::shared_ptr<valuelib::ValueHost> previousHost;
    std::shared_ptr<MotorForm> panel;
    std::unique_ptr<PanelView> view;
    DisabledReasonTips* tips = nullptr;  // owned by the view
    std::vector<std::pair<std::string, std::vector<std::string>>> clicks;
};

TEST_F(DisabledReasonTipsTest, ADisabledControlsTipIsItsReason) {
    QWidget* list = WidgetOf("MotorStyleCombo");
    ASSERT_FALSE(list->isEnabled());
    Hover(list);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text().toStdString(), "needs access level 3, the current level is 2");
}

TEST_F(DisabledReasonTipsTest, AnOperableControlKeepsItsOwnTip) {
    QToolTip::hideText();
    Hover(WidgetOf("ParamItem", 15));
    EXPECT_NE(QToolTip::text().toStdString(), "needs access level 3, the current level is 2");
    EXPECT_TRUE(tips->TipOf(panel->GetForm().Find("ParamItem", 15)).isEmpty());
}

TEST_F(DisabledReasonTipsTest, AClickOnADisabledControlReportsItsReasonsOnce) {
    QTest::mouseClick(WidgetOf("MotorStyleCombo"), Qt::LeftButton);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].first, "MotorStyleCombo");
    EXPECT_EQ(clicks[0].second, std::vector<std::string>{"needs access level 3, the current level is 2"});

    // An editor inside a disabled frame: its own line edit is under the mouse.
    QWidget* editor = WidgetOf("ParamItem", 9);
    QTest::mouseClick(editor->childAt(editor->width() - 5, editor->height() / 2), Qt::LeftButton);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[1].first, "ParamItem");

    QTest::mouseClick(WidgetOf("ParamItem", 15), Qt::LeftButton);
    EXPECT_EQ(clicks.size(), 2u) << "an operable control's clicks are its own";
}

// A screen reader reads the same reasons, on the widget and on the part that takes the focus, and
// nothing once the control can be operated again.
TEST_F(DisabledReasonTipsTest, TheReasonsAreTheAccessibleDescription) {
    QApplication::processEvents();
    const auto* editor = static_cast<const TarvineView*>(view->ViewOf(panel->GetForm().Find("ParamItem", 9)));
    EXPECT_EQ(WidgetOf("MotorStyleCombo")->accessibleDescription(), "needs access level 3, the current level is 2");
    EXPECT_EQ(editor->Field()->accessibleDescription(), tips->TipOf(panel->GetForm().Find("ParamItem", 9)));
    EXPECT_FALSE(editor->Field()->accessibleDescription().isEmpty());
    EXPECT_TRUE(WidgetOf("ParamItem", 15)->accessibleDescription().isEmpty());

    drive->SetAccessLevel(3);
    QApplication::processEvents();
    EXPECT_TRUE(WidgetOf("MotorStyleCombo")->accessibleDescription().isEmpty());
    EXPECT_TRUE(editor->Field()->accessibleDescription().isEmpty());
}

TEST_F(DisabledReasonTipsTest, ShowsATipOnRequest) {
    EXPECT_TRUE(tips->ShowTip(panel->GetForm().Find("MotorStyleCombo")));
    EXPECT_EQ(QToolTip::text().toStdString(), "needs access level 3, the current level is 2");
    EXPECT_FALSE(tips->ShowTip(panel->GetForm().Find("ParamItem", 15)));
}

}  // namespace
}  // namespace vor::qt
