#pragma once

#include <QGroupBox>

#include "vormotor/qt/ControlView.h"
#include "vormotor/toolkit/Frame.h"

namespace vor::qt {

// A frame as a group box with its caption, whole.
class FrameView final : public ControlView {
public:
    FrameView(PanelView& panel, Frame& frame, QWidget* container);

protected:
    void ApplyOwn(std::string_view property) override;
    QString AccessibleName() const override;

private:
    void ApplyCaption();

    Frame& m_frame;
    QGroupBox* m_box;
};

}  // namespace vor::qt
