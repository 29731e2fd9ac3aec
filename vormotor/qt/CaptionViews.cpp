// The views of the plain kinds: frames, labels and controls the front-end does not draw.
#include "vormotor/qt/FrameView.h"
#include "vormotor/qt/GenericView.h"
#include "vormotor/qt/LabelView.h"
#include "vormotor/qt/TextFit.h"
#include "vormotor/toolkit/Colors.h"

namespace vor {

GenericView::GenericView(PanelView& panel, Control& control, QWidget* container)
    : ControlView(panel, control, new QWidget(container)) {}

FrameView::FrameView(PanelView& panel, Frame& frame, QWidget* container)
    : ControlView(panel, frame, new QGroupBox(container)), m_frame(frame), m_box(static_cast<QGroupBox*>(Widget())) {}

void FrameView::ApplyOwn(std::string_view property) {
    static constexpr std::array<Handler<FrameView>, 1> kOwn{{
        {"Caption", &FrameView::ApplyCaption},
    }};
    Run(*this, kOwn, property);
}

QString FrameView::AccessibleName() const {
    const QString caption = QString::fromStdString(m_frame.Caption()).trimmed();
    return caption.isEmpty() ? ControlView::AccessibleName() : caption;
}

void FrameView::ApplyCaption() {
    const QString caption = QString::fromStdString(m_frame.Caption());
    m_box->setTitle(caption);
}

LabelView::LabelView(PanelView& panel, Label& label, QWidget* container)
    : ControlView(panel, label, new QLabel(container)), m_label(label), m_text(static_cast<QLabel*>(Widget())) {
    m_text->setTextFormat(Qt::PlainText);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Broken at blanks here, where the lines are known, rather than wherever Qt would.
    m_text->setWordWrap(false);
}

void LabelView::ApplyOwn(std::string_view property) {
    static constexpr std::array<Handler<LabelView>, 5> kOwn{{
        {"BackColor", &LabelView::ApplyBackground},
        {"Caption", &LabelView::ApplyCaption},
        {"Width", &LabelView::ApplyCaption},
        {"Font", &LabelView::ApplyCaption},
        {"FontBold", &LabelView::ApplyCaption},
    }};
    Run(*this, kOwn, property);
}

QString LabelView::AccessibleName() const {
    const QString caption = QString::fromStdString(m_label.Caption()).simplified();
    return caption.isEmpty() ? ControlView::AccessibleName() : caption;
}

// A label in the system's face colour is the same as the form behind it: it lets its frame's own
// background show (a styled frame shades it), so that a box of labels reads as one surface. A
// colour of its own marks the label out, and is painted.
void LabelView::ApplyBackground() {
    m_text->setAutoFillBackground(!colors::IsSystemColor(m_label.BackColor()));
}

void LabelView::ApplyCaption() {
    const QString caption = QString::fromStdString(m_label.Caption());
    m_text->setText(WrapWords(caption, m_text->fontMetrics(), m_text->contentsRect().width()).value_or(caption));
}

}  // namespace vor
