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

// Names hosts know from before this module had a namespace of its own (generated; keep).
namespace vor {
using valuelib::CallSite;
}  // namespace vor
// End of the names hosts know.
