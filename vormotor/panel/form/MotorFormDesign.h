#pragma once

#include <span>

#include "vormotor/panel/form/ControlDesign.h"

namespace vor {

// The motor settings panel as designed: its 40 controls in creation order.
std::span<const ControlDesign> MotorFormControls();

inline constexpr float kMotorFormDesignWidth = 12285;
inline constexpr float kMotorFormDesignHeight = 5460;

}  // namespace vor
