#pragma once

#include <span>

#include "vormotor/panel/form/ControlDesign.h"
#include "vormotor/toolkit/Form.h"

namespace vor {

// Class names under which the editor controls are registered (toolkit ControlClasses).
inline constexpr const char* kTarvineClass = "TarvineCtl.Tarvine";
inline constexpr const char* kSorvaneClass = "SorvaneCtl.Sorvane";

// Creates the designed controls on a form, in the order given; a container must come before the
// controls it holds. Controls without a font of their own get the panel surface's font.
void BuildForm(Form& form, std::span<const ControlDesign> design);

}  // namespace vor
