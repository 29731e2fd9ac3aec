#include "vormotor/registry/StringImageForm.h"

#include <algorithm>
#include <array>

#include "vormotor/regapi/RegistryApi.h"
#include "vormotor/registry/ImageForm.h"

namespace vor {

namespace {

using image::LineEnd;
constexpr std::string_view MultiStringSeparator = "\\0";
constexpr std::string_view HexDigits = "0123456789abcdef";

struct TypeName {
    std::uint32_t type;
    std::string_view name;
};
constexpr std::array<TypeName, 12> TypeNames{{
    {0, "REG_NONE"},
    {reg::Sz, "REG_SZ"},
    {reg::ExpandSz, "REG_EXPAND_SZ"},
    {reg::Binary, "REG_BINARY"},
    {reg::Dword, "REG_DWORD"},
    {5, "REG_DWORD_BIG_ENDIAN"},
    {6, "REG_LINK"},
    {reg::MultiSz, "REG_MULTI_SZ"},
    {8, "REG_RESOURCE_LIST"},
    {9, "REG_FULL_RESOURCE_DESCRIPTOR"},
    {10, "REG_RESOURCE_REQUIREMENTS_LIST"},
    {11, "REG_QWORD"},
}};

std::string NameOfType(std::uint32_t type) {
    const auto* found =
        std::find_if(TypeNames.begin(), TypeNames.end(), [&](const TypeName& t) { return t.type == type; });
    return found == TypeNames.end() ? "type " + std::to_string(type) : std::string(found->name);
}

// Types whose text is their data as it is.
bool IsStringType(std::uint32_t type) {
    return type == reg::Sz || type == reg::ExpandSz;
}

std::string Decimal(std::string_view data, bool bigEndian) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const auto byte = static_cast<unsigned char>(data[bigEndian ? i : data.size() - 1 - i]);
        value = value << 8 | byte;
    }
    return std::to_string(value);
}

std::string HexBytes(std::string_view data) {
    std::string text;
    text.reserve(data.size() * 3);
    for (char c : data) {
        const auto byte = static_cast<unsigned char>(c);
        if (!text.empty()) {
            text += ',';
        }
        text += HexDigits[byte >> 4];
        text += HexDigits[byte & 0xF];
    }
    return text;
}

// The list ends with an empty string: the NUL of its last string and the list's own NUL.
std::string MultiStringText(std::string_view data) {
    const std::string_view strings = image::WithoutTerminatingNul(image::WithoutTerminatingNul(data));
    std::string text;
    for (char c : strings) {
        if (c == '\0') {
            text += MultiStringSeparator;
        } else {
            text += c;
        }
    }
    return text;
}

// Appends the line "name"="text", every backslash of the text doubled, and its line end, written into
// room made for it at once: a save writes line after line, and appending piece by piece checks the room
// at every piece. Answers the line's length without its end.
std::size_t AppendLine(std::string& text, std::string_view name, std::string_view value) {
    const std::size_t start = text.size();
    // Room for every character of the text doubled; what is not used is given back at the end.
    text.resize(start + name.size() + 2 * value.size() + 7);
    char* out = text.data() + start;
    const auto put = [&](std::string_view piece) { out = std::copy(piece.begin(), piece.end(), out); };
    put("\"");
    put(name);
    put("\"=\"");
    for (std::size_t from = 0;;) {
        const std::size_t backslash = value.find('\\', from);
        put(value.substr(from, backslash - from));
        if (backslash == std::string_view::npos) {
            break;
        }
        put("\\\\");
        from = backslash + 1;
    }
    put("\"");
    const auto length = static_cast<std::size_t>(out - (text.data() + start));
    put(LineEnd);
    text.resize(static_cast<std::size_t>(out - text.data()));
    return length;
}

}  // namespace

std::string TextOfValue(std::uint32_t type, std::string_view data) {
    constexpr std::uint32_t DwordBigEndian = 5;
    constexpr std::uint32_t Qword = 11;
    if (IsStringType(type)) {
        return std::string(image::WithoutTerminatingNul(data));
    }
    if (type == reg::MultiSz) {
        return MultiStringText(data);
    }
    if ((type == reg::Dword || type == DwordBigEndian) && data.size() == 4) {
        return Decimal(data, type == DwordBigEndian);
    }
    if (type == Qword && data.size() == 8) {
        return Decimal(data, false);
    }
    return HexBytes(data);
}

std::optional<UncarriedItem> AppendStringImageLine(std::string& text, std::string_view name, std::uint32_t type,
                                                   std::string_view data) {
    // A string's text is the data itself: no copy for the values nearly every image consists of.
    const bool isString = IsStringType(type);
    const std::string otherTypesText = isString ? std::string() : TextOfValue(type, data);
    const std::string_view value = isString ? image::WithoutTerminatingNul(data) : std::string_view(otherTypesText);
    const std::size_t lineLength = AppendLine(text, name, value);
    const auto loadsBack = [&](std::string reason) {
        return UncarriedItem{"", std::string(name), false, true, std::move(reason)};
    };
    // LoadRegistry cuts lines at CR LF only, and a name at its first '='.
    if (name.find(LineEnd) != std::string_view::npos || value.find(LineEnd) != std::string_view::npos) {
        return loadsBack("its line holds a line break (CR LF), where LoadRegistry ends the line");
    }
    if (name.find('=') != std::string_view::npos) {
        return loadsBack("its name contains '=', where LoadRegistry ends the name");
    }
    // A read gives back a string without its last NUL, so a text that still ends with one comes back shorter.
    if (isString && !value.empty() && value.back() == '\0') {
        return loadsBack("its text ends with NUL, which reading it back takes for the string's end");
    }
    if (name.empty()) {
        return loadsBack("LoadRegistry stops at a key's default value");
    }
    if (lineLength > image::MaxLineLength) {
        return loadsBack("LoadRegistry refuses its line, longer than " + std::to_string(image::MaxLineLength) +
                         " bytes");
    }
    if (type != reg::Sz) {
        return loadsBack(NameOfType(type) + " saved as its text, which loads back as a string value");
    }
    return std::nullopt;
}

}  // namespace vor
