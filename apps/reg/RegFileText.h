#pragma once

#include <string>

namespace vor {

// The text of a .reg file as CRegistry reads it: files the registry editor writes in UTF-16LE
// (with a byte-order mark) are converted to the code page of the registry calls, the system's
// ANSI code page on Windows and UTF-8 elsewhere; a UTF-8 byte-order mark is dropped; anything else
// is taken as it is.
std::string RegFileText(const std::string& bytes);

// The text without value lines of other types than string ("name"=dword:..., "name"=hex(2):...),
// which the text layout of CRegistry cannot carry and would take for strings.
std::string StringValuesOnly(const std::string& text);

}  // namespace vor
