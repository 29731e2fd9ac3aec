#pragma once

#include <string>

namespace vor {

// A value or key that a text image of a key tree does not carry as it is in the registry: either not in
// the image (left out of the typed image, or not reached by CRegistry's enumerations, which end at their
// first failing call), or written in a form that loads back differently (CRegistry's image writes a
// value of another type than string as text, which loads back as a string value).
struct UncarriedItem {
    // Root name, backslash, key path: the key of the value, or the key left out with its sub-tree.
    std::string key;
    // The value's name; empty for a default value and for a whole key.
    std::string value;
    bool wholeKey = false;
    // The image has a line for the value, in a form that does not load back as the value was.
    bool inImage = false;
    std::string reason;
};

}  // namespace vor
