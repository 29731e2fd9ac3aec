#pragma once

#include <QWidget>
#include <memory>
#include <unordered_map>
#include <vector>

#include "vormotor/core/Event.h"
#include "vormotor/qt/ControlView.h"
#include "vormotor/qt/TwipScale.h"
#include "vormotor/toolkit/Form.h"

namespace vor {

// A panel's form as Qt widgets: one widget per control, nested as the controls are, following
// every change of the tree. The widget is the host's side of the panel surface: its size is the
// surface's size (so resizing it runs the panel's layout) and showing or hiding it shows or hides
// the surface. User input reaches the panel through the tree only.
class PanelView final : public QWidget {
public:
    // The form must outlive the view.
    explicit PanelView(Form& form, QWidget* parent = nullptr);
    ~PanelView() override;

    const TwipScale& Scale() const noexcept { return m_scale; }
    // The widget that mirrors `control`; the view itself for the panel surface (nullptr).
    QWidget* WidgetOf(const Control* control) const;
    // The view of a control, for hosts and tests that look inside; nullptr for an unknown one.
    const ControlView* ViewOf(const Control& control) const;

    // Chains the focusable widgets in the order of the form's controls.
    void UpdateTabOrder();

    // The panel's design size.
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void AddView(Control& control);
    void ApplySurfaceLook();

    Form& m_form;
    TwipScale m_scale;
    QSize m_designSize;
    std::vector<std::unique_ptr<ControlView>> m_views;  // in the form's order
    std::unordered_map<const Control*, ControlView*> m_byControl;
    std::vector<Connection> m_surfaceConnections;
};

}  // namespace vor
