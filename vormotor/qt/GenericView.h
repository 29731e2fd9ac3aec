#pragma once

#include "vormotor/qt/ControlView.h"

namespace vor::qt {

// A control of a kind the front-end does not draw: an empty widget in its place, so that the
// controls inside it still have a container.
class GenericView final : public ControlView {
public:
    GenericView(PanelView& panel, Control& control, QWidget* container);

protected:
    void ApplyOwn(std::string_view) override {}
};

}  // namespace vor::qt
