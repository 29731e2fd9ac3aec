#pragma once

#include <cstdint>
#include <optional>

#include "vormotor/toolkit/Control.h"
#include "vormotor/toolkit/Variant.h"

namespace vor::editors {

// What the two editor controls share.
class EditorSupport {
public:
    // Input to a control the user cannot reach (hidden or inoperable) is an error of the
    // front-end, not an input the editor refuses.
    static void CheckReachable(const Control& control);

    // The stored parameter number: empty when none is set.
    static Variant ParameterToVariant(const std::optional<std::int32_t>& parameter);
    static std::optional<std::int32_t> ParameterFromVariant(const Variant& value);
};

}  // namespace vor::editors
