#pragma once

#include "vormotor/qt/ControlView.h"
#include "vormotor/qt/LineWidget.h"
#include "vormotor/toolkit/Line.h"

namespace vor::qt {

// A line in its colour and width (the width in pixels, as the toolkit draws borders). It lies
// behind the other controls of its container.
class LineView final : public ControlView {
public:
    LineView(PanelView& panel, Line& line, QWidget* container);

    QRect Geometry() const override;

protected:
    void ApplyOwn(std::string_view property) override;

private:
    void ApplyLine();
    // In pixels of the container.
    QLine EndPoints() const;

    Line& m_line;
    LineWidget* m_widget;
};

}  // namespace vor::qt
