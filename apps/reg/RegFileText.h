#pragma once

#include <string>

namespace vor {

// The text of a .reg file as CRegistry reads it: files the registry editor writes in UTF-16LE
// (with a byte-order mark) are converted to the code page of the registry calls, the system's
// ANSI code page on Windows and UTF-8 elsewhere; a UTF-8 byte-order mark is dropped; anything else
// is taken as it is.
std::string RegFileText(const std::string& bytes);

}  // namespace vor
