#pragma once

#include <cstdint>
#include <string_view>

namespace vor {

[[noreturn]] void ThrowUnknownProperty(std::string_view typeName, std::string_view property);
[[noreturn]] void ThrowReadOnlyProperty(std::string_view typeName, std::string_view property);
[[noreturn]] void ThrowIndexOutOfRange(std::string_view typeName, std::string_view property, std::int32_t index);

}  // namespace vor
