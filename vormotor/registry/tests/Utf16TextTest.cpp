#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "vormotor/registry/Utf16Text.h"

namespace vor {
namespace {

#ifndef _WIN32
// Elsewhere the registry's code page is UTF-8; the ANSI code pages of Windows are the platform's business.
TEST(Utf16Text, ConvertsUtf8BothWaysAndRefusesWhatItWouldHaveToGuess) {
    using namespace std::string_literals;
    struct Case {
        std::string utf8;
        std::optional<std::string> utf16;
    };
    const std::vector<Case> cases{
        {"", ""s},
        {"A\0"s, "A\0\0\0"s},
        {"\xc3\xbc\xe2\x82\xac", "\xfc\x00\xac\x20"s},
        {"\xf0\x9f\x98\x80", "\x3d\xd8\x00\xde"s},
        {"\xc0\xaf", std::nullopt},          // overlong
        {"\xed\xa0\x80", std::nullopt},      // a surrogate encoded on its own
        {"\xe2\x82", std::nullopt},          // cut short
        {"\xfc", std::nullopt},              // a Latin-1 byte
        {"\xf4\x90\x80\x80", std::nullopt},  // beyond U+10FFFF
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToUtf16Le(c.utf8), c.utf16) << c.utf8;
        if (c.utf16) {
            EXPECT_EQ(FromUtf16Le(*c.utf16), c.utf8);
        }
    }
    for (const std::string& units : {"A"s, "\x00\xd8"s, "\x00\xdc\x41\x00"s, "\x3d\xd8\x41\x00"s}) {
        EXPECT_EQ(FromUtf16Le(units), std::nullopt) << "odd length or unpaired surrogate";
    }
}
#endif

}  // namespace
}  // namespace vor
