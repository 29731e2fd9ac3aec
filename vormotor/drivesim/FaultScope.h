#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vor::sim {

// Narrows an injected failure to the calls that concern one parameter, one field, or both.
struct FaultScope {
    std::optional<std::int32_t> param = std::nullopt;
    std::optional<std::string> field = std::nullopt;
};

}  // namespace vor::sim

// The names above as hosts know them, in vor.
namespace vor {
using sim::FaultScope;
}  // namespace vor
