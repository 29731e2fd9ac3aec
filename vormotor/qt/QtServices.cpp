// The application services of the control tree on Qt: the message box and the mouse cursor.
#include <QGuiApplication>
#include <QMessageBox>
#include <array>
#include <utility>

#include "vormotor/qt/QtCursor.h"
#include "vormotor/qt/QtMessageBox.h"
#include "vormotor/toolkit/ApplicationCursor.h"

namespace vor::qt {
namespace {

QMessageBox::StandardButton ToQt(MessageBoxResult button) {
    return button == MessageBoxResult::Cancel ? QMessageBox::Cancel : QMessageBox::Ok;
}

// The platform's cursor numbers and Qt's shapes; a number not listed shows the arrow.
constexpr std::array<std::pair<std::int16_t, Qt::CursorShape>, 14> kCursorShapes{{
    {1, Qt::ArrowCursor},
    {2, Qt::CrossCursor},
    {3, Qt::IBeamCursor},
    {5, Qt::SizeAllCursor},
    {6, Qt::SizeBDiagCursor},
    {7, Qt::SizeVerCursor},
    {8, Qt::SizeFDiagCursor},
    {9, Qt::SizeHorCursor},
    {10, Qt::UpArrowCursor},
    {11, Qt::WaitCursor},
    {12, Qt::ForbiddenCursor},
    {13, Qt::BusyCursor},
    {14, Qt::WhatsThisCursor},
    {15, Qt::SizeAllCursor},
}};

Qt::CursorShape ShapeOf(std::int16_t cursor) {
    for (const auto& [number, shape] : kCursorShapes) {
        if (number == cursor) {
            return shape;
        }
    }
    return Qt::ArrowCursor;
}

}  // namespace

MessageBoxResult QtMessageBox::Ask(const MessageBoxRequest& request, QWidget* parent) {
    QMessageBox box(parent);
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(QString::fromStdString(request.title));
    box.setText(QString::fromStdString(request.prompt));
    box.setStandardButtons(request.buttons == MessageBoxButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                                          : QMessageBox::Ok);
    box.setDefaultButton(ToQt(request.defaultButton));
    box.setEscapeButton(request.buttons == MessageBoxButtons::OkCancel ? QMessageBox::Cancel : QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() == QMessageBox::Ok ? MessageBoxResult::Ok : MessageBoxResult::Cancel;
}

QtCursor::QtCursor() {
    auto& cursor = ApplicationCursor::Instance();
    m_changed = cursor.Changed().Connect([this](std::int16_t shown) { Show(shown); });
    Show(cursor.Get());
}

QtCursor::~QtCursor() {
    Show(ApplicationCursor::Default);
}

void QtCursor::Show(std::int16_t cursor) {
    if (cursor == ApplicationCursor::Default) {
        if (m_overriding) {
            QGuiApplication::restoreOverrideCursor();
            m_overriding = false;
        }
        return;
    }
    if (m_overriding) {
        QGuiApplication::changeOverrideCursor(QCursor(ShapeOf(cursor)));
    } else {
        QGuiApplication::setOverrideCursor(QCursor(ShapeOf(cursor)));
        m_overriding = true;
    }
}

}  // namespace vor::qt
