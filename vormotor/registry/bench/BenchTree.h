#pragma once

#include <string>

namespace vor::registry_bench {

// The text image of a tree of `keys` keys below HKEY_CURRENT_USER\<root>, in groups of 100
// sibling keys, each with ten string values (a tenth of them with backslashes to double).
std::string TreeImage(const std::string& root, int keys);

}  // namespace vor::registry_bench
