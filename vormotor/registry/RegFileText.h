#pragma once

#include <stdexcept>
#include <string>

namespace vor {

// A file that cannot be turned into text in the code page of the registry calls, or back.
struct RegFileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The text of a .reg file as CRegistry reads it: files in UTF-16LE with a byte-order mark, as the
// registry editor writes them, are converted to the code page of the registry calls (the system's
// ANSI code page on Windows, UTF-8 elsewhere); a UTF-8 byte-order mark is dropped; anything else is
// taken as it is. A file whose lines all end in a bare line feed gets CR LF line ends. Raises
// RegFileError, naming the line, for text the code page cannot hold, and for UTF-16 files in big-endian
// byte order or without a byte-order mark.
std::string RegFileText(std::string bytes);

// The bytes of a .reg file for text in the code page of the registry calls: the text itself, or with
// utf16 set UTF-16LE with a byte-order mark, the registry editor's own form. Raises RegFileError,
// naming the line, for text that is not valid in the code page.
std::string RegFileBytes(std::string text, bool utf16);

}  // namespace vor
