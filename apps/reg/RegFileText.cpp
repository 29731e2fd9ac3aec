#include "apps/reg/RegFileText.h"

#include <cstdint>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vor {

namespace {

constexpr std::string_view Utf16Mark = "\xFF\xFE";
constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";

std::u16string Utf16Units(std::string_view bytes) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                              static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    return units;
}

#ifdef _WIN32

std::string FromUtf16(const std::u16string& units) {
    if (units.empty()) {
        return {};
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(units.data());
    const int length = static_cast<int>(units.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string text(size, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, length, text.data(), size, nullptr, nullptr);
    return text;
}

#else

void AppendUtf8(std::string& text, std::uint32_t code) {
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | code >> 6);
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += static_cast<char>(0xE0 | code >> 12);
        text += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | code >> 18);
        text += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        text += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string FromUtf16(const std::u16string& units) {
    constexpr std::uint32_t Replacement = 0xFFFD;
    std::string text;
    text.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const std::uint32_t unit = units[i];
        const bool high = unit >= 0xD800 && unit < 0xDC00;
        const bool low = unit >= 0xDC00 && unit < 0xE000;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
            AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (units[++i] - 0xDC00));
        } else {
            AppendUtf8(text, high || low ? Replacement : unit);
        }
    }
    return text;
}

#endif

}  // namespace

std::string RegFileText(const std::string& bytes) {
    const std::string_view view(bytes);
    if (view.starts_with(Utf16Mark)) {
        return FromUtf16(Utf16Units(view.substr(Utf16Mark.size())));
    }
    if (view.starts_with(Utf8Mark)) {
        return bytes.substr(Utf8Mark.size());
    }
    return bytes;
}

std::string StringValuesOnly(const std::string& text) {
    constexpr std::string_view LineEnd = "\r\n";
    std::string kept;
    kept.reserve(text.size());
    const std::string_view view(text);
    for (std::size_t start = 0; start <= view.size();) {
        const std::size_t end = std::min(view.find(LineEnd, start), view.size());
        const std::string_view line = view.substr(start, end - start);
        const std::size_t equals = line.find('=');
        const bool otherType =
            line.starts_with('"') && equals != std::string_view::npos && line.substr(equals + 1, 1) != "\"";
        if (!otherType) {
            kept.append(line).append(view.substr(end, LineEnd.size()));
        }
        start = end + LineEnd.size();
    }
    return kept;
}

}  // namespace vor
