#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vor::script {

// The drive profiles compiled into the programs, by name ("servo", "stepper").
std::optional<std::string_view> BuiltinProfile(std::string_view name);
std::vector<std::string> BuiltinProfileNames();

}  // namespace vor::script
