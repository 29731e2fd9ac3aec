#pragma once

#include <cstdint>
#include <string>

namespace vor {

// One reason why the user cannot operate a control, in the words the panel shows, with the
// number of its wording in the component's string table.
struct EnableReason {
    std::int32_t id;
    std::string text;

    bool operator==(const EnableReason&) const = default;
};

}  // namespace vor
