#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vormotor/core/Error.h"
#include "vormotor/registry/ImageForm.h"
#include "vormotor/registry/TextImageReader.h"

namespace vor {
namespace {

using namespace std::string_literals;

TEST(ImageForm, EscapedTextsReadBackAndRefuseWhatWouldBreakTheLine) {
    struct Case {
        std::string text;
        std::optional<std::string> escaped;
    };
    const std::vector<Case> cases{
        {"", "\"\""},
        {"plain", "\"plain\""},
        {"C:\\Drives\\\\Axis\\", "\"C:\\\\Drives\\\\\\\\Axis\\\\\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"\xc3\xa4\xff", "\"\xc3\xa4\xff\""},
        {"a\rb", std::nullopt},
        {"a\\\nb", std::nullopt},
        {"ab\0"s, std::nullopt},
    };
    for (const Case& c : cases) {
        std::string line = "before";
        EXPECT_EQ(image::AppendEscaped(line, c.text), c.escaped.has_value()) << c.text;
        EXPECT_EQ(line, "before" + c.escaped.value_or("")) << "a refused text leaves the line as it was";
        if (c.escaped) {
            std::string text = "x";
            std::size_t at = 0;
            EXPECT_TRUE(image::ReadEscaped(*c.escaped, at, text));
            EXPECT_EQ(at, c.escaped->size());
            EXPECT_EQ(text, c.text) << "reading gives the text back";
        }
    }
}

TEST(ImageForm, UnquotingKeepsABackslashThatIsNotDoubled) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"a\\b", "a\\b"},
        {"a\\\\\\b", "a\\\\b"},
        {"\\\\\\", "\\\\"},
        {"end\\", "end\\"},
    };
    for (const auto& [quoted, text] : cases) {
        std::string unquoted;
        image::AppendUnquoted(unquoted, quoted);
        EXPECT_EQ(unquoted, text) << quoted;
    }
}

TEST(ImageForm, ValueNamesAreRefusedForTheirFirstProblemInTheSameOrderAsEver) {
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases{
        {"", std::nullopt},
        {"Parameter 0 \xc3\xa4 \\ /", std::nullopt},
        {"a=b", "its name contains '='"},
        {"a\0=b"s, "its name contains '='"},
        {"a\rb", "its name contains a line break"},
        {"a\0\nb"s, "its name contains a line break"},
        {"a\0b"s, "its name contains a NUL"},
    };
    for (const auto& [name, problem] : cases) {
        EXPECT_EQ(image::ValueNameProblem(name), problem) << name;
    }
}

TEST(ImageForm, OnlyPathsOfMoreThanMaxDepthLevelsAreTooDeep) {
    const auto levels = [](std::size_t count, std::string_view separator) {
        std::string path = "k";
        for (std::size_t i = 1; i < count; ++i) {
            path.append(separator).append("k");
        }
        return path;
    };
    EXPECT_FALSE(image::IsTooDeep(levels(image::MaxDepth, "\\")));
    EXPECT_TRUE(image::IsTooDeep(levels(image::MaxDepth + 1, "\\")));
    EXPECT_TRUE(image::IsTooDeep(levels(image::MaxDepth + 1, "/")));
    EXPECT_FALSE(image::IsTooDeep(levels(image::MaxDepth, "\\\\/"))) << "empty names are no levels";
    EXPECT_FALSE(image::IsTooDeep(std::string(4 * image::MaxDepth, 'k')));
}

// The typed image's reader finds a line's end by its first CR: a CR without LF inside a line must
// still be reported, after what the line's own checks report first.
TEST(ImageForm, TheTypedReaderRefusesLineEndsWithoutCrLfWhereverTheyAre) {
    const std::string head = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\k]\r\n";
    // The line, what is wrong with it.
    const std::vector<std::pair<std::string, std::string>> cases{
        {"\"a\"=\"1\r\"\r\n", "line end without CR LF.  Line #=>'\"a\"=\"1\r\"'"},
        {"\"a\"=\"1\"\r\"b\"=\"2\"\r\n", "line end without CR LF.  Line #=>'\"a\"=\"1\"\r\"b\"=\"2\"'"},
        {"\"a\"=\"1\"\r", "line end without CR LF.  Line #=>'\"a\"=\"1\"\r'"},
        {"\"a\"=\"\r\0\"\r\n"s, "NUL character.  Line #=>'\"a\"=\"\r\0\"'"s},
        {"\"a\"=\"1\"\n\"b\"=\"2\"\r\n", "line end without CR LF.  Line #=>'\"a\"=\"1\"\n\"b\"=\"2\"'"},
    };
    // Also among good lines, which the reader looks over in blocks before it reads them.
    for (const std::size_t goodLines : {0, 1, 100}) {
        std::string good;
        for (std::size_t i = 0; i < goodLines; ++i) {
            good += "\"v" + std::to_string(i) + "\"=\"" + std::string(i % 7, 'x') + "\"\r\n";
        }
        for (const auto& [line, description] : cases) {
            std::string expected = "Format Error: " + description;
            expected.replace(expected.find('#'), 1, std::to_string(3 + goodLines));
            // Good lines after it too, where the line ends with a CR LF.
            const std::string after = line.ends_with("\r\n") ? good : "";
            const std::string imageText = head + good + line + after;
            try {
                TextImageReader reader(imageText);
                for (ImageEntry entry; reader.Next(entry);) {
                }
                ADD_FAILURE() << "no error for " << line;
            } catch (const Error& error) {
                EXPECT_EQ(error.Description(), expected) << goodLines;
            }
        }
    }
}

// Value lines in the registry editor's quoting: what each one reads as, or the error that refuses it.
TEST(ImageForm, TheTypedReaderTakesTheEditorsQuoting) {
    const std::string head = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER]\r\n";
    struct Case {
        std::string line;
        std::string name;
        std::string data;
        std::string error;
    };
    const std::vector<Case> cases{
        {"\"a=b \\\"q\\\" \\\\\"=\"x \\\"y\\\" \\\\\"", "a=b \"q\" \\", "x \"y\" \\", ""},
        {"@=\"default\"", "", "default", ""},
        // Either part escaped and the other not, and a typed value with an escaped name.
        {"\"a\\\\b\"=\"plain\"", "a\\b", "plain", ""},
        {"\"plain\"=\"a\\\\b\"", "plain", "a\\b", ""},
        {"\"a\\\\b\"=dword:00000102", "a\\b", "\x02\x01\0\0"s, ""},
        {"\"a\\qb\"=\"c\\q\"", "a\\qb", "c\\q", ""},
        {"\"a\"=\"x\"y\"", "", "", "Format Error: value formatting."},
        {"\"a\\rb\"=\"x\"", "", "", "Format Error: value formatting."},
        {"\"open=\"x", "", "", "Format Error: no equal signs."},
        {"@\"x\"", "", "", "Format Error: no equal signs."},
    };
    for (const Case& c : cases) {
        try {
            const std::string imageText = head + c.line + "\r\n";
            TextImageReader reader(imageText);
            ImageEntry entry;
            ASSERT_TRUE(reader.Next(entry) && entry.kind == ImageEntry::Kind::Section && entry.Path().empty());
            ASSERT_TRUE(reader.Next(entry)) << c.line;
            EXPECT_EQ(c.error, "") << c.line;
            EXPECT_EQ(entry.name, c.name);
            EXPECT_EQ(entry.data, c.data);
        } catch (const Error& error) {
            EXPECT_EQ(error.Description(), c.error + "  Line 3=>'" + c.line + "'");
        }
    }
}

}  // namespace
}  // namespace vor
