#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "apps/reg/RegFileText.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vor {
namespace {

std::string Utf16(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

TEST(RegFileText, ConvertsOnlyMarkedFiles) {
    struct Case {
        std::string bytes;
        std::string text;
    };
    const std::vector<Case> cases{
        {Utf16(u"Windows Registry Editor Version 5.00\r\n\"a\"=\"b\\\\c\"\r\n"),
         "Windows Registry Editor Version 5.00\r\n\"a\"=\"b\\\\c\"\r\n"},
#ifdef _WIN32
        // The ANSI code page of a Western European system; characters it lacks become '?'.
        {Utf16(u"caf\u00e9 \u20ac \U0001F600"), GetACP() == 1252 ? "caf\xe9 \x80 ??" : ""},
        {Utf16(u"lone \xD800!"), "lone ?!"},
#else
        {Utf16(u"caf\u00e9 \u20ac \U0001F600"), "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"},
        {Utf16(u"lone \xD800!"), "lone \xef\xbf\xbd!"},
#endif
        {"\xEF\xBB\xBFREGEDIT4", "REGEDIT4"},
        {"plain \xe9 bytes", "plain \xe9 bytes"},
        {"", ""},
    };
    for (const Case& c : cases) {
        if (c.text.empty() != c.bytes.empty()) {
            continue;  // another ANSI code page
        }
        EXPECT_EQ(RegFileText(c.bytes), c.text);
    }
}

TEST(RegFileText, StringValuesOnlyDropsValueLinesOfOtherTypes) {
    const std::string text =
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n\"s\"=\"a=b\"\r\n"
        "\"d\"=dword:00000001\r\n\"h\"=hex(2):41,00,\\\r\n  00,00\r\n@=\"default\"\r\n\"e\"=\"\"";
    EXPECT_EQ(StringValuesOnly(text),
              "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n\"s\"=\"a=b\"\r\n"
              "  00,00\r\n@=\"default\"\r\n\"e\"=\"\"");
}

}  // namespace
}  // namespace vor
