#pragma once

#include <QLabel>

#include "vormotor/qt/ControlView.h"
#include "vormotor/toolkit/Label.h"

namespace vor {

// A label: plain text, line feeds start new lines, and a line too wide for the label goes on in
// the next line, broken at a blank; no word is cut.
class LabelView final : public ControlView {
public:
    LabelView(PanelView& panel, Label& label, QWidget* container);

protected:
    void ApplyOwn(std::string_view property) override;
    QString AccessibleName() const override;

private:
    void ApplyBackground();
    void ApplyCaption();

    Label& m_label;
    QLabel* m_text;
};

}  // namespace vor
