#include "vormotor/qt/PanelView.h"

#include <QApplication>
#include <QResizeEvent>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <functional>
#include <string_view>
#include <utility>

#include "vormotor/qt/ComboView.h"
#include "vormotor/qt/FrameView.h"
#include "vormotor/qt/GenericView.h"
#include "vormotor/qt/LabelView.h"
#include "vormotor/qt/LineView.h"
#include "vormotor/qt/QtLook.h"
#include "vormotor/qt/SorvaneView.h"
#include "vormotor/qt/TarvineView.h"
#include "vormotor/toolkit/Colors.h"
#include "vormotor/ui_util/ControlTypes.h"

namespace vor::qt {
namespace {

template <class View, class Model>
std::unique_ptr<ControlView> Make(PanelView& panel, Control& control, QWidget* container) {
    auto* model = dynamic_cast<Model*>(&control);
    return model != nullptr ? std::make_unique<View>(panel, *model, container) : nullptr;
}

using ViewMaker = std::unique_ptr<ControlView> (*)(PanelView&, Control&, QWidget*);

// A control whose type name is not here, or whose class is not the expected one, still gets a
// plain widget, so that what it contains has a place.
constexpr std::pair<std::string_view, ViewMaker> kViewKinds[] = {
    {"Frame", &Make<FrameView, Frame>},
    {"Label", &Make<LabelView, Label>},
    {"ComboBox", &Make<ComboView, ComboBox>},
    {"Line", &Make<LineView, Line>},
    {"Tarvine", &Make<TarvineView, editors::TarvineEditor>},
    {"Sorvane", &Make<SorvaneView, editors::SorvaneGroup>},
};

std::unique_ptr<ControlView> MakeView(PanelView& panel, Control& control, QWidget* container) {
    const std::string typeName = control.TypeName();
    for (const auto& [kind, make] : kViewKinds) {
        if (kind == typeName) {
            if (auto view = make(panel, control, container)) {
                return view;
            }
        }
    }
    return std::make_unique<GenericView>(panel, control, container);
}

// What a container keeps below the lowest widget that grew, at most: room for its border.
constexpr int kLeastBottomMargin = 4;

// The frames inside the surface's top-level controls span minLeft..maxRight; as wide as minLeft +
// maxRight they sit with equal margins, and the first layout has nothing to move.
QSizeF OpeningSize(Form& form) {
    const auto& surface = form.Surface();
    float minLeft = surface.ScaleWidth();
    float maxRight = 0;
    for (const Control* control : form.Controls()) {
        const Control* container = control->Container();
        if (container != nullptr && container->Container() == nullptr && IsFrameLike(*control)) {
            minLeft = std::min(minLeft, control->Left());
            maxRight = std::max(maxRight, control->Left() + control->Width());
        }
    }
    const float width = maxRight > 0 ? std::min(surface.ScaleWidth(), minLeft + maxRight) : surface.ScaleWidth();
    return QSizeF(width, surface.ScaleHeight());
}

}  // namespace

PanelView::PanelView(Form& form, QWidget* parent)
    : QWidget(parent), m_form(form), m_scale(TwipScale::Of(*screen(), kRoom)), m_openingTwips(OpeningSize(form)) {
    ApplySurfaceLook();
    {
        const HeightsHeld held(*this);
        for (Control* control : form.Controls()) {
            AddView(*control);
        }
    }
    UpdateTabOrder();
    m_surfaceConnections.push_back(form.Surface().RepaintRequested().Connect([this] { update(); }));
    resize(sizeHint());
}

PanelView::~PanelView() {
    disconnect(m_screenChanged);
    disconnect(m_resolutionChanged);
    // The views go first: their widgets are the children the base class deletes after this.
    m_surfaceConnections.clear();
    m_byControl.clear();
    m_views.clear();
}

void PanelView::AddView(Control& control) {
    auto view = MakeView(*this, control, WidgetOf(control.Container()));
    view->ApplyAll();
    m_byControl.emplace(&control, view.get());
    m_views.push_back(std::move(view));
}

QWidget* PanelView::WidgetOf(const Control* control) const {
    if (control == nullptr) {
        return const_cast<PanelView*>(this);
    }
    const auto found = m_byControl.find(control);
    return found != m_byControl.end() ? found->second->Widget() : const_cast<PanelView*>(this);
}

const ControlView* PanelView::ViewOf(const Control& control) const {
    const auto found = m_byControl.find(&control);
    return found != m_byControl.end() ? found->second : nullptr;
}

std::vector<ControlView*> PanelView::ViewsIn(const Control* container) const {
    std::vector<ControlView*> inside;
    for (const auto& view : m_views) {
        if (view->Model().Container() == container) {
            inside.push_back(view.get());
        }
    }
    return inside;
}

void PanelView::UpdateTabOrder() {
    QWidget* previous = nullptr;
    for (const auto& view : m_views) {
        for (QWidget* next : view->FocusWidgets()) {
            if (previous != nullptr) {
                setTabOrder(previous, next);
            }
            previous = next;
        }
    }
}

PanelView::HeightsHeld::HeightsHeld(PanelView& panel) noexcept : m_panel(panel) {
    ++m_panel.m_heightsHeld;
}

PanelView::HeightsHeld::~HeightsHeld() {
    if (--m_panel.m_heightsHeld == 0 && std::exchange(m_panel.m_heightsDue, false)) {
        m_panel.FitHeights();
    }
}

void PanelView::FitHeights() {
    if (m_fittingHeights) {
        return;
    }
    if (m_heightsHeld > 0) {
        m_heightsDue = true;
        return;
    }
    m_fittingHeights = true;
    std::unordered_map<const ControlView*, int> grown;
    // Containers come before what they hold in the form's order: walking it backwards settles
    // the inside first.
    for (auto view = m_views.rbegin(); view != m_views.rend(); ++view) {
        const QRect place = (*view)->Geometry();
        int needed = std::max(place.height(), (*view)->ContentHeight());
        for (const ControlView* inner : ViewsIn(&(*view)->Model())) {
            if (const int by = grown[inner]; by > 0) {
                const int bottom = inner->Geometry().bottom() + 1;
                needed = std::max(needed, bottom + by + std::clamp(place.height() - bottom, 0, kLeastBottomMargin));
            }
        }
        grown[view->get()] = needed - place.height();
        (*view)->GrowBy(needed - place.height());
    }
    m_fittingHeights = false;
}

void PanelView::Rescale(const TwipScale& scale) {
    if (scale == m_scale) {
        return;
    }
    const QSizeF surface(m_form.Surface().ScaleWidth(), m_form.Surface().ScaleHeight());
    m_scale = scale;
    {
        const HeightsHeld held(*this);
        for (const auto& view : m_views) {
            view->Rescaled();
        }
    }
    updateGeometry();
    const QSize pixels(m_scale.ToPixelsX(static_cast<float>(surface.width())),
                       m_scale.ToPixelsY(static_cast<float>(surface.height())));
    if (size() == pixels) {
        return;
    }
    resize(pixels);
}

QSize PanelView::sizeHint() const {
    return QSize(m_scale.ToPixelsX(static_cast<float>(m_openingTwips.width())),
                 m_scale.ToPixelsY(static_cast<float>(m_openingTwips.height())));
}

void PanelView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const HeightsHeld held(*this);
    ControlView::Guarded("PanelView resize", [&] {
        m_form.Surface().Resize(m_scale.ToTwipsX(event->size().width()), m_scale.ToTwipsY(event->size().height()));
    });
}

void PanelView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FollowScreen();
    ControlView::Guarded("PanelView show", [&] { m_form.Surface().Show(); });
}

void PanelView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    ControlView::Guarded("PanelView hide", [&] { m_form.Surface().Hide(); });
}

// The window exists once shown; from then on its screen decides the scale.
void PanelView::FollowScreen() {
    QWindow* handle = window()->windowHandle();
    if (handle == nullptr || m_screenChanged) {
        return;
    }
    m_screenChanged = connect(handle, &QWindow::screenChanged, this, [this](QScreen* now) { ScaleFor(now); });
    ScaleFor(handle->screen());
}

// A screen's resolution may also change while the window stays on it (the user's display settings).
void PanelView::ScaleFor(QScreen* screen) {
    disconnect(m_resolutionChanged);
    if (screen == nullptr) {
        return;
    }
    m_resolutionChanged = connect(screen, &QScreen::logicalDotsPerInchChanged, this,
                                  [this, screen] { Rescale(TwipScale::Of(*screen, kRoom)); });
    Rescale(TwipScale::Of(*screen, kRoom));
}

void PanelView::ApplySurfaceLook() {
    setAutoFillBackground(true);
    QPalette look = palette();
    const QPalette& system = QApplication::palette();
    SetTextColors(look, ToQColor(colors::ButtonText, system), ToQColor(colors::ButtonFace, system));
    setPalette(look);
    setFont(ToQFont(m_form.Surface().GetFont()));
}

}  // namespace vor::qt
