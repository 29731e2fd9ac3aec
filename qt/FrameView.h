#pragma once

#include <QGroupBox>

#include "qt/ControlView.h"
#include "toolkit/Frame.h"

namespace vor {

// A frame as a group box with its caption.
class FrameView final : public ControlView {
public:
    FrameView(PanelView& panel, Frame& frame, QWidget* container);

protected:
    void ApplyOwn(std::string_view property) override;

private:
    void ApplyCaption();

    Frame& m_frame;
    QGroupBox* m_box;
};

}  // namespace vor
