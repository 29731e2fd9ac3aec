#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vor {

// Conversions between text in the code page of the registry calls (the ANSI code page on Windows,
// UTF-8 elsewhere) and UTF-16LE bytes, the form the registry editor uses for its own files and for
// the data of string-typed values written as hex bytes. A conversion that would have to replace or
// guess a character answers nothing, so no caller loses text without knowing it.
std::optional<std::string> ToUtf16Le(std::string_view text);
std::optional<std::string> FromUtf16Le(std::string_view bytes);

}  // namespace vor
