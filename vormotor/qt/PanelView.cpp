#include "vormotor/qt/PanelView.h"

#include <QApplication>
#include <QResizeEvent>
#include <functional>
#include <string_view>

#include "vormotor/qt/ComboView.h"
#include "vormotor/qt/FrameView.h"
#include "vormotor/qt/GenericView.h"
#include "vormotor/qt/LabelView.h"
#include "vormotor/qt/LineView.h"
#include "vormotor/qt/QtLook.h"
#include "vormotor/qt/SorvaneView.h"
#include "vormotor/qt/TarvineView.h"
#include "vormotor/toolkit/Colors.h"

namespace vor {
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
    {"Tarvine", &Make<TarvineView, TarvineEditor>},
    {"Sorvane", &Make<SorvaneView, SorvaneGroup>},
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

}  // namespace

PanelView::PanelView(Form& form, QWidget* parent) : QWidget(parent), m_form(form), m_scale(TwipScale::Of(*this)) {
    const auto& surface = form.Surface();
    m_designSize = QSize(m_scale.ToPixelsX(surface.ScaleWidth()), m_scale.ToPixelsY(surface.ScaleHeight()));
    ApplySurfaceLook();
    for (Control* control : form.Controls()) {
        AddView(*control);
    }
    UpdateTabOrder();
    m_surfaceConnections.push_back(form.Surface().RepaintRequested().Connect([this] { update(); }));
    resize(sizeHint());
}

PanelView::~PanelView() {
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

QSize PanelView::sizeHint() const {
    return m_designSize;
}

void PanelView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ControlView::Guarded("PanelView resize", [&] {
        m_form.Surface().Resize(m_scale.ToTwipsX(event->size().width()), m_scale.ToTwipsY(event->size().height()));
    });
}

void PanelView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ControlView::Guarded("PanelView show", [&] { m_form.Surface().Show(); });
}

void PanelView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    ControlView::Guarded("PanelView hide", [&] { m_form.Surface().Hide(); });
}

void PanelView::ApplySurfaceLook() {
    setAutoFillBackground(true);
    QPalette look = palette();
    const QPalette& system = QApplication::palette();
    SetTextColors(look, ToQColor(colors::ButtonText, system), ToQColor(colors::ButtonFace, system));
    setPalette(look);
    setFont(ToQFont(m_form.Surface().GetFont()));
}

}  // namespace vor
