#pragma once

#include <nlohmann/json.hpp>

#include "vormotor/toolkit/Control.h"

namespace vor::host {

// One control as the host's dump shows it: identity, text, state, geometry, look, and the
// list items or line ends where the control has them.
nlohmann::ordered_json ControlJson(Control& control);

// Whole twips print as integers.
nlohmann::ordered_json Twips(float value);

}  // namespace vor::host
