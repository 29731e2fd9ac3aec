#pragma once

#include <QLabel>

#include "vormotor/qt/ControlView.h"
#include "vormotor/toolkit/Label.h"

namespace vor {

// A label: plain text, line feeds start new lines, its own background. A line too wide for the
// label ends in an ellipsis.
class LabelView final : public ControlView {
public:
    LabelView(PanelView& panel, Label& label, QWidget* container);

protected:
    void ApplyOwn(std::string_view property) override;
    QString AccessibleName() const override;

private:
    void ApplyCaption();

    Label& m_label;
    QLabel* m_text;
};

}  // namespace vor
