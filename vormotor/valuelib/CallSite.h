#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "vormotor/valuelib/Operation.h"

namespace vor::valuelib {

// Names one call into the value library or the drive: the operation (Field.SetValue), and the
// parameter and field it concerns when it concerns one.
struct CallSite {
    OperationId operation;
    std::optional<std::int32_t> param = std::nullopt;
    std::string_view field = {};
};

}  // namespace vor::valuelib

// The names above as hosts know them, in vor.
namespace vor {
using valuelib::CallSite;
}  // namespace vor
