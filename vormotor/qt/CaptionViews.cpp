// The views of the plain kinds: frames, labels and controls the front-end does not draw.
#include "vormotor/qt/FrameView.h"
#include "vormotor/qt/GenericView.h"
#include "vormotor/qt/LabelView.h"

namespace vor {

GenericView::GenericView(PanelView& panel, Control& control, QWidget* container)
    : ControlView(panel, control, new QWidget(container)) {}

FrameView::FrameView(PanelView& panel, Frame& frame, QWidget* container)
    : ControlView(panel, frame, new QGroupBox(container)), m_frame(frame), m_box(static_cast<QGroupBox*>(Widget())) {}

void FrameView::ApplyOwn(std::string_view property) {
    static constexpr std::array<Handler<FrameView>, 1> kOwn{{{"Caption", &FrameView::ApplyCaption}}};
    Run(*this, kOwn, property);
}

void FrameView::ApplyCaption() {
    m_box->setTitle(QString::fromStdString(m_frame.Caption()));
}

LabelView::LabelView(PanelView& panel, Label& label, QWidget* container)
    : ControlView(panel, label, new QLabel(container)), m_label(label), m_text(static_cast<QLabel*>(Widget())) {
    m_text->setTextFormat(Qt::PlainText);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_text->setWordWrap(true);
    m_text->setAutoFillBackground(true);
}

void LabelView::ApplyOwn(std::string_view property) {
    static constexpr std::array<Handler<LabelView>, 1> kOwn{{{"Caption", &LabelView::ApplyCaption}}};
    Run(*this, kOwn, property);
}

void LabelView::ApplyCaption() {
    m_text->setText(QString::fromStdString(m_label.Caption()));
}

}  // namespace vor
