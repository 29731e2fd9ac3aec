#pragma once

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "vormotor/editors/TarvineEditor.h"
#include "vormotor/qt/ControlView.h"

namespace vor::qt {

// The parameter editor: its caption beside an edit field of the editor's width, on as many lines
// as the editor's height holds; a caption that needs more goes above the field, over the editor's
// whole width, and the editor grows downwards by its lines. No caption is cut. Confirming an edit
// (Return, or leaving a changed field) hands the text to the editor; a refused edit shows the
// editor's message at the field, and the field shows the editor's text again.
class TarvineView final : public ControlView {
public:
    TarvineView(PanelView& panel, editors::TarvineEditor& editor, QWidget* container);

    std::vector<QWidget*> FocusWidgets() const override { return {m_field}; }
    QLineEdit* Field() const noexcept { return m_field; }
    QLabel* CaptionLabel() const noexcept { return m_caption; }
    int ContentHeight() const override { return m_contentHeight; }

protected:
    void ApplyOwn(std::string_view property) override;
    QString AccessibleName() const override;

private:
    void ApplyCaption();
    // The caption's room beside the field: what the field and the gap leave of the editor's width.
    int CaptionRoom() const;
    void ApplyCaptionFont();
    void ApplyText();
    void ApplyMessage();
    void ApplyEditorWidth();
    void Confirmed();

    editors::TarvineEditor& m_editor;
    QBoxLayout* m_layout;
    QLabel* m_caption;
    QLineEdit* m_field;
    int m_contentHeight = 0;  // with the caption above the field; 0 beside it
};

}  // namespace vor::qt
