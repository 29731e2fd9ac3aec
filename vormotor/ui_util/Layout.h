#pragma once

#include <vector>

#include "vormotor/toolkit/Control.h"

namespace vor {

// Shifts the frame-like children of a container to the right so that their span is centred in
// it, or, when they form a single column, so that the column starts 350 twips from its left
// edge. Frames never move left. `controls` is the form's whole collection, in creation order.
void CenterFrames(const std::vector<Control*>& controls, const Control& container);

}  // namespace vor
