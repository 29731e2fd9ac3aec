#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace vor::store {

// Only ASCII letters fold: the store keeps bytes, not characters of any one code page.
inline char FoldChar(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string Fold(std::string_view name) {
    std::string folded(name.size(), '\0');
    for (std::size_t i = 0; i < name.size(); ++i) {
        folded[i] = FoldChar(name[i]);
    }
    return folded;
}

inline bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldChar(a[i]) != FoldChar(b[i])) {
            return false;
        }
    }
    return true;
}

// Orders a name by its folded bytes, as the store sorts sub-keys, against a name already folded.
inline int CompareFolded(std::string_view name, std::string_view folded) {
    const std::size_t common = std::min(name.size(), folded.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto a = static_cast<unsigned char>(FoldChar(name[i]));
        const auto b = static_cast<unsigned char>(folded[i]);
        if (a != b) {
            return a < b ? -1 : 1;
        }
    }
    return name.size() < folded.size() ? -1 : name.size() > folded.size() ? 1 : 0;
}

}  // namespace vor::store
