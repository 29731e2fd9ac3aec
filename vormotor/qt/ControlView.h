#pragma once

#include <QFontMetrics>
#include <QRect>
#include <QWidget>
#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "vormotor/core/Event.h"
#include "vormotor/qt/ToolTipSources.h"
#include "vormotor/toolkit/Control.h"

namespace vor::qt {

class PanelView;

// Mirrors one control of the tree into a widget and keeps it in step with the control's change
// notifications. The widget sits in the widget of the control's container, so hiding or
// disabling a container hides or disables what is inside, as in the tree. Kinds add their own
// properties; the common ones (place, visibility, enabled state, font, colours, tab stop, tool
// tip, accessible name) are handled here.
class ControlView {
public:
    ControlView(PanelView& panel, Control& control, QWidget* widget);
    virtual ~ControlView() = default;
    ControlView(const ControlView&) = delete;
    ControlView& operator=(const ControlView&) = delete;

    QWidget* Widget() const noexcept { return m_widget; }
    const Control& Model() const noexcept { return m_control; }

    // Applies every property, as after creation.
    void ApplyAll();
    // Applies what depends on the panel's twip scale again, after the scale changed.
    void Rescaled();
    // The widgets the user can tab to, in tab order.
    virtual std::vector<QWidget*> FocusWidgets() const { return {}; }

    // Where the widget goes inside its container's widget, in pixels, as the tree's twips say.
    virtual QRect Geometry() const;
    // The height the widget's own content needs, in pixels; 0 when its place is enough.
    virtual int ContentHeight() const { return 0; }
    // Makes the widget `pixels` taller than its place says (downwards), so that what it shows or
    // holds fits; the tree's geometry stays as it is.
    void GrowBy(int pixels);
    int GrownBy() const noexcept { return m_grownBy; }

    // Runs an action that calls into the tree and turns its exception into a diagnostics
    // report: nothing may escape into Qt's event loop.
    static void Guarded(std::string_view what, const std::function<void()>& action);

protected:
    // A kind's own property handlers.
    template <class View>
    struct Handler {
        std::string_view property;
        void (View::*apply)();
    };

    // Runs the handlers of `property`, or all of them when `property` is empty: then a handler
    // that several properties share runs once, where it first appears.
    template <class View, std::size_t N>
    static void Run(View& view, const std::array<Handler<View>, N>& table, std::string_view property) {
        for (auto handler = table.begin(); handler != table.end(); ++handler) {
            const bool wanted =
                property.empty()
                    ? std::none_of(table.begin(), handler,
                                   [&](const Handler<View>& earlier) { return earlier.apply == handler->apply; })
                    : handler->property == property;
            if (wanted) {
                (view.*handler->apply)();
            }
        }
    }

    // Applies a kind's own property; an empty name means all of them. Unknown names are
    // properties the widget does not show.
    virtual void ApplyOwn(std::string_view property) = 0;

    // What assistive tools call the control: by default a name made from the control's own name
    // ("MotorStyleCombo" is "Motor Style"); kinds with a caption answer the caption.
    virtual QString AccessibleName() const;

    PanelView& Panel() const noexcept { return m_panel; }
    // The receiver of the widget's signals: it goes with the view, so a signal the widget still
    // sends while Qt takes it down (a field losing the focus) reaches no view that is gone.
    QObject* Receiver() noexcept { return &m_receiver; }
    // Change a source, then ApplyToolTip to show the winner on the widget and its parts.
    ToolTipSources& ToolTips() noexcept { return m_toolTips; }

    void ApplyToolTip();
    void ApplyAccessibleName();
    void ApplyGeometry();
    void ApplyColors();
    void ApplyFont();
    void ApplyTabStop();

private:
    void Apply(std::string_view property);
    void ApplyContainer();
    void ApplyVisible();
    void ApplyEnabled();
    void ApplyDesignedToolTip();
    void ApplyRefresh();

    PanelView& m_panel;
    Control& m_control;
    QWidget* m_widget;  // owned by its parent widget
    QObject m_receiver;
    ToolTipSources m_toolTips;
    int m_grownBy = 0;
    Connection m_changed;
};

}  // namespace vor::qt

// The names above as hosts know them, in vor.
namespace vor {
using qt::ControlView;
}  // namespace vor
