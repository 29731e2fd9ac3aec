#include "vormotor/qt/ControlView.h"

#include <QApplication>
#include <exception>

#include "vormotor/core/Diagnostics.h"
#include "vormotor/qt/PanelView.h"
#include "vormotor/qt/QtLook.h"

namespace vor {

ControlView::ControlView(PanelView& panel, Control& control, QWidget* widget)
    : m_panel(panel), m_control(control), m_widget(widget) {
    m_changed = control.PropertyChanged().Connect([this](Control&, const std::string& property) { Apply(property); });
}

void ControlView::ApplyAll() {
    Apply({});
}

void ControlView::Apply(std::string_view property) {
    static constexpr std::array<Handler<ControlView>, 14> kCommon{{
        {"Container", &ControlView::ApplyContainer},
        {"Left", &ControlView::ApplyGeometry},
        {"Top", &ControlView::ApplyGeometry},
        {"Width", &ControlView::ApplyGeometry},
        {"Height", &ControlView::ApplyGeometry},
        {"Visible", &ControlView::ApplyVisible},
        {"Enabled", &ControlView::ApplyEnabled},
        {"TabStop", &ControlView::ApplyTabStop},
        {"Font", &ControlView::ApplyFont},
        {"FontBold", &ControlView::ApplyFont},
        {"ForeColor", &ControlView::ApplyColors},
        {"BackColor", &ControlView::ApplyColors},
        {"ToolTipText", &ControlView::ApplyToolTip},
        {"Refresh", &ControlView::ApplyRefresh},
    }};
    // The kind's own handlers run after the common ones, so that they can refine the look.
    Run(*this, kCommon, property);
    ApplyOwn(property);
}

QRect ControlView::Geometry() const {
    const TwipScale& scale = m_panel.Scale();
    return QRect(scale.ToPixelsX(m_control.Left()), scale.ToPixelsY(m_control.Top()),
                 scale.ToPixelsX(m_control.Width()), scale.ToPixelsY(m_control.Height()));
}

void ControlView::Guarded(std::string_view what, const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& failure) {
        Diagnostics::Report(what, failure);
    }
}

void ControlView::ApplyContainer() {
    QWidget* container = m_panel.WidgetOf(m_control.Container());
    if (m_widget->parentWidget() == container) {
        return;
    }
    // A widget that changes its parent is hidden by Qt; the tree's state is put back.
    m_widget->setParent(container);
    ApplyGeometry();
    ApplyVisible();
    m_panel.UpdateTabOrder();
}

void ControlView::ApplyGeometry() {
    m_widget->setGeometry(Geometry());
}

void ControlView::ApplyVisible() {
    m_widget->setVisible(m_control.Visible());
}

void ControlView::ApplyEnabled() {
    m_widget->setEnabled(m_control.Enabled());
}

void ControlView::ApplyTabStop() {
    const Qt::FocusPolicy policy = m_control.TabStop() ? Qt::StrongFocus : Qt::ClickFocus;
    for (QWidget* focusWidget : FocusWidgets()) {
        focusWidget->setFocusPolicy(policy);
    }
}

void ControlView::ApplyFont() {
    m_widget->setFont(ToQFont(m_control.GetFont()));
}

void ControlView::ApplyColors() {
    const QPalette& system = QApplication::palette();
    QPalette palette = m_widget->palette();
    SetTextColors(palette, ToQColor(m_control.ForeColor(), system), ToQColor(m_control.BackColor(), system));
    m_widget->setPalette(palette);
}

void ControlView::ApplyToolTip() {
    m_widget->setToolTip(QString::fromStdString(m_control.ToolTipText()));
}

void ControlView::ApplyRefresh() {
    m_widget->update();
}

}  // namespace vor
