#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vor {

// One reason why the user cannot operate a control, in the words the panel shows, with the
// number of its wording in the component's string table.
struct EnableReason {
    std::int32_t id;
    std::string text;

    bool operator==(const EnableReason&) const = default;
};

// Just the words, for hosts that show them.
inline std::vector<std::string> ReasonTexts(const std::vector<EnableReason>& reasons) {
    std::vector<std::string> texts;
    for (const EnableReason& reason : reasons) {
        texts.push_back(reason.text);
    }
    return texts;
}

}  // namespace vor
