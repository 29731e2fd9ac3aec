#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vormotor/drivesim/SimDrive.h"
#include "vormotor/editors/EditorClasses.h"
#include "vormotor/panel/MotorForm.h"
#include "vormotor/qt/PanelView.h"

namespace vor::qt {
namespace {

// The horizontal margin QLineEdit keeps inside its contents rectangle on each side.
constexpr int kLineEditMargin = 2;

std::string Describe(const QWidget& widget) {
    std::string path;
    for (const QWidget* w = &widget; w != nullptr; w = w->parentWidget()) {
        const QString name = w->accessibleName().isEmpty() ? w->metaObject()->className() : w->accessibleName();
        path = name.toStdString() + (path.empty() ? "" : " / " + path);
    }
    return path;
}

// Where a widget shows its text and how much room the text needs, measured with the widget's own
// font; an empty room means the widget shows no text of its own.
struct TextRoom {
    QRect room;
    QRect needed;
};

TextRoom GroupBoxTitle(const QGroupBox& box) {
    QStyleOptionGroupBox option;
    option.initFrom(&box);
    option.text = box.title();
    option.textAlignment = box.alignment();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    const QRect label = box.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &box);
    const QRect text(label.topLeft(), box.fontMetrics().size(Qt::TextSingleLine, box.title()));
    return {box.rect().adjusted(std::max(0, label.left()), 0, -std::max(0, label.left()), 0), text};
}

TextRoom LabelText(const QLabel& label) {
    const QRect inside = label.contentsRect();
    return {inside, label.fontMetrics().boundingRect(inside, static_cast<int>(label.alignment()), label.text())};
}

TextRoom LineEditText(const QLineEdit& field) {
    QStyleOptionFrame option;
    option.initFrom(&field);
    option.rect = field.rect();
    option.lineWidth = field.hasFrame() ? field.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &field) : 0;
    const QRect contents = field.style()
                               ->subElementRect(QStyle::SE_LineEditContents, &option, &field)
                               .marginsRemoved(field.textMargins())
                               .adjusted(kLineEditMargin, 0, -kLineEditMargin, 0);
    const QSize text = field.fontMetrics().size(Qt::TextSingleLine, field.text());
    return {contents, QRect(contents.left(), contents.center().y() - text.height() / 2, text.width(), text.height())};
}

TextRoom ComboText(const QComboBox& box) {
    QStyleOptionComboBox option;
    option.initFrom(&box);
    option.editable = box.isEditable();
    option.currentText = box.currentText();
    const QRect field = box.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &box);
    const QSize text = box.fontMetrics().size(Qt::TextSingleLine, box.currentText());
    return {field, QRect(field.left(), field.center().y() - text.height() / 2, text.width(), text.height())};
}

TextRoom RadioText(const QRadioButton& button) {
    return {button.rect(), QRect(QPoint(0, 0), button.sizeHint())};
}

template <class W>
std::function<std::optional<TextRoom>(const QWidget&)> Measure(TextRoom (*measure)(const W&)) {
    return [measure](const QWidget& widget) -> std::optional<TextRoom> {
        const auto* typed = qobject_cast<const W*>(&widget);
        return typed != nullptr ? std::optional<TextRoom>(measure(*typed)) : std::nullopt;
    };
}

// Collects, for every widget shown inside `top`, a text that does not fit its widget and a widget
// that reaches out of its parent.
void CollectMisfits(const QWidget& top, const QWidget& widget, std::vector<std::string>& misfits) {
    static const std::vector<std::function<std::optional<TextRoom>(const QWidget&)>> kMeasures{
        Measure(&GroupBoxTitle), Measure(&LabelText), Measure(&LineEditText), Measure(&ComboText), Measure(&RadioText)};
    for (QWidget* child : widget.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isVisibleTo(&top) || child->isWindow()) {
            continue;
        }
        if (!widget.rect().contains(child->geometry())) {
            misfits.push_back(Describe(*child) + " sticks out of its parent");
        }
        for (const auto& measure : kMeasures) {
            if (const auto text = measure(*child); text && !text->room.contains(text->needed)) {
                misfits.push_back(Describe(*child) + " cuts its text: needs " + std::to_string(text->needed.width()) +
                                  "x" + std::to_string(text->needed.height()) + ", has " +
                                  std::to_string(text->room.width()) + "x" + std::to_string(text->room.height()));
            }
        }
        CollectMisfits(top, *child, misfits);
    }
}

struct FitCase {
    const char* name;
    std::function<void(sim::SimDrive&)> change;
};

void PrintTo(const FitCase& c, std::ostream* out) {
    *out << c.name;
}

class PanelFitTest : public testing::TestWithParam<std::tuple<std::string, FitCase>> {
protected:
    static void SetUpTestSuite() { editors::EditorClasses::Register(); }
    void SetUp() override {
        view = std::make_unique<PanelView>(panel->GetForm());
        view->show();
        panel->AttachControl(drive->Network(), drive->Node(), nullptr, "VorMotorCtl", "Motor");
        drive->RaiseTimerTick();
    }
    void TearDown() override {
        view.reset();
        panel->ReleaseControl();
    }

    std::unique_ptr<sim::SimDrive> drive = sim::SimDrive::Load(VOR_PROFILE_DIR "/" + std::get<0>(GetParam()) + ".json");
    std::shared_ptr<MotorForm> panel = MotorForm::Create();
    std::unique_ptr<PanelView> view;
};

// At the size the view opens with, every caption and value fits unclipped (PanelViewTest checks that
// it is shown whole), and every widget inside its frame, on both drives and in the states that change what
// the panel shows.
TEST_P(PanelFitTest, EveryTextFitsItsControl) {
    std::get<1>(GetParam()).change(*drive);
    drive->RaiseTimerTick();
    // The layouts inside the editors and radio groups settle as the event loop runs.
    QApplication::processEvents();
    std::vector<std::string> misfits;
    CollectMisfits(*view, *view, misfits);
    EXPECT_TRUE(misfits.empty()) << testing::PrintToString(misfits);
}

const FitCase kFitCases[] = {
    {"Attached", [](sim::SimDrive&) {}},
    {"MotorTurned", [](sim::SimDrive& d) { d.Motion().Turn(3); }},
    {"OptionFromLabel", [](sim::SimDrive& d) { d.SetCommModeSelectable(false); }},
    {"LowAccess", [](sim::SimDrive& d) { d.SetAccessLevel(1); }},
};

INSTANTIATE_TEST_SUITE_P(Profiles, PanelFitTest,
                         testing::Combine(testing::Values("servo", "stepper"), testing::ValuesIn(kFitCases)),
                         [](const auto& info) { return std::get<0>(info.param) + "_" + std::get<1>(info.param).name; });

}  // namespace
}  // namespace vor::qt
