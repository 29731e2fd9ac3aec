#pragma once

#include "vormotor/toolkit/CaptionedControl.h"

namespace vor {

// Static text; line feeds in the caption start new lines.
class Label final : public CaptionedControl {
public:
    using CaptionedControl::CaptionedControl;

    std::string TypeName() const override { return "Label"; }
};

}  // namespace vor
