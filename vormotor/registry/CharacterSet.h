#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace vor::image {

// A few characters looked up by table: one pass over a short text finds the first of any of them
// at a few instructions a character, where a search per character kind costs a call each.
class CharacterSet {
public:
    constexpr explicit CharacterSet(std::string_view members) {
        for (char c : members) {
            m_members[static_cast<unsigned char>(c)] = true;
        }
    }

    // Where the first member is in text at or after from; npos when there is none.
    constexpr std::size_t FindIn(std::string_view text, std::size_t from = 0) const {
        if (from >= text.size()) {
            return std::string_view::npos;
        }
        const auto found = std::find_if(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(),
                                        [this](char c) { return m_members[static_cast<unsigned char>(c)]; });
        return found == text.end() ? std::string_view::npos : static_cast<std::size_t>(found - text.begin());
    }

private:
    std::array<bool, 256> m_members{};
};

}  // namespace vor::image
