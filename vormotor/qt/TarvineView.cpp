#include "vormotor/qt/TarvineView.h"

#include <QToolTip>

#include "vormotor/qt/PanelView.h"
#include "vormotor/qt/QtLook.h"
#include "vormotor/qt/TextFit.h"
#include "vormotor/qt/YieldingCaption.h"

namespace vor::qt {
namespace {

constexpr int kCaptionGap = 4;

}  // namespace

TarvineView::TarvineView(PanelView& panel, editors::TarvineEditor& editor, QWidget* container)
    : ControlView(panel, editor, new QWidget(container)),
      m_editor(editor),
      m_layout(new QBoxLayout(QBoxLayout::LeftToRight, Widget())),
      m_caption(new YieldingCaption(Widget())),
      m_field(new QLineEdit(Widget())) {
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(kCaptionGap);
    m_caption->setTextFormat(Qt::PlainText);
    // The field keeps its width and place whatever the caption's length: the caption gives way.
    m_layout->addWidget(m_caption, 1);
    m_layout->addWidget(m_field, 0, Qt::AlignRight);
    QObject::connect(m_field, &QLineEdit::editingFinished, Receiver(), [this] { Confirmed(); });
}

void TarvineView::ApplyOwn(std::string_view property) {
    // The caption is laid out after the font and the field's width it depends on; all
    // properties at once lay it out once.
    static constexpr std::array<Handler<TarvineView>, 9> kOwn{{
        {"captionfont", &TarvineView::ApplyCaptionFont},
        {"editorwidth", &TarvineView::ApplyEditorWidth},
        {"captionfont", &TarvineView::ApplyCaption},
        {"editorwidth", &TarvineView::ApplyCaption},
        {"Caption", &TarvineView::ApplyCaption},
        {"Width", &TarvineView::ApplyCaption},
        {"Height", &TarvineView::ApplyCaption},
        {"Text", &TarvineView::ApplyText},
        {"Message", &TarvineView::ApplyMessage},
    }};
    Run(*this, kOwn, property);
}

QString TarvineView::AccessibleName() const {
    return QString::fromStdString(m_editor.Caption());
}

int TarvineView::CaptionRoom() const {
    return Geometry().width() - kCaptionGap - m_field->width();
}

void TarvineView::ApplyCaption() {
    const QString caption = QString::fromStdString(m_editor.Caption());
    m_field->setAccessibleName(caption);
    const QFontMetrics metrics = m_caption->fontMetrics();
    const int height = Geometry().height();
    const auto beside = WrapWords(caption, metrics, CaptionRoom());
    if (beside && metrics.size(0, *beside).height() <= height) {
        m_layout->setDirection(QBoxLayout::LeftToRight);
        m_caption->setText(*beside);
        m_contentHeight = 0;
    } else {
        const QString above = WrapWords(caption, metrics, Geometry().width()).value_or(caption);
        m_layout->setDirection(QBoxLayout::TopToBottom);
        m_caption->setText(above);
        m_contentHeight = metrics.size(0, above).height() + kCaptionGap + height;
    }
    m_layout->setStretchFactor(m_caption, m_contentHeight == 0 ? 1 : 0);
    m_caption->setFixedHeight(m_contentHeight == 0 ? height : m_contentHeight - kCaptionGap - height);
    m_field->setFixedHeight(std::min(height, m_field->sizeHint().height()));
    Panel().FitHeights();
}

void TarvineView::ApplyCaptionFont() {
    m_caption->setFont(ToQFont(m_editor.CaptionFont()));
}

void TarvineView::ApplyText() {
    m_field->setText(QString::fromStdString(m_editor.Text()));
    // A number too long for the field shows its leading digits.
    m_field->setCursorPosition(0);
}

void TarvineView::ApplyMessage() {
    ToolTips().message = QString::fromStdString(m_editor.Message());
    ApplyToolTip();
}

void TarvineView::ApplyEditorWidth() {
    m_field->setFixedWidth(Panel().Scale().ToPixelsX(m_editor.EditorWidth()));
}

void TarvineView::Confirmed() {
    // Leaving the field without typing is not an edit.
    if (!m_field->isModified()) {
        return;
    }
    m_field->setModified(false);
    bool written = false;
    Guarded("Tarvine edit", [&] { written = m_editor.UserEdit(m_field->text().toStdString()); });
    // A refused text is not kept, and an accepted one shows as the editor formats it.
    ApplyText();
    if (!written) {
        QToolTip::showText(m_field->mapToGlobal(QPoint(0, m_field->height())),
                           QString::fromStdString(m_editor.Message()), m_field);
    }
}

}  // namespace vor::qt
