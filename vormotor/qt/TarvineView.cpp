#include "vormotor/qt/TarvineView.h"

#include <QHBoxLayout>
#include <QToolTip>

#include "vormotor/qt/PanelView.h"
#include "vormotor/qt/QtLook.h"
#include "vormotor/qt/TextFit.h"

namespace vor {
namespace {

constexpr int kCaptionGap = 4;

}  // namespace

TarvineView::TarvineView(PanelView& panel, TarvineEditor& editor, QWidget* container)
    : ControlView(panel, editor, new QWidget(container)),
      m_editor(editor),
      m_caption(new QLabel(Widget())),
      m_field(new QLineEdit(Widget())) {
    auto* layout = new QHBoxLayout(Widget());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kCaptionGap);
    m_caption->setTextFormat(Qt::PlainText);
    // The field keeps its width and place whatever the caption's length: the caption gives way.
    m_caption->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(m_caption, 1);
    layout->addWidget(m_field);
    QObject::connect(m_field, &QLineEdit::editingFinished, Receiver(), [this] { Confirmed(); });
}

void TarvineView::ApplyOwn(std::string_view property) {
    static constexpr std::array<Handler<TarvineView>, 6> kOwn{{
        {"captionfont", &TarvineView::ApplyCaptionFont},
        {"editorwidth", &TarvineView::ApplyEditorWidth},
        {"Caption", &TarvineView::ApplyCaption},
        {"Width", &TarvineView::ApplyCaption},
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

// The editors beside this one may now have to cut their captions differently.
void TarvineView::ApplyCaption() {
    FitCaption();
    m_field->setAccessibleName(QString::fromStdString(m_editor.Caption()));
    for (TarvineView* neighbour : Neighbours()) {
        neighbour->FitCaption();
    }
}

void TarvineView::FitCaption() {
    QStringList neighbours;
    for (const TarvineView* neighbour : Neighbours()) {
        neighbours.append(QString::fromStdString(neighbour->m_editor.Caption()));
    }
    const QString caption = QString::fromStdString(m_editor.Caption());
    m_caption->setText(Fitted(caption, FitAmong(caption, neighbours, m_caption->fontMetrics(), CaptionRoom())));
}

std::vector<TarvineView*> TarvineView::Neighbours() const {
    std::vector<TarvineView*> neighbours;
    for (ControlView* view : Panel().ViewsIn(m_editor.Container())) {
        if (auto* editor = dynamic_cast<TarvineView*>(view); editor != nullptr && editor != this) {
            neighbours.push_back(editor);
        }
    }
    return neighbours;
}

void TarvineView::ApplyCaptionFont() {
    m_caption->setFont(ToQFont(m_editor.CaptionFont()));
    ApplyCaption();
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
    ApplyCaption();
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
