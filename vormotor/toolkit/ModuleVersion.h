#pragma once

#include <cstdint>

namespace vor {

// A module's version as its resources carry it.
struct ModuleVersion {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t revision = 0;
};

}  // namespace vor
