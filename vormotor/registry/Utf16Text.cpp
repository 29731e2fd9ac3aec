#include "vormotor/registry/Utf16Text.h"

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vor {

namespace {

void AppendUnit(std::string& bytes, std::uint32_t unit) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
}

#ifdef _WIN32

std::optional<std::string> FromUnits(const std::wstring& wide) {
    if (wide.empty()) {
        return std::string();
    }
    const int length = static_cast<int>(wide.size());
    // UTF-8 as the ANSI code page reports invalid input by flag; the others by the default character.
    const bool utf8 = GetACP() == CP_UTF8;
    BOOL replaced = FALSE;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL* usedDefault = utf8 ? nullptr : &replaced;
    const int size = WideCharToMultiByte(CP_ACP, flags, wide.data(), length, nullptr, 0, nullptr, usedDefault);
    if (size == 0 || replaced) {
        return std::nullopt;
    }
    std::string text(size, '\0');
    WideCharToMultiByte(CP_ACP, flags, wide.data(), length, text.data(), size, nullptr, usedDefault);
    return text;
}

#else

// Decodes one UTF-8 sequence at text[i]; answers the code point and advances i, or nothing for
// bytes that are not shortest-form UTF-8 of a scalar value.
std::optional<std::uint32_t> DecodeUtf8(std::string_view text, std::size_t& i) {
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    struct Form {
        unsigned char mask, value;
        std::size_t length;
        std::uint32_t smallest;
    };
    static constexpr Form Forms[] = {{0xE0, 0xC0, 2, 0x80}, {0xF0, 0xE0, 3, 0x800}, {0xF8, 0xF0, 4, 0x10000}};
    for (const Form& form : Forms) {
        if ((lead & form.mask) != form.value) {
            continue;
        }
        if (i + form.length > text.size()) {
            return std::nullopt;
        }
        std::uint32_t code = lead & static_cast<unsigned char>(~form.mask);
        for (std::size_t k = 1; k < form.length; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80) {
                return std::nullopt;
            }
            code = code << 6 | (byte(i + k) & 0x3F);
        }
        if (code < form.smallest || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) {
            return std::nullopt;
        }
        i += form.length;
        return code;
    }
    return std::nullopt;
}

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

#endif

}  // namespace

#ifdef _WIN32

std::optional<std::string> ToUtf16Le(std::string_view text) {
    if (text.empty()) {
        return std::string();
    }
    const int length = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (units == 0) {
        return std::nullopt;
    }
    std::wstring wide(units, L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), length, wide.data(), units);
    std::string bytes;
    bytes.reserve(wide.size() * 2);
    for (wchar_t unit : wide) {
        AppendUnit(bytes, static_cast<std::uint32_t>(unit));
    }
    return bytes;
}

std::optional<std::string> FromUtf16Le(std::string_view bytes) {
    if (bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    std::wstring wide;
    wide.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        wide +=
            static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
    }
    return FromUnits(wide);
}

#else

std::optional<std::string> ToUtf16Le(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size();) {
        // A run of ASCII, nearly all of an image, widens byte by byte: its high bytes are the zeros resizing
        // writes.
        std::size_t run = i;
        while (run < text.size() && static_cast<unsigned char>(text[run]) < 0x80) {
            ++run;
        }
        if (run > i) {
            const std::size_t at = bytes.size();
            bytes.resize(at + 2 * (run - i));
            for (std::size_t k = 0; k < run - i; ++k) {
                bytes[at + 2 * k] = text[i + k];
            }
            i = run;
            continue;
        }
        const std::optional<std::uint32_t> code = DecodeUtf8(text, i);
        if (!code) {
            return std::nullopt;
        }
        if (*code < 0x10000) {
            AppendUnit(bytes, *code);
        } else {
            AppendUnit(bytes, 0xD800 + ((*code - 0x10000) >> 10));
            AppendUnit(bytes, 0xDC00 + ((*code - 0x10000) & 0x3FF));
        }
    }
    return bytes;
}

std::optional<std::string> FromUtf16Le(std::string_view bytes) {
    if (bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    const auto unitAt = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i]) |
                                          static_cast<unsigned char>(bytes[i + 1]) << 8);
    };
    std::string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const std::uint32_t unit = unitAt(i);
        if (unit >= 0xDC00 && unit < 0xE000) {
            return std::nullopt;
        }
        if (unit < 0xD800 || unit >= 0xE000) {
            AppendUtf8(text, unit);
            continue;
        }
        const std::uint32_t low = i + 3 < bytes.size() ? unitAt(i + 2) : 0;
        if (low < 0xDC00 || low >= 0xE000) {
            return std::nullopt;
        }
        AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
    }
    return text;
}

#endif

}  // namespace vor
