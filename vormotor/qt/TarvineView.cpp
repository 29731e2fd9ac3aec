#include "vormotor/qt/TarvineView.h"

#include <QHBoxLayout>
#include <QToolTip>

#include "vormotor/qt/PanelView.h"
#include "vormotor/qt/QtLook.h"

namespace vor {

TarvineView::TarvineView(PanelView& panel, TarvineEditor& editor, QWidget* container)
    : ControlView(panel, editor, new QWidget(container)),
      m_editor(editor),
      m_caption(new QLabel(Widget())),
      m_field(new QLineEdit(Widget())) {
    auto* layout = new QHBoxLayout(Widget());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    m_caption->setTextFormat(Qt::PlainText);
    layout->addWidget(m_caption, 1);
    layout->addWidget(m_field);
    QObject::connect(m_field, &QLineEdit::editingFinished, m_field, [this] { Confirmed(); });
}

void TarvineView::ApplyOwn(std::string_view property) {
    static constexpr std::array<Handler<TarvineView>, 5> kOwn{{
        {"Caption", &TarvineView::ApplyCaption},
        {"captionfont", &TarvineView::ApplyCaptionFont},
        {"Text", &TarvineView::ApplyText},
        {"Message", &TarvineView::ApplyMessage},
        {"editorwidth", &TarvineView::ApplyEditorWidth},
    }};
    Run(*this, kOwn, property);
}

void TarvineView::ApplyCaption() {
    m_caption->setText(QString::fromStdString(m_editor.Caption()));
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
    m_field->setToolTip(QString::fromStdString(m_editor.Message()));
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

}  // namespace vor
