#pragma once

#include <string>

namespace vor {

// What a registry call's result code means, in words a user can act on ("the disk is full").
std::string ResultText(long result);

}  // namespace vor
