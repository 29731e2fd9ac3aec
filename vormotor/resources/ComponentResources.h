#pragma once

#include "vormotor/toolkit/ModuleVersion.h"
#include "vormotor/toolkit/StringTable.h"

namespace vor {

// The string table the component carries (the strings its panel loads) and its version.
const StringTable& ComponentStrings();
ModuleVersion ComponentVersion();

}  // namespace vor
