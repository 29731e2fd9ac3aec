#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <optional>
#include <vector>

#include "vormotor/qt/QtCursor.h"
#include "vormotor/qt/QtMessageBox.h"
#include "vormotor/toolkit/ApplicationCursor.h"
#include "vormotor/ui_util/MousePointerStack.h"

namespace vor::qt {
namespace {

struct BoxCase {
    const char* name;
    MessageBoxButtons buttons;
    QMessageBox::StandardButton press;  // NoButton: the Return key
    MessageBoxResult expected;
};

class QtMessageBoxTest : public testing::TestWithParam<BoxCase> {};

TEST_P(QtMessageBoxTest, AsksModallyAndAnswers) {
    const BoxCase& box = GetParam();
    const MessageBoxRequest request{"Change the motor type?", "Motor Settings", box.buttons, MessageBoxResult::Ok};
    struct Seen {
        QString text;
        QString title;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton;
    };
    std::optional<Seen> seen;
    QTimer::singleShot(0, [&] {
        auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        seen = Seen{shown->text(), shown->windowTitle(), shown->icon(), shown->standardButtons(),
                    shown->standardButton(shown->defaultButton())};
        if (box.press == QMessageBox::NoButton) {
            shown->defaultButton()->click();
        } else {
            shown->button(box.press)->click();
        }
    });
    const ModalMessageBox::Responder previous =
        ModalMessageBox::SetResponder([](const MessageBoxRequest& asked) { return QtMessageBox::Ask(asked, nullptr); });
    const MessageBoxResult answer = ModalMessageBox::Show(request);
    ModalMessageBox::SetResponder(previous);

    EXPECT_EQ(answer, box.expected);
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->text, "Change the motor type?");
    EXPECT_EQ(seen->title, "Motor Settings");
    EXPECT_EQ(seen->icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen->defaultButton, QMessageBox::Ok);
    const auto expectedButtons = box.buttons == MessageBoxButtons::OkCancel
                                     ? QMessageBox::Ok | QMessageBox::Cancel
                                     : QMessageBox::StandardButtons(QMessageBox::Ok);
    EXPECT_EQ(seen->buttons, expectedButtons);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, QtMessageBoxTest,
    testing::Values(BoxCase{"Ok", MessageBoxButtons::OkCancel, QMessageBox::Ok, MessageBoxResult::Ok},
                    BoxCase{"Cancel", MessageBoxButtons::OkCancel, QMessageBox::Cancel, MessageBoxResult::Cancel},
                    BoxCase{"DefaultIsOk", MessageBoxButtons::OkCancel, QMessageBox::NoButton, MessageBoxResult::Ok},
                    BoxCase{"OkOnly", MessageBoxButtons::Ok, QMessageBox::Ok, MessageBoxResult::Ok}),
    [](const testing::TestParamInfo<BoxCase>& info) { return info.param.name; });

std::optional<Qt::CursorShape> OverrideShape() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor != nullptr ? std::optional(cursor->shape()) : std::nullopt;
}

TEST(QtCursorTest, TheBusyCursorIsQtsOverrideCursor) {
    auto& cursor = ApplicationCursor::Instance();
    cursor.Set(ApplicationCursor::Default);
    std::optional<QtCursor> bridge(std::in_place);
    EXPECT_EQ(OverrideShape(), std::nullopt);

    PushMousePointer(ApplicationCursor::Hourglass);
    EXPECT_EQ(OverrideShape(), Qt::WaitCursor);
    PushMousePointer(3);
    EXPECT_EQ(OverrideShape(), Qt::IBeamCursor);
    PopMousePointer();
    EXPECT_EQ(OverrideShape(), Qt::WaitCursor);
    PopMousePointer();
    EXPECT_EQ(OverrideShape(), std::nullopt);

    // Ending the bridge while the busy cursor shows gives the user the normal cursor back.
    cursor.Set(ApplicationCursor::Hourglass);
    EXPECT_EQ(OverrideShape(), Qt::WaitCursor);
    bridge.reset();
    EXPECT_EQ(OverrideShape(), std::nullopt);
    cursor.Set(ApplicationCursor::Default);
    EXPECT_EQ(OverrideShape(), std::nullopt);
}

}  // namespace
}  // namespace vor::qt
