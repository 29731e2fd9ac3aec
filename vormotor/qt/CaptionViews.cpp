// The views of the plain kinds: frames, labels and controls the front-end does not draw.
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <algorithm>

#include "vormotor/qt/FrameView.h"
#include "vormotor/qt/GenericView.h"
#include "vormotor/qt/LabelView.h"
#include "vormotor/qt/TextFit.h"

namespace vor {
namespace {

// The room for a group box's title: the style places it with a margin on the left, and the same
// margin is kept on the right.
int TitleRoom(const QGroupBox& box, const QString& title) {
    QStyleOptionGroupBox option;
    option.initFrom(&box);
    option.text = title;
    option.textAlignment = box.alignment();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    const QRect label = box.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &box);
    const int padding = label.width() - box.fontMetrics().horizontalAdvance(title);
    return box.width() - 2 * std::max(0, label.left()) - padding;
}

}  // namespace

GenericView::GenericView(PanelView& panel, Control& control, QWidget* container)
    : ControlView(panel, control, new QWidget(container)) {}

FrameView::FrameView(PanelView& panel, Frame& frame, QWidget* container)
    : ControlView(panel, frame, new QGroupBox(container)), m_frame(frame), m_box(static_cast<QGroupBox*>(Widget())) {}

void FrameView::ApplyOwn(std::string_view property) {
    static constexpr std::array<Handler<FrameView>, 4> kOwn{{
        {"Caption", &FrameView::ApplyCaption},
        {"Width", &FrameView::ApplyCaption},
        {"Font", &FrameView::ApplyCaption},
        {"FontBold", &FrameView::ApplyCaption},
    }};
    Run(*this, kOwn, property);
}

QString FrameView::AccessibleName() const {
    const QString caption = QString::fromStdString(m_frame.Caption()).trimmed();
    return caption.isEmpty() ? ControlView::AccessibleName() : caption;
}

void FrameView::ApplyCaption() {
    const QString caption = QString::fromStdString(m_frame.Caption());
    m_box->setTitle(Fitted(caption, FitLines(caption, m_box->fontMetrics(), TitleRoom(*m_box, caption))));
}

LabelView::LabelView(PanelView& panel, Label& label, QWidget* container)
    : ControlView(panel, label, new QLabel(container)), m_label(label), m_text(static_cast<QLabel*>(Widget())) {
    m_text->setTextFormat(Qt::PlainText);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_text->setWordWrap(true);
    m_text->setAutoFillBackground(true);
}

void LabelView::ApplyOwn(std::string_view property) {
    static constexpr std::array<Handler<LabelView>, 4> kOwn{{
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

void LabelView::ApplyCaption() {
    const QString caption = QString::fromStdString(m_label.Caption());
    m_text->setText(Fitted(caption, FitLines(caption, m_text->fontMetrics(), m_text->contentsRect().width())));
}

}  // namespace vor
