#pragma once

#include <QLabel>
#include <QLineEdit>

#include "vormotor/editors/TarvineEditor.h"
#include "vormotor/qt/ControlView.h"

namespace vor {

// The parameter editor: its caption beside an edit field of the editor's width; a caption too
// long for the room left of the field ends in an ellipsis. Confirming an edit (Return, or leaving
// a changed field) hands the text to the editor; a refused edit shows the editor's message at
// the field, and the field shows the editor's text again.
class TarvineView final : public ControlView {
public:
    TarvineView(PanelView& panel, TarvineEditor& editor, QWidget* container);

    std::vector<QWidget*> FocusWidgets() const override { return {m_field}; }
    QLineEdit* Field() const noexcept { return m_field; }
    QLabel* CaptionLabel() const noexcept { return m_caption; }

protected:
    void ApplyOwn(std::string_view property) override;
    QString AccessibleName() const override;

private:
    void ApplyCaption();
    void FitCaption();
    // The caption's room: what the field and the gap leave of the editor's width.
    int CaptionRoom() const;
    // The other editors in the same container.
    std::vector<TarvineView*> Neighbours() const;
    void ApplyCaptionFont();
    void ApplyText();
    void ApplyMessage();
    void ApplyEditorWidth();
    void Confirmed();

    TarvineEditor& m_editor;
    QLabel* m_caption;
    QLineEdit* m_field;
};

}  // namespace vor
