#pragma once

#include "vormotor/toolkit/Dispatch.h"

namespace vor {

// Decisions by a control's type name, compared exactly and case-sensitively.

// Controls a user types into or picks from.
bool IsInputControl(const Dispatch& control);
// Frames and the controls laid out like frames.
bool IsFrameLike(const Dispatch& control);
// What the layout shifts when it centres a container's frames.
bool IsMovableChild(const Dispatch& control);

}  // namespace vor
