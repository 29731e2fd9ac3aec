#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "vormotor/regapi/RegistryApi.h"

namespace vor {

// vormotor-reg's list: the key's sub-keys as [name], one a line, then its values as name=data. A
// string value whose text holds no control character shows as that text; every other value in the
// registry editor's notation on one line (dword:0000000a, hex:00,ff, hex(N): with text types as
// UTF-16LE), so no raw byte reaches the terminal. Names and data are read whole, so no length ends the
// listing. Raises vor::Error, naming keyName, when the registry refuses a listing; answers the names
// of the values it could not show (text the registry's code page cannot hold).
std::vector<std::string> ListKey(RegistryApi& api, RegHandle key, const std::string& keyName, std::ostream& out);

}  // namespace vor
