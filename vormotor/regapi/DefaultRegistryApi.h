#pragma once

#include <memory>

#include "vormotor/regapi/RegistryApi.h"

namespace vor {

// The registry of this build: the platform registry on Windows, the portable store (at its default
// location) elsewhere. Created on first use and shared. Declared here, below every back end, and
// defined by the one back end a build links (vor_registry's on Windows, vor_regstore elsewhere), so
// the registry class calls it without knowing the back ends and no back end knows the class.
std::shared_ptr<RegistryApi> DefaultRegistryApi();

}  // namespace vor
