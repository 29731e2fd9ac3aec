#pragma once

#include "vormotor/toolkit/CaptionedControl.h"

namespace vor {

// A captioned group box that contains other controls.
class Frame final : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;

    std::string TypeName() const override { return "Frame"; }
};

}  // namespace vor
