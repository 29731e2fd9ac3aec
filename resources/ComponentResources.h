#pragma once

#include "toolkit/ModuleVersion.h"
#include "toolkit/StringTable.h"

namespace vor {

// The string table the component carries (the strings its panel loads) and its version.
const StringTable& ComponentStrings();
ModuleVersion ComponentVersion();

}  // namespace vor
