#pragma once

#include <string>

namespace vor {

// Where a module's file lies: its directory (no trailing separator) and its file name without
// the extension.
struct ModuleLocation {
    std::string directory;
    std::string baseName;

    // The module (executable or shared library) that contains the given code address.
    static ModuleLocation Containing(const void* address);
};

}  // namespace vor
