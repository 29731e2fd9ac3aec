#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "vormotor/drivesim/SimDrive.h"
#include "vormotor/editors/EditorClasses.h"
#include "vormotor/editors/SorvaneGroup.h"
#include "vormotor/editors/TarvineEditor.h"
#include "vormotor/panel/MotorForm.h"
#include "vormotor/qt/LineWidget.h"
#include "vormotor/qt/PanelView.h"
#include "vormotor/qt/QtMessageBox.h"
#include "vormotor/qt/SorvaneView.h"
#include "vormotor/qt/TarvineView.h"
#include "vormotor/toolkit/ComboBox.h"
#include "vormotor/toolkit/Frame.h"
#include "vormotor/toolkit/Label.h"
#include "vormotor/toolkit/Line.h"

namespace vor::qt {
namespace {

// The user replaces what the field shows and confirms it.
void TypeAndConfirm(QLineEdit* field, const char* text) {
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

class PanelViewTest : public testing::Test {
protected:
    PanelViewTest() {
        editors::EditorClasses::Register();
        panel = MotorForm::Create();
        view = std::make_unique<PanelView>(panel->GetForm());
        view->show();
    }

    Form& form() const { return panel->GetForm(); }
    Control& Find(const std::string& name, std::optional<std::int32_t> index = std::nullopt) const {
        return index ? form().Find(name, *index) : form().Find(name);
    }
    template <class W>
    W* WidgetAs(const std::string& name, std::optional<std::int32_t> index = std::nullopt) const {
        return dynamic_cast<W*>(view->WidgetOf(&Find(name, index)));
    }
    QRect Expected(const Control& control) const {
        const TwipScale& scale = view->Scale();
        return QRect(scale.ToPixelsX(control.Left()), scale.ToPixelsY(control.Top()), scale.ToPixelsX(control.Width()),
                     scale.ToPixelsY(control.Height()));
    }

    // Every control's widget sits in its container's widget, at its place, shown and operable
    // exactly when the control is.
    void ExpectMirrorsTree() const {
        for (Control* control : form().Controls()) {
            SCOPED_TRACE(control->Name() + (control->Index() ? "(" + std::to_string(*control->Index()) + ")" : ""));
            QWidget* widget = view->WidgetOf(control);
            ASSERT_NE(widget, view.get());
            EXPECT_EQ(widget->parentWidget(), view->WidgetOf(control->Container()));
            EXPECT_EQ(widget->isVisibleTo(view.get()), control->EffectiveVisible());
            EXPECT_EQ(widget->isEnabled(), control->EffectiveEnabled());
            if (control->TypeName() != "Line") {
                // Only where its content needs it does a widget grow, and only downwards; a label
                // moves up or down by less than half a line to sit on its frame's baseline grid.
                const QRect expected = Expected(*control);
                QRect shown = widget->geometry().adjusted(0, 0, 0, -view->ViewOf(*control)->GrownBy());
                if (control->TypeName() == "Label") {
                    EXPECT_LE(std::abs(shown.top() - expected.top()), widget->fontMetrics().height() / 2);
                    shown.moveTop(expected.top());
                }
                EXPECT_EQ(shown, expected);
                EXPECT_GE(view->ViewOf(*control)->GrownBy(), 0);
            }
            ExpectShowsContent(*control);
        }
    }

    // A caption is shown whole, at most broken into lines at its blanks.
    static void ExpectCaption(const QString& shown, const std::string& caption) {
        QString joined = shown;
        EXPECT_EQ(joined.replace('\n', ' ').simplified().toStdString(),
                  QString::fromStdString(caption).simplified().toStdString());
    }

    // What the control shows: captions, texts, items and selections.
    void ExpectShowsContent(Control& control) const {
        const ControlView* shown = view->ViewOf(control);
        if (auto* frame = dynamic_cast<Frame*>(&control)) {
            ExpectCaption(static_cast<QGroupBox*>(shown->Widget())->title(), frame->Caption());
        } else if (auto* label = dynamic_cast<Label*>(&control)) {
            ExpectCaption(static_cast<QLabel*>(shown->Widget())->text(), label->Caption());
        } else if (auto* combo = dynamic_cast<ComboBox*>(&control)) {
            auto* box = static_cast<QComboBox*>(shown->Widget());
            ASSERT_EQ(box->count(), combo->ListCount());
            for (int i = 0; i < box->count(); ++i) {
                EXPECT_EQ(box->itemText(i).toStdString(), combo->List(i));
                EXPECT_EQ(box->itemData(i).toInt(), combo->ItemData(i));
            }
            EXPECT_EQ(box->currentIndex(), combo->ListIndex());
        } else if (auto* editor = dynamic_cast<editors::TarvineEditor*>(&control)) {
            auto* editorView = static_cast<const TarvineView*>(shown);
            if (editor->Message().empty()) {
                ExpectCaption(editorView->CaptionLabel()->text(), editor->Caption());
            }
            EXPECT_EQ(editorView->Field()->text().toStdString(), editor->Text());
        } else if (auto* group = dynamic_cast<editors::SorvaneGroup*>(&control)) {
            const auto& buttons = static_cast<const SorvaneView*>(shown)->Buttons();
            ASSERT_EQ(buttons.size(), group->Options().size());
            for (std::size_t i = 0; i < buttons.size(); ++i) {
                EXPECT_EQ(buttons[i]->text().toStdString(), group->Options()[i].text);
                EXPECT_EQ(buttons[i]->isChecked(), static_cast<std::int32_t>(i) == group->Selected());
            }
        }
    }

    void Attach() { panel->AttachControl(drive->Network(), drive->Node(), nullptr, "VorMotorCtl", "Motor"); }

    std::unique_ptr<sim::SimDrive> drive = sim::SimDrive::Load(VOR_PROFILE_DIR "/servo.json");
    std::shared_ptr<MotorForm> panel;
    std::unique_ptr<PanelView> view;
};

// Beyond the mirror of place, state and content: the designed fonts, colours and widths.
TEST_F(PanelViewTest, ShowsTheFormAsDesigned) {
    ExpectMirrorsTree();
    EXPECT_TRUE(WidgetAs<QGroupBox>("EncoderFrame")->font().bold());
    EXPECT_EQ(WidgetAs<QGroupBox>("MotorFrame")->palette().color(QPalette::WindowText), QColor(128, 0, 0));
    EXPECT_EQ(WidgetAs<QLabel>("HallLbl")->text().split('\n').size(), 3);
    auto* commutation = WidgetAs<QLabel>("CommutationLbl");
    EXPECT_EQ(commutation->palette().color(QPalette::Window), QColor(192, 192, 192));
    EXPECT_EQ(commutation->palette().color(QPalette::WindowText), QApplication::palette().color(QPalette::WindowText));
    EXPECT_TRUE(commutation->font().bold());
    EXPECT_DOUBLE_EQ(commutation->font().pointSizeF(), 9.75);

    auto* bar = WidgetAs<LineWidget>("mtrFeatureLine", 0);
    EXPECT_EQ(bar->Color(), QColor(192, 0, 0));
    EXPECT_EQ(bar->PenWidth(), 5);

    auto* editor = dynamic_cast<const TarvineView*>(view->ViewOf(Find("ParamItem", 9)));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->CaptionLabel()->text(), "N/A");
    EXPECT_TRUE(editor->CaptionLabel()->font().italic());
    EXPECT_EQ(editor->Field()->width(), view->Scale().ToPixelsX(800));
}

struct TreeChange {
    const char* name;
    std::function<void(Form&)> change;
    // What the widgets show afterwards beyond the mirror of every control's place, state and content.
    std::function<void(const Form&, const PanelView&)> check = nullptr;
};

void PrintTo(const TreeChange& change, std::ostream* out) {
    *out << change.name;
}

const TreeChange kTreeChanges[] = {
    {"FrameCaption", [](Form& f) { f.FindAs<Frame>("JamFrame").SetCaption("RMS time 2.5 s"); }},
    {"StepperFrameForSensorFrame",
     [](Form& f) {
         f.Find("StepperFrame").SetVisible(false);
         f.Find("CommSensorFrame").SetVisible(true);
     }},
    {"DisabledFrameDisablesItsList", [](Form& f) { f.Find("MotorNamePlateFrame").SetEnabled(false); }},
    {"ListItemsAndSelection",
     [](Form& f) {
         auto& combo = f.FindAs<ComboBox>("MotorStyleCombo");
         for (const char* text : {"Brushless Rotary", "Brushed DC Rotary", "Voice Coil"}) {
             const std::int32_t index = combo.AddItem(text);
             combo.SetItemData(index, (index + 1) * 3);
         }
         combo.SetListIndex(2);
     }},
    {"ListCleared",
     [](Form& f) {
         auto& combo = f.FindAs<ComboBox>("MicrostepCombo");
         combo.AddItem("2000");
         combo.SetListIndex(0);
         combo.Clear();
     }},
    {"LabelTextAndLook",
     [](Form& f) {
         auto& label = f.FindAs<Label>("transLbl");
         label.SetCaption("3->2");
         label.SetFontBold(true);
         label.SetForeColor(0x0000FF);
         label.SetBackColor(0xFFFF00);
     },
     [](const Form& f, const PanelView& v) {
         auto* label = static_cast<QLabel*>(v.WidgetOf(&f.Find("transLbl")));
         EXPECT_TRUE(label->font().bold());
         EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
         EXPECT_EQ(label->palette().color(QPalette::Window), QColor(0, 255, 255));
     }},
    {"LineEnds",
     [](Form& f) {
         auto& line = f.FindAs<Line>("mtrFeatureLine", 1);
         line.SetX1(1500);
         line.SetX2(1500);
         line.SetBorderColor(0x8000000Fu);
         line.SetBorderWidth(3);
     },
     [](const Form& f, const PanelView& v) {
         auto* line = static_cast<LineWidget*>(v.WidgetOf(&f.Find("mtrFeatureLine", 1)));
         EXPECT_EQ(line->geometry().center().x(), v.Scale().ToPixelsX(1500));
         EXPECT_EQ(line->Color(), QApplication::palette().color(QPalette::Button));
         EXPECT_EQ(line->PenWidth(), 3);
     }},
    {"ControlMovesToAnotherFrame",
     [](Form& f) {
         auto& label = f.Find("CommOptionLbl");
         label.SetContainer(&f.Find("OverloadFrame"));
         label.SetVisible(true);
     }},
    {"NoTabStop", [](Form& f) { f.Find("ParamItem", 13).SetTabStop(false); },
     [](const Form& f, const PanelView& v) {
         auto* editor = static_cast<const TarvineView*>(v.ViewOf(f.Find("ParamItem", 13)));
         EXPECT_EQ(editor->Field()->focusPolicy(), Qt::ClickFocus);
     }},
};

class PanelViewChangeTest : public PanelViewTest, public testing::WithParamInterface<TreeChange> {};

TEST_P(PanelViewChangeTest, FollowsTheTree) {
    GetParam().change(form());
    ExpectMirrorsTree();
    if (GetParam().check) {
        GetParam().check(form(), *view);
    }
}

INSTANTIATE_TEST_SUITE_P(Changes, PanelViewChangeTest, testing::ValuesIn(kTreeChanges),
                         [](const testing::TestParamInfo<TreeChange>& info) { return info.param.name; });

TEST_F(PanelViewTest, OnlyTheUsersPickReachesTheList) {
    auto& combo = form().FindAs<ComboBox>("MotorStyleCombo");
    for (const char* text : {"A", "B", "C"}) {
        combo.AddItem(text);
    }
    std::vector<std::int32_t> clicks;
    const Connection click = combo.Click().Connect([&] { clicks.push_back(combo.ListIndex()); });
    combo.SetListIndex(0);
    EXPECT_EQ(clicks, (std::vector<std::int32_t>{0}));  // the tree's own notification, no echo

    auto* box = WidgetAs<QComboBox>("MotorStyleCombo");
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(combo.ListIndex(), 1);
    EXPECT_EQ(clicks, (std::vector<std::int32_t>{0, 1}));

    // A handler that puts the selection back, as the panel does when the user cancels.
    const Connection revert = combo.Click().Connect([&] { combo.SetListIndex(0); });
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(combo.ListIndex(), 0);
    EXPECT_EQ(box->currentIndex(), 0);
}

TEST_F(PanelViewTest, EditsGoThroughTheEditor) {
    auto& editor = form().FindAs<editors::TarvineEditor>("ParamItem", 13);
    editor.SetValueObjRef(drive->Node()->Param(18));
    auto* field = static_cast<const TarvineView*>(view->ViewOf(editor))->Field();
    ASSERT_EQ(field->text().toStdString(), editor.Text());

    field->setFocus();
    TypeAndConfirm(field, "4096");
    EXPECT_EQ(drive->ParamNumber(18), 4096);
    EXPECT_EQ(field->text().toStdString(), editor.Text());

    const std::size_t writes = drive->Writes().size();
    TypeAndConfirm(field, "lots");
    EXPECT_EQ(drive->Writes().size(), writes);
    EXPECT_EQ(field->text().toStdString(), editor.Text());
    EXPECT_FALSE(field->toolTip().isEmpty());

    // Confirming an untouched field writes nothing.
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(drive->Writes().size(), writes);
}

TEST_F(PanelViewTest, RadioClicksGoThroughTheGroup) {
    auto& group = form().FindAs<editors::SorvaneGroup>("ConfigRadioGrp", 3);
    form().Find("StepperFrame").SetVisible(false);
    form().Find("CommSensorFrame").SetVisible(true);
    group.SetLockRef(drive->Node()->AccessLock());
    group.SetFieldValueRef(drive->Node()->Param(170));
    const auto& buttons = static_cast<const SorvaneView*>(view->ViewOf(group))->Buttons();
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[1]->text(), "Inverted");
    EXPECT_TRUE(buttons[0]->isChecked());

    QTest::mouseClick(buttons[1], Qt::LeftButton);
    EXPECT_EQ(drive->FieldValue(170, "Commutation Invert"), 1);
    EXPECT_TRUE(buttons[1]->isChecked());
    EXPECT_FALSE(buttons[0]->isChecked());

    // A change from the drive moves the selection and writes nothing.
    const std::size_t writes = drive->Writes().size();
    drive->SetField(170, "Commutation Invert", 0);
    EXPECT_TRUE(buttons[0]->isChecked());
    EXPECT_EQ(drive->Writes().size(), writes);

    // A refused pick leaves the selection as the group has it.
    drive->SetAccessLevel(0);
    QTest::mouseClick(buttons[1], Qt::LeftButton);
    EXPECT_EQ(drive->FieldValue(170, "Commutation Invert"), 0);
    EXPECT_TRUE(buttons[0]->isChecked());
    EXPECT_FALSE(buttons[1]->isChecked());
}

TEST_F(PanelViewTest, RadioButtonsTakeTheRowsTheGroupsWidthNeeds) {
    auto& group = form().FindAs<editors::SorvaneGroup>("ConfigRadioGrp", 4);
    group.SetFieldValueRef(drive->Node()->Param(170));
    const auto& buttons = static_cast<const SorvaneView*>(view->ViewOf(group))->Buttons();
    ASSERT_EQ(buttons.size(), 3u);
    QWidget* box = view->WidgetOf(&group);
    box->layout()->activate();
    std::set<int> rows;
    std::set<int> columns;
    for (QRadioButton* button : buttons) {
        EXPECT_TRUE(box->rect().contains(button->geometry())) << button->text().toStdString();
        rows.insert(button->y());
        columns.insert(button->x());
    }
    EXPECT_EQ(rows.size(), 2u);
    EXPECT_EQ(columns.size(), 2u);

    group.SetOrientation(1);
    box->layout()->activate();
    columns.clear();
    for (QRadioButton* button : buttons) {
        columns.insert(button->x());
    }
    EXPECT_EQ(columns.size(), 1u);
}

TEST_F(PanelViewTest, TheSurfaceFollowsTheWidget) {
    const TwipScale& scale = view->Scale();
    view->resize(900, 400);
    const auto& surface = form().Surface();
    EXPECT_NEAR(surface.ScaleWidth(), scale.ToTwipsX(900), 0.5);
    EXPECT_NEAR(surface.ScaleHeight(), scale.ToTwipsY(400), 0.5);
    EXPECT_EQ(WidgetAs<QGroupBox>("MotorFrame")->geometry(), QRect(0, 0, 900, 400));
    ExpectMirrorsTree();

    // Widening by 2d moves the centred frames right by d.
    const int before = WidgetAs<QGroupBox>("EncoderFrame")->x();
    view->resize(1100, 400);
    EXPECT_NEAR(WidgetAs<QGroupBox>("EncoderFrame")->x() - before, 100, 1);
    EXPECT_EQ(WidgetAs<LineWidget>("mtrFeatureLine", 1)->geometry().center().x(),
              scale.ToPixelsX(form().FindAs<Line>("mtrFeatureLine", 1).X1()));
    ExpectMirrorsTree();

    view->hide();
    EXPECT_FALSE(surface.Visible());
    view->show();
    EXPECT_TRUE(surface.Visible());
}

// Whatever the panel makes of the drive's changes, the widgets show it.
TEST_F(PanelViewTest, FollowsTheAttachedPanel) {
    Attach();
    ExpectMirrorsTree();
    const std::pair<const char*, std::function<void()>> driveChanges[] = {
        {"tick", [&] { drive->RaiseTimerTick(); }},
        {"stepper motor type", [&] { drive->SetField(170, "Motor Type", 4); }},
        {"brushed motor type", [&] { drive->SetField(170, "Motor Type", 1); }},
        {"access level 1", [&] { drive->SetAccessLevel(1); }},
        {"access level 0", [&] { drive->SetAccessLevel(0); }},
        {"motor turns", [&] { drive->Motion().Turn(2); }},
        {"commutation mode not from the list", [&] { drive->SetCommModeSelectable(false); }},
        {"panel disabled", [&] { panel->SetEnabled(false); }},
        {"tick", [&] { drive->RaiseTimerTick(); }},
        {"release", [&] { panel->ReleaseControl(); }},
    };
    for (const auto& [name, change] : driveChanges) {
        SCOPED_TRACE(name);
        change();
        ExpectMirrorsTree();
    }
}

struct SafetyCase {
    const char* name;
    QMessageBox::StandardButton press;
};

class PanelViewSafetyTest : public PanelViewTest, public testing::WithParamInterface<SafetyCase> {};

// The panel asks before it changes the motor type of an enabled drive; the question is a real
// dialog, and only OK lets the pick reach the drive.
TEST_P(PanelViewSafetyTest, AMotorTypePickOnAnEnabledDriveAsksFirst) {
    drive->SetDriveEnabled(true);
    Attach();
    auto& combo = form().FindAs<ComboBox>("MotorStyleCombo");
    auto* box = WidgetAs<QComboBox>("MotorStyleCombo");
    ASSERT_GE(combo.ListCount(), 2);
    ASSERT_TRUE(box->isEnabled());
    const int stored = box->currentIndex();
    const int picked = stored + 1 < box->count() ? stored + 1 : 0;
    drive->ClearWrites();

    QString title;
    QTimer::singleShot(0, [&] {
        auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(question, nullptr);
        title = question->windowTitle();
        question->button(GetParam().press)->click();
    });
    const auto previous = ModalMessageBox::SetResponder(
        [this](const MessageBoxRequest& request) { return QtMessageBox::Ask(request, view.get()); });
    box->setFocus();
    box->setCurrentIndex(picked);
    Q_EMIT box->activated(picked);
    ModalMessageBox::SetResponder(previous);

    EXPECT_EQ(title, "Safety Warning");
    const std::int32_t code = combo.ItemData(picked);
    if (GetParam().press == QMessageBox::Ok) {
        EXPECT_EQ(drive->Writes(), (std::vector<model::DriveWrite>{model::DriveWrite::DriveEnabled(false),
                                                                   model::DriveWrite::Field(170, "Motor Type", code),
                                                                   model::DriveWrite::DriveEnabled(true)}));
        EXPECT_EQ(box->currentIndex(), picked);
    } else {
        EXPECT_TRUE(drive->Writes().empty());
        EXPECT_EQ(box->currentIndex(), stored);
    }
    ExpectMirrorsTree();
}

INSTANTIATE_TEST_SUITE_P(Answers, PanelViewSafetyTest,
                         testing::Values(SafetyCase{"Ok", QMessageBox::Ok}, SafetyCase{"Cancel", QMessageBox::Cancel}),
                         [](const testing::TestParamInfo<SafetyCase>& info) { return info.param.name; });

// The controls a keyboard user reaches, in the form's order: those with a tab stop that can be
// used. A radio group is one stop, at its selected button (the arrows move inside it).
std::vector<QWidget*> ExpectedTabChain(const Form& form, const PanelView& view) {
    std::vector<QWidget*> chain;
    for (Control* control : form.Controls()) {
        if (!control->TabStop()) {
            continue;
        }
        const auto parts = view.ViewOf(*control)->FocusWidgets();
        const bool selected = std::any_of(parts.begin(), parts.end(), [](QWidget* part) {
            auto* radio = qobject_cast<QRadioButton*>(part);
            return radio != nullptr && radio->isChecked();
        });
        for (QWidget* widget : parts) {
            auto* radio = qobject_cast<QRadioButton*>(widget);
            if (widget->isVisibleTo(&view) && widget->isEnabled() && !(selected && radio && !radio->isChecked())) {
                chain.push_back(widget);
            }
        }
    }
    return chain;
}

std::string NameOf(const QWidget* widget) {
    return widget != nullptr ? widget->accessibleName().toStdString() : "(none)";
}

TEST_F(PanelViewTest, TabWalksTheFormsOrderAndSkipsWhatHasNoTabStop) {
    Attach();
    drive->RaiseTimerTick();
    form().Find("ParamItem", 11).SetTabStop(false);
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    const std::vector<QWidget*> expected = ExpectedTabChain(form(), *view);
    ASSERT_GT(expected.size(), 10u);

    expected.front()->setFocus(Qt::TabFocusReason);
    std::vector<std::string> walked{NameOf(QApplication::focusWidget())};
    for (std::size_t i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked.push_back(NameOf(QApplication::focusWidget()));
    }
    std::vector<std::string> wanted;
    for (const QWidget* widget : expected) {
        wanted.push_back(NameOf(widget));
    }
    EXPECT_EQ(walked, wanted);
    EXPECT_EQ(std::count(walked.begin(), walked.end(), "Winding Resistance (Ohm)"), 0);
}

// Every control has a name for assistive tools: its caption, or one made from its name.
TEST_F(PanelViewTest, EveryControlHasAnAccessibleName) {
    Attach();
    drive->RaiseTimerTick();
    for (Control* control : form().Controls()) {
        SCOPED_TRACE(control->Name());
        const ControlView* shown = view->ViewOf(*control);
        EXPECT_FALSE(shown->Widget()->accessibleName().isEmpty());
        for (const QWidget* part : shown->FocusWidgets()) {
            EXPECT_FALSE(part->accessibleName().isEmpty());
        }
    }
    const std::pair<std::pair<const char*, std::optional<std::int32_t>>, const char*> kNames[] = {
        {{"MotorStyleCombo", std::nullopt}, "Motor Style"}, {{"EncoderFrame", std::nullopt}, "Encoder Specifications"},
        {{"ConfigRadioGrp", 3}, "Commutation Invert"},      {{"SensorlessRadioGrp", std::nullopt}, "Sensorless"},
        {{"mtrFeatureLine", 1}, "Mtr Feature 1"},           {{"ParamItem", 15}, "Current Loop Proportional Gain"},
    };
    for (const auto& [control, name] : kNames) {
        EXPECT_EQ(view->WidgetOf(&Find(control.first, control.second))->accessibleName(), name);
    }
    auto* gain = static_cast<const TarvineView*>(view->ViewOf(Find("ParamItem", 16)));
    EXPECT_EQ(gain->Field()->accessibleName(), "Current Loop Integral Gain");
}

// The two gains' captions do not fit beside their narrow fields: each goes whole above its field. The editor's message
// about a refused input is its tip until an input is taken.
TEST_F(PanelViewTest, LongCaptionsGoAboveTheFieldAndTheEditorsMessageIsTheTip) {
    Attach();
    auto* proportional = static_cast<const TarvineView*>(view->ViewOf(Find("ParamItem", 15)));
    auto* integral = static_cast<const TarvineView*>(view->ViewOf(Find("ParamItem", 16)));
    for (const TarvineView* gain : {proportional, integral}) {
        EXPECT_GT(gain->GrownBy(), 0);
        EXPECT_LT(gain->CaptionLabel()->geometry().bottom(), gain->Field()->geometry().top());
    }
    EXPECT_EQ(proportional->CaptionLabel()->text(), "Current Loop\nProportional Gain");
    EXPECT_TRUE(proportional->Widget()->toolTip().isEmpty());

    QLineEdit* field = proportional->Field();
    field->setFocus();
    TypeAndConfirm(field, "lots");
    const QString message = QString::fromStdString(form().FindAs<editors::TarvineEditor>("ParamItem", 15).Message());
    ASSERT_FALSE(message.isEmpty());
    EXPECT_EQ(proportional->Widget()->toolTip(), message);
    EXPECT_EQ(field->toolTip(), message);

    TypeAndConfirm(field, "1000");
    EXPECT_TRUE(field->toolTip().isEmpty());
}

// The state box reads as one table, greyed or not: every label writes on the lines of the sensor
// names, and the box shows one background behind them; only the angle keeps the grey of its design.
TEST_F(PanelViewTest, TheStateBoxIsOneGridOnOneBackground) {
    Attach();
    drive->RaiseCommutationChanged(5, 4);
    const auto* names = WidgetAs<QLabel>("HallLbl");
    for (const bool enabled : {true, false}) {
        SCOPED_TRACE(enabled ? "enabled" : "disabled");
        panel->SetEnabled(enabled);
        QApplication::processEvents();
        auto* box = WidgetAs<QGroupBox>("HallNumberFrame");
        ASSERT_EQ(box->isEnabled(), enabled);
        const auto baseline = [](const QLabel& label) {
            return label.y() + label.contentsRect().top() + label.fontMetrics().ascent();
        };
        const int pitch = names->fontMetrics().size(0, "0\n0").height() - names->fontMetrics().size(0, "0").height();
        std::set<int> rows;
        for (int row = 0; row < 3; ++row) {
            rows.insert(baseline(*names) + row * pitch);
        }
        const QImage picture = box->grab().toImage();
        // The picture may have more pixels than the widget, on a high-DPI screen.
        const auto at = [&](QPoint point) {
            return QColor(picture.pixel((QPointF(point) * picture.devicePixelRatio()).toPoint()));
        };
        const QColor boxBackground = at(QPoint(names->x(), names->geometry().bottom() + 4));
        for (const char* name : {"BitDisplayLbl", "AngleLbl", "CommutationLbl", "transLbl"}) {
            SCOPED_TRACE(name);
            const auto* label = WidgetAs<QLabel>(name);
            EXPECT_TRUE(rows.count(baseline(*label))) << baseline(*label) << " is between the rows";
            const bool ownColor = label == WidgetAs<QLabel>("CommutationLbl");
            EXPECT_EQ(at(label->geometry().bottomLeft() + QPoint(1, 0)),
                      ownColor ? QColor(192, 192, 192) : boxBackground);
        }
        EXPECT_EQ(at(names->geometry().bottomLeft() + QPoint(1, 0)), boxBackground);
    }
}

// On a screen of another resolution every widget takes the place its twips give there, and the
// surface keeps its size in twips.
TEST_F(PanelViewTest, AnotherScreenResolutionRescalesTheView) {
    Attach();
    const float width = form().Surface().ScaleWidth();
    const float height = form().Surface().ScaleHeight();
    const TwipScale larger(192 * PanelView::kRoom, 192 * PanelView::kRoom);
    view->Rescale(larger);
    EXPECT_EQ(view->size(), QSize(larger.ToPixelsX(width), larger.ToPixelsY(height)));
    EXPECT_NEAR(form().Surface().ScaleWidth(), width, 15);
    ExpectMirrorsTree();
    auto* editor = static_cast<const TarvineView*>(view->ViewOf(Find("ParamItem", 9)));
    EXPECT_EQ(editor->Field()->width(), larger.ToPixelsX(800));
    EXPECT_EQ(view->sizeHint().width(), larger.ToPixelsX(7395));
}

TEST(TwipScaleTest, ConvertsByTheResolutionOfEachAxis) {
    const TwipScale scale(96, 120);
    EXPECT_EQ(scale.ToPixelsX(1440), 96);
    EXPECT_EQ(scale.ToPixelsY(1440), 120);
    EXPECT_EQ(scale.ToPixelsX(12285), 819);
    EXPECT_FLOAT_EQ(scale.ToTwipsX(819), 12285);
    EXPECT_FLOAT_EQ(scale.ToTwipsY(60), 720);
}

}  // namespace
}  // namespace vor::qt
