#include "vormotor/qt/DisabledReasonTips.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QToolTip>
#include <utility>

namespace vor::qt {
namespace {

QString OneALine(const std::vector<std::string>& reasons) {
    QStringList lines;
    for (const std::string& reason : reasons) {
        lines << QString::fromStdString(reason);
    }
    return lines.join('\n');
}

}  // namespace

DisabledReasonTips::DisabledReasonTips(PanelView& view, Form& form, Explain explain, Clicked clicked)
    : QObject(&view), m_view(view), m_form(form), m_explain(std::move(explain)), m_clicked(std::move(clicked)) {
    qApp->installEventFilter(this);
    for (Control* control : m_form.Controls()) {
        m_enabledChanges.push_back(control->PropertyChanged().Connect([this](Control&, const std::string& property) {
            if (property == "Enabled") {
                ScheduleDescriptions();
            }
        }));
    }
    ScheduleDescriptions();
}

void DisabledReasonTips::ScheduleDescriptions() {
    if (m_descriptionsDue) {
        return;
    }
    m_descriptionsDue = true;
    QTimer::singleShot(0, this, [this] { UpdateDescriptions(); });
}

void DisabledReasonTips::UpdateDescriptions() {
    m_descriptionsDue = false;
    for (Control* control : m_form.Controls()) {
        const ControlView* view = m_view.ViewOf(*control);
        if (view == nullptr) {
            continue;
        }
        const QString reasons = TipOf(*control);
        view->Widget()->setAccessibleDescription(reasons);
        for (QWidget* part : view->FocusWidgets()) {
            part->setAccessibleDescription(reasons);
        }
    }
}

QString DisabledReasonTips::TipOf(Control& control) const {
    return OneALine(Reasons(control));
}

bool DisabledReasonTips::ShowTip(Control& control) {
    const QString tip = TipOf(control);
    QWidget* widget = m_view.WidgetOf(&control);
    if (tip.isEmpty() || widget == &m_view) {
        return false;
    }
    QToolTip::showText(widget->mapToGlobal(QPoint(0, widget->height())), tip, widget);
    return true;
}

std::vector<std::string> DisabledReasonTips::Reasons(Control& control) const {
    std::vector<std::string> reasons;
    if (!control.EffectiveEnabled()) {
        ControlView::Guarded("DisabledReasonTips", [&] { reasons = m_explain(control); });
    }
    return reasons;
}

Control* DisabledReasonTips::ControlOf(QWidget* widget) const {
    for (; widget != nullptr && widget != &m_view; widget = widget->parentWidget()) {
        for (Control* control : m_form.Controls()) {
            if (m_view.WidgetOf(control) == widget) {
                return control;
            }
        }
    }
    return nullptr;
}

// An unhandled tip or click travels from the widget under the mouse up to its parents; only the
// widget under the mouse answers it, once.
bool DisabledReasonTips::eventFilter(QObject* watched, QEvent* event) {
    const bool tip = event->type() == QEvent::ToolTip;
    const bool click = event->type() == QEvent::MouseButtonPress;
    auto* widget = qobject_cast<QWidget*>(watched);
    if ((!tip && !click) || widget == nullptr || !m_view.isAncestorOf(widget)) {
        return false;
    }
    const QPoint at =
        tip ? static_cast<QHelpEvent*>(event)->pos() : static_cast<QMouseEvent*>(event)->position().toPoint();
    Control* control = ControlOf(widget);
    if (control == nullptr || control->EffectiveEnabled() || widget->childAt(at) != nullptr) {
        return false;
    }
    const std::vector<std::string> reasons = Reasons(*control);
    if (tip) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), OneALine(reasons), widget);
    } else if (m_clicked) {
        ControlView::Guarded("DisabledReasonTips click", [&] { m_clicked(*control, reasons); });
    }
    return true;
}

}  // namespace vor::qt
