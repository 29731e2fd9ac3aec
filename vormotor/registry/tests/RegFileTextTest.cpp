#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "vormotor/registry/RegFileText.h"

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
        // The ANSI code page of a Western European system.
        {Utf16(u"caf\u00e9 \u20ac"), GetACP() == 1252 ? "caf\xe9 \x80" : ""},
#else
        {Utf16(u"caf\u00e9 \u20ac \U0001F600"), "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"},
#endif
        {"\xEF\xBB\xBFREGEDIT4", "REGEDIT4"},
        {"plain \xe9 bytes", "plain \xe9 bytes"},
        {"", ""},
        // A file with bare line feeds throughout gets CR LF; one with any CR is left for the reader to judge.
        {"a\nb\n", "a\r\nb\r\n"},
        {Utf16(u"a\nb"), "a\r\nb"},
        {"a\r\nb\nc", "a\r\nb\nc"},
    };
    for (const Case& c : cases) {
        if (c.text.empty() != c.bytes.empty()) {
            continue;  // another ANSI code page
        }
        EXPECT_EQ(RegFileText(c.bytes), c.text);
    }
}

TEST(RegFileText, Utf16WithoutTheEditorsByteOrderMarkIsRefusedAsSuch) {
    const std::string marked = Utf16(u"Windows Registry Editor Version 5.00\r\n");
    const std::string bigEndian = "\xFE\xFF" + std::string("\0W\0i", 4);
    const std::vector<std::pair<std::string, std::string>> cases{
        {bigEndian, "the file is UTF-16 big-endian"},
        {marked.substr(2), "the file looks like UTF-16 without a byte-order mark"},
        {bigEndian.substr(2), "the file looks like UTF-16 without a byte-order mark"},
    };
    for (const auto& [bytes, problem] : cases) {
        try {
            RegFileText(bytes);
            ADD_FAILURE() << "converted " << problem;
        } catch (const RegFileError& error) {
            EXPECT_TRUE(std::string(error.what()).starts_with(problem)) << error.what();
        }
    }
}

TEST(RegFileText, TextTheCodePageCannotHoldIsAnErrorNamingTheLine) {
    const std::string loneSurrogate = Utf16(u"first\r\nsecond\r\nlone \xD800!\r\n");
    try {
        RegFileText(loneSurrogate);
        ADD_FAILURE() << "converted";
    } catch (const RegFileError& error) {
        EXPECT_STREQ(error.what(), "Line 2 holds UTF-16 text that the registry's code page cannot hold");
    }
#ifndef _WIN32
    try {
        RegFileBytes("ok\r\nbad \xe9\r\n", true);
        ADD_FAILURE() << "converted";
    } catch (const RegFileError& error) {
        EXPECT_STREQ(error.what(), "Line 1 is not valid text in the registry's code page");
    }
#endif
}

TEST(RegFileText, Utf16FilesAreWrittenAsTheEditorWritesThem) {
    const std::string text = "Windows Registry Editor Version 5.00\r\n\"a\"=\"b\"\r\n";
    EXPECT_EQ(RegFileBytes(text, false), text);
    const std::string utf16 = RegFileBytes(text, true);
    EXPECT_EQ(utf16.substr(0, 6), std::string("\xFF\xFEW\0i\0", 6));
    EXPECT_EQ(utf16.size(), 2 + 2 * text.size());
    EXPECT_EQ(RegFileText(utf16), text);
}

}  // namespace
}  // namespace vor
