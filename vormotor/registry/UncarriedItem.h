#pragma once

#include <string>

namespace vor {

// A value or key that SaveRegistry could not put into its text image in a form LoadRegistry reads
// back. Left out of the image, except a key's default value, which the image writes as the layout
// demands although LoadRegistry stops at it.
struct UncarriedItem {
    // Root name, backslash, key path: the key of the value, or the key left out with its sub-tree.
    std::string key;
    // The value's name; empty for a default value and for a whole key.
    std::string value;
    bool wholeKey = false;
    std::string reason;
};

}  // namespace vor
