#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "vormotor/registry/UncarriedItem.h"

namespace vor {

// The value lines of CRegistry's own image, which carries string values only: "name"="text" with every
// backslash of the text doubled, the name and the rest of the text as they are. A value of another
// type is written as a text (see TextOfValue) that LoadRegistry writes back as a string value. Every
// line is written; one that LoadRegistry does not bring back as it was (another type, a line break in
// its name or text, a '=' in its name, a default value, a line over its limit) is reported. Fits
// TextImageWriter's ValueLineForm.
std::optional<UncarriedItem> AppendStringImageLine(std::string& text, std::string_view name, std::uint32_t type,
                                                   std::string_view data);

// The text a value stands for in the image: a string's text without its terminating NUL; an
// expandable string's text as it is, unexpanded; a multi-string's strings joined by the two
// characters \0; a DWORD, big-endian DWORD or QWORD as an unsigned decimal number; anything else
// (binary data, other types, numbers of the wrong size) as its bytes in two-digit lowercase hex,
// separated by commas.
std::string TextOfValue(std::uint32_t type, std::string_view data);

}  // namespace vor
