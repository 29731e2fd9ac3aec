#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "vormotor/core/Event.h"
#include "vormotor/qt/PanelView.h"
#include "vormotor/toolkit/Control.h"
#include "vormotor/toolkit/Form.h"

namespace vor::qt {

// Tells the user why a control of a panel view cannot be operated: a disabled control's tool tip
// gives the reasons, and a click on it is handed to the host (the demo shows it in its status
// line). Disabled widgets take no clicks, so the tips watch the application's events for the
// view's widgets. Operable controls keep their own tool tips. The same reasons are the accessible
// description of a disabled control's widget and its parts, so that a screen reader says why.
class DisabledReasonTips final : public QObject {
public:
    // The reasons against operating a control; empty when nothing stands against it.
    using Explain = std::function<std::vector<std::string>(Control&)>;
    using Clicked = std::function<void(Control&, const std::vector<std::string>& reasons)>;

    // `view` shows `form`; the tips live as long as the view (they are its child object).
    DisabledReasonTips(PanelView& view, Form& form, Explain explain, Clicked clicked = {});

    // The reasons of a control that cannot be operated, one a line; empty for an operable one.
    QString TipOf(Control& control) const;
    // Shows that tip below the control's widget, as hovering over it would; false when there is
    // none to show.
    bool ShowTip(Control& control);
    // Gives every widget of the view the accessible description of its reasons now. A change of
    // any control's enabled state does so by itself once the event loop runs; the host calls it
    // when the reasons may have changed alone (another access level, the same controls disabled).
    void UpdateDescriptions();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The control of the view that `widget` belongs to; null outside the view.
    Control* ControlOf(QWidget* widget) const;
    std::vector<std::string> Reasons(Control& control) const;
    // One update for all the changes of an enable policy run.
    void ScheduleDescriptions();

    PanelView& m_view;
    Form& m_form;
    Explain m_explain;
    Clicked m_clicked;
    std::vector<Connection> m_enabledChanges;
    bool m_descriptionsDue = false;
};

}  // namespace vor::qt

// The names above as hosts know them, in vor.
namespace vor {
using qt::DisabledReasonTips;
}  // namespace vor
