// The views of the plain kinds: frames, labels and controls the front-end does not draw.
#include <algorithm>

#include "vormotor/qt/FrameView.h"
#include "vormotor/qt/GenericView.h"
#include "vormotor/qt/LabelView.h"
#include "vormotor/qt/PanelView.h"
#include "vormotor/qt/TextFit.h"
#include "vormotor/toolkit/Colors.h"

namespace vor::qt {

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
    static constexpr std::array<Handler<LabelView>, 8> kOwn{{
        {"BackColor", &LabelView::ApplyBackground},
        {"Caption", &LabelView::ApplyCaption},
        {"Width", &LabelView::ApplyCaption},
        {"Font", &LabelView::ApplyCaption},
        {"FontBold", &LabelView::ApplyCaption},
        {"Caption", &LabelView::RealignSiblings},
        {"Font", &LabelView::RealignSiblings},
        {"FontBold", &LabelView::RealignSiblings},
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
    const QFontMetrics metrics = m_text->fontMetrics();
    m_text->setText(WrapWords(caption, metrics, m_text->contentsRect().width()).value_or(caption));
    // Only a label of several lines sets its frame's grid; its pitch is asked for at every move of a
    // sibling, and laying out text to find it is dear.
    m_linePitch = LineCountShown() < 2 ? 0
                                       : metrics.size(0, QStringLiteral("0\n0")).height() -
                                             metrics.size(0, QStringLiteral("0")).height();
}

QRect LabelView::Geometry() const {
    return ControlView::Geometry().translated(0, BaselineShift());
}

void LabelView::RealignSiblings() {
    for (LabelView* label : Siblings()) {
        label->ApplyGeometry();
    }
}

std::vector<LabelView*> LabelView::Siblings() const {
    std::vector<LabelView*> labels;
    for (ControlView* view : Panel().ViewsIn(m_label.Container())) {
        if (auto* label = dynamic_cast<LabelView*>(view)) {
            labels.push_back(label);
        }
    }
    return labels;
}

int LabelView::LineCountShown() const {
    return static_cast<int>(m_text->text().count(QLatin1Char('\n'))) + 1;
}

// Where the label's first line sits in its frame, as its twips place it.
int LabelView::FirstBaseline() const {
    return ControlView::Geometry().top() + m_text->contentsMargins().top() + m_text->fontMetrics().ascent();
}

int LabelView::BaselineShift() const {
    const LabelView* grid = this;
    for (const LabelView* label : Siblings()) {
        if (label->LineCountShown() > grid->LineCountShown()) {
            grid = label;
        }
    }
    if (grid == this || grid->LineCountShown() < 2) {
        return 0;
    }
    const int pitch = grid->m_linePitch;
    const int first = grid->FirstBaseline();
    const int mine = FirstBaseline();
    // The nearest of the grid's lines; a label beside none of them is not part of the table.
    const int row = std::clamp((mine - first + pitch / 2) / pitch, 0, grid->LineCountShown() - 1);
    const int shift = first + row * pitch - mine;
    return std::abs(shift) <= pitch / 2 ? shift : 0;
}

}  // namespace vor::qt
