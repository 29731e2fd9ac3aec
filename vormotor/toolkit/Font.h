#pragma once

#include <string>

namespace vor {

struct Font {
    std::string name = "Arial";
    float size = 8.25f;  // points
    bool bold = false;
    bool italic = false;

    bool operator==(const Font&) const = default;
};

}  // namespace vor
