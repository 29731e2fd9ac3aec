#pragma once

#include <memory>
#include <string>

#include "vormotor/contracts/UIuserControl.h"

namespace vor {

// Creation of the component's pages by class name, as a host creates an embedded control.
inline constexpr const char* kMotorFormClass = "VorMotorCtl.MotorForm";

// Raises "Can't create object" for a class the component does not have.
std::shared_ptr<UIuserControl> CreatePanel(const std::string& className);

}  // namespace vor
