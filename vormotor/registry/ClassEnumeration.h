#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vormotor/regapi/RegistryApi.h"

// One step of CRegistry's own enumerations, with the buffers the class gives the registry calls, for
// EnumerateValues and EnumerateSections and for the text image walk, which ends where they end.
namespace vor::class_enumeration {

// String data are read into a buffer of StringBufferLength characters, StringBufferOffered of them
// offered to the registry; sub-key names into a buffer of NameBufferLength characters.
inline constexpr std::uint32_t StringBufferLength = 10000;
inline constexpr std::uint32_t StringBufferOffered = 9999;
inline constexpr std::uint32_t NameBufferLength = 255;

// Queries a value by name into the string buffer; on success text is the data without a trailing NUL.
long QueryString(RegistryApi& api, RegHandle key, const std::string& name, std::string& text);

// data without a trailing NUL: the text the class answers for it.
std::string TextOf(std::string_view data);

// The longest value name the key reports; 0 when it cannot be asked.
std::uint32_t LongestValueName(RegistryApi& api, RegHandle key);

struct Value {
    std::string name;
    std::uint32_t type = 0;
    // The data as the registry gave it; empty for data that could not be read.
    std::string data;
};

// What one index of the value enumeration gave: a value; a value whose data could not be read, after
// which the enumeration ends; or the end, at the first call that failed. result is that call's code.
enum class Step { Value, UnreadData, End };
Step ValueAt(RegistryApi& api, RegHandle key, std::uint32_t index, std::uint32_t longestName, Value& value,
             long& result);

// Sub-key index's name, up to its first NUL; answers the call's code, the enumeration ending at the
// first that is not a success.
long SubKeyAt(RegistryApi& api, RegHandle key, std::uint32_t index, std::string& name);

}  // namespace vor::class_enumeration
