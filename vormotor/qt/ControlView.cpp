#include "vormotor/qt/ControlView.h"

#include <QApplication>
#include <QRegularExpression>
#include <exception>

#include "vormotor/core/Diagnostics.h"
#include "vormotor/qt/PanelView.h"
#include "vormotor/qt/QtLook.h"

namespace vor::qt {
namespace {

// The endings that only say what kind of control it is; assistive tools announce the kind anyway.
constexpr std::array<const char*, 6> kKindSuffixes{"RadioGrp", "Combo", "Frame", "Line", "Lbl", "Grp"};

// "MotorStyleCombo" becomes "Motor Style", "ConfigRadioGrp"(3) "Config 3".
QString NameFromControlName(const Control& control) {
    QString name = QString::fromStdString(control.Name());
    for (const char* suffix : kKindSuffixes) {
        if (name.endsWith(QLatin1String(suffix)) && name.size() > static_cast<qsizetype>(qstrlen(suffix))) {
            name.chop(static_cast<qsizetype>(qstrlen(suffix)));
            break;
        }
    }
    static const QRegularExpression wordStart(QStringLiteral("(?<=[a-z])(?=[A-Z])"));
    name.replace(wordStart, QStringLiteral(" "));
    if (!name.isEmpty()) {
        name[0] = name[0].toUpper();
    }
    if (control.Index()) {
        name += QLatin1Char(' ') + QString::number(*control.Index());
    }
    return name;
}

// The properties whose pixels depend on the twip scale, one of each handler that converts.
constexpr std::array<std::string_view, 4> kScaledProperties{"Width", "Font", "editorwidth", "X1"};

}  // namespace

ControlView::ControlView(PanelView& panel, Control& control, QWidget* widget)
    : m_panel(panel), m_control(control), m_widget(widget) {
    m_changed = control.PropertyChanged().Connect([this](Control&, const std::string& property) { Apply(property); });
}

void ControlView::ApplyAll() {
    Apply({});
}

void ControlView::Rescaled() {
    for (std::string_view property : kScaledProperties) {
        Apply(property);
    }
}

void ControlView::Apply(std::string_view property) {
    static constexpr std::array<Handler<ControlView>, 15> kCommon{{
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
        {"ToolTipText", &ControlView::ApplyDesignedToolTip},
        {"Caption", &ControlView::ApplyAccessibleName},
        {"Refresh", &ControlView::ApplyRefresh},
    }};
    // The kind's own handlers run after the common ones, so that they can refine the look.
    const PanelView::HeightsHeld held(m_panel);
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
    m_widget->setGeometry(Geometry().adjusted(0, 0, 0, m_grownBy));
    // What it holds may now fit differently, and so may the containers around it.
    m_panel.FitHeights();
}

void ControlView::GrowBy(int pixels) {
    if (pixels == m_grownBy) {
        return;
    }
    m_grownBy = pixels;
    m_widget->setGeometry(Geometry().adjusted(0, 0, 0, m_grownBy));
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

void ControlView::ApplyDesignedToolTip() {
    m_toolTips.designed = QString::fromStdString(m_control.ToolTipText());
    ApplyToolTip();
}

// The parts get the tip too: Qt shows a tip for the widget under the pointer.
void ControlView::ApplyToolTip() {
    const QString tip = m_toolTips.Chosen();
    m_widget->setToolTip(tip);
    for (QWidget* part : FocusWidgets()) {
        part->setToolTip(tip);
    }
}

QString ControlView::AccessibleName() const {
    return NameFromControlName(m_control);
}

void ControlView::ApplyAccessibleName() {
    m_widget->setAccessibleName(AccessibleName());
}

void ControlView::ApplyRefresh() {
    m_widget->update();
}

}  // namespace vor::qt
