#pragma once

#include <QLabel>

#include "vormotor/qt/ControlView.h"
#include "vormotor/toolkit/Label.h"

namespace vor::qt {

// A label: plain text, line feeds start new lines, and a line too wide for the label goes on in
// the next line, broken at a blank; no word is cut. Labels in one frame write on one baseline
// grid, the lines of the label with the most of them: names and values side by side read as
// rows, whatever their fonts.
class LabelView final : public ControlView {
public:
    LabelView(PanelView& panel, Label& label, QWidget* container);

    QRect Geometry() const override;

protected:
    void ApplyOwn(std::string_view property) override;
    QString AccessibleName() const override;

private:
    void ApplyBackground();
    void ApplyCaption();
    // Moves the labels of this frame onto the grid again, after a text or a font changed.
    void RealignSiblings();
    // The labels in the same frame as this one, itself included.
    std::vector<LabelView*> Siblings() const;
    // How far the label moves down (up when negative) to put its first baseline on the grid.
    int BaselineShift() const;
    int FirstBaseline() const;
    int LineCountShown() const;

    Label& m_label;
    QLabel* m_text;
    int m_linePitch = 0;  // from one line's baseline to the next, while the label shows several
};

}  // namespace vor::qt
