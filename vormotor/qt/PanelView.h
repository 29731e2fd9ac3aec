#pragma once

#include <QWidget>
#include <memory>
#include <unordered_map>
#include <vector>

#include "vormotor/core/Event.h"
#include "vormotor/qt/ControlView.h"
#include "vormotor/qt/TwipScale.h"
#include "vormotor/toolkit/Form.h"

namespace vor::qt {

// A panel's form as Qt widgets: one widget per control, nested as the controls are, following
// every change of the tree. The widget is the host's side of the panel surface: its size is the
// surface's size (so resizing it runs the panel's layout) and showing or hiding it shows or hides
// the surface. User input reaches the panel through the tree only. Twips become pixels at the
// logical resolution of the screen the view is on, and again when it moves to another screen.
class PanelView final : public QWidget {
public:
    // How much more room a box gets than its twips say, against fonts that keep their point size:
    // Qt's edit fields keep wider margins than the design's platform and its fonts render a little
    // wider, so at 1:1 the drive's values ("32.5 V/krpm") would not fit their fields.
    static constexpr double kRoom = 1.25;

    // The form must outlive the view.
    explicit PanelView(Form& form, QWidget* parent = nullptr);
    ~PanelView() override;

    const TwipScale& Scale() const noexcept { return m_scale; }
    // The widget that mirrors `control`; the view itself for the panel surface (nullptr).
    QWidget* WidgetOf(const Control* control) const;
    // The view of a control, for hosts and tests that look inside; nullptr for an unknown one.
    const ControlView* ViewOf(const Control& control) const;
    // The views of the controls directly inside `container`, in the form's order.
    std::vector<ControlView*> ViewsIn(const Control* container) const;

    // Chains the focusable widgets in the order of the form's controls.
    void UpdateTabOrder();
    // A widget whose content needs more height than its twips give grows downwards, and so does
    // every container it would otherwise stick out of; the tree's geometry stays as it is.
    void FitHeights();

    // While one lives, FitHeights only notes that it is due, and the last to end fits the heights
    // once: a change that moves or refills many widgets (a layout pass, every property of a new
    // view) walks the views once instead of once per widget.
    class HeightsHeld {
    public:
        explicit HeightsHeld(PanelView& panel) noexcept;
        ~HeightsHeld();
        HeightsHeld(const HeightsHeld&) = delete;
        HeightsHeld& operator=(const HeightsHeld&) = delete;

    private:
        PanelView& m_panel;
    };
    // Converts with `scale` from now on: every widget takes its place and size anew, and the
    // surface keeps its size in twips.
    void Rescale(const TwipScale& scale);

    // The size the view opens with: the design height, and the width that shows the frames
    // with the margin on their left repeated on their right. The panel's layout only ever moves
    // its frames to the right, so opening at the full design width would leave empty bands.
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void AddView(Control& control);
    void ApplySurfaceLook();
    void FollowScreen();
    void ScaleFor(QScreen* screen);

    Form& m_form;
    TwipScale m_scale;
    QSizeF m_openingTwips;
    QMetaObject::Connection m_screenChanged;
    QMetaObject::Connection m_resolutionChanged;
    std::vector<std::unique_ptr<ControlView>> m_views;  // in the form's order
    std::unordered_map<const Control*, ControlView*> m_byControl;
    std::vector<Connection> m_surfaceConnections;
    bool m_fittingHeights = false;  // growing a widget moves no other
    int m_heightsHeld = 0;
    bool m_heightsDue = false;
};

}  // namespace vor::qt

// The names above as hosts know them, in vor.
namespace vor {
using qt::PanelView;
}  // namespace vor
