#include "vormotor/registry/RegFileText.h"

#include <optional>
#include <string_view>
#include <utility>

#include "vormotor/registry/Utf16Text.h"

namespace vor {

namespace {

constexpr std::string_view Utf16Mark = "\xFF\xFE";
constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LineFeed("\n\0", 2);
constexpr std::string_view Utf16BigEndianMark = "\xFE\xFF";

// Text files of 16-bit units without the byte-order mark the registry editor writes: ASCII text in either byte order
// shows as a NUL beside each of its first characters.
std::optional<std::string> UnsupportedEncoding(std::string_view bytes) {
    if (bytes.starts_with(Utf16BigEndianMark)) {
        return "the file is UTF-16 big-endian; save it as UTF-16 little-endian (as the registry editor writes it) or "
               "as UTF-8";
    }
    if (bytes.size() >= 2 && (bytes[0] == '\0') != (bytes[1] == '\0')) {
        return "the file looks like UTF-16 without a byte-order mark; save it with one (as the registry editor "
               "writes it) or as UTF-8";
    }
    return std::nullopt;
}

// Line number (counted from 0, as in the registry's format errors) of the first line that does not convert.
template <typename Convert>
std::size_t FirstBadLine(std::string_view text, std::string_view lineFeed, std::size_t unit, Convert&& convert) {
    std::size_t line = 0;
    for (std::size_t start = 0; start < text.size(); ++line) {
        std::size_t end = text.find(lineFeed, start);
        while (end != std::string_view::npos && (end - start) % unit != 0) {
            end = text.find(lineFeed, end + 1);
        }
        end = end == std::string_view::npos ? text.size() : end + lineFeed.size();
        if (!convert(text.substr(start, end - start))) {
            return line;
        }
        start = end;
    }
    return line;
}

}  // namespace

// Takes the bytes by value: a file read for the purpose is moved in, and most files need no change.
std::string RegFileText(std::string bytes) {
    const std::string_view view(bytes);
    std::string text;
    if (std::optional<std::string> unsupported = UnsupportedEncoding(view)) {
        throw RegFileError(*unsupported);
    }
    if (view.starts_with(Utf16Mark)) {
        const std::string_view units = view.substr(Utf16Mark.size());
        std::optional<std::string> converted = FromUtf16Le(units);
        if (!converted) {
            const std::size_t line = FirstBadLine(units, Utf16LineFeed, 2, FromUtf16Le);
            throw RegFileError("Line " + std::to_string(line) +
                               " holds UTF-16 text that the registry's code page cannot hold");
        }
        text = std::move(*converted);
    } else {
        if (bytes.starts_with(Utf8Mark)) {
            bytes.erase(0, Utf8Mark.size());
        }
        text = std::move(bytes);
    }
    if (text.find('\r') != std::string::npos || text.find('\n') == std::string::npos) {
        return text;
    }
    std::string withCarriageReturns;
    withCarriageReturns.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') {
            withCarriageReturns += '\r';
        }
        withCarriageReturns += c;
    }
    return withCarriageReturns;
}

std::string RegFileBytes(std::string text, bool utf16) {
    if (!utf16) {
        return text;
    }
    const std::optional<std::string> units = ToUtf16Le(text);
    if (!units) {
        const std::size_t line = FirstBadLine(text, "\n", 1, ToUtf16Le);
        throw RegFileError("Line " + std::to_string(line) + " is not valid text in the registry's code page");
    }
    return std::string(Utf16Mark) + *units;
}

}  // namespace vor
