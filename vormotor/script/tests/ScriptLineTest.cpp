#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "vormotor/script/ScriptLine.h"

namespace vor::script {
namespace {

std::vector<std::string> Texts(const std::vector<Word>& words) {
    std::vector<std::string> texts;
    for (const auto& word : words) {
        texts.push_back((word.quoted ? "q:" : "") + word.text);
    }
    return texts;
}

TEST(ScriptLine, SplitsWordsQuotesAndComments) {
    EXPECT_EQ(Texts(SplitScriptLine("pick MotorStyleCombo \"Brushless Rotary\"  # the servo")),
              (std::vector<std::string>{"pick", "MotorStyleCombo", "q:Brushless Rotary"}));
    EXPECT_EQ(Texts(SplitScriptLine("drive.field 170 \"Motor Type\" 2\r")),
              (std::vector<std::string>{"drive.field", "170", "q:Motor Type", "2"}));
    EXPECT_EQ(Texts(SplitScriptLine("edit ParamItem(9) \"a \\\"b\\\" \\\\ #c\"")),
              (std::vector<std::string>{"edit", "ParamItem(9)", "q:a \"b\" \\ #c"}));
    EXPECT_TRUE(SplitScriptLine("   # only a comment").empty());
    EXPECT_EQ(Texts(SplitScriptLine("pick X \"\"")), (std::vector<std::string>{"pick", "X", "q:"}));
    EXPECT_THROW(SplitScriptLine("pick X \"open"), std::invalid_argument);
}

TEST(ScriptLine, ControlReferences) {
    const auto single = ParseControlRef("MotorStyleCombo");
    EXPECT_EQ(single.name, "MotorStyleCombo");
    EXPECT_FALSE(single.index);
    const auto element = ParseControlRef("ParamItem(13)");
    EXPECT_EQ(element.name, "ParamItem");
    EXPECT_EQ(element.index, 13);
    for (const char* bad : {"", "(3)", "ParamItem(", "ParamItem(x)", "ParamItem(3", "Param)", "ParamItem(4294967305)",
                            "ParamItem(-2147483649)", "ParamItem(0x100000009)"}) {
        EXPECT_THROW(ParseControlRef(bad), std::invalid_argument) << bad;
    }
}

TEST(ScriptLine, StrictArgumentReaders) {
    EXPECT_EQ(ParseInteger({"640"}), 640);
    EXPECT_EQ(ParseInteger({"0x280"}), 640);
    EXPECT_EQ(ParseInteger({"-9"}), -9);
    EXPECT_EQ(ParseInt32({"-2147483648"}), INT32_MIN);
    EXPECT_EQ(ParseInt32({"0x7fffffff"}), INT32_MAX);
    for (const Word& bad : {Word{"2147483648"}, Word{"-2147483649"}, Word{"4294967305"}, Word{"0x100000000"}}) {
        EXPECT_THROW(ParseInt32(bad), std::invalid_argument) << bad.text;
    }
    EXPECT_DOUBLE_EQ(ParseNumber({"2500.5"}), 2500.5);
    EXPECT_DOUBLE_EQ(ParseNumber({"-30"}), -30);
    EXPECT_TRUE(ParseBool({"true"}));
    EXPECT_FALSE(ParseVisibility({"hidden"}));
    for (const Word& bad : {Word{"12a"}, Word{""}, Word{"1.5"}, Word{"--5"}, Word{"7", true}, Word{"0x"}}) {
        EXPECT_THROW(ParseInteger(bad), std::invalid_argument) << bad.text;
    }
    for (const Word& bad : {Word{"nan"}, Word{"1e999"}, Word{"3", true}, Word{"3,5"}}) {
        EXPECT_THROW(ParseNumber(bad), std::invalid_argument) << bad.text;
    }
    EXPECT_THROW(ParseBool({"True"}), std::invalid_argument);
    EXPECT_THROW(ParseBool({"true", true}), std::invalid_argument);
    EXPECT_THROW(ParseVisibility({"shown"}), std::invalid_argument);
}

// Whole characters of one to four bytes pass; every way a byte sequence can fail to be UTF-8 is
// refused at its first byte.
TEST(ScriptLine, OnlyValidUtf8IsSplit) {
    for (const char* good : {"e\xC3\xA9", "\xE2\x82\xAC", "\xED\x9F\xBF", "\xEE\x80\x80", "\xF0\x9D\x84\x9E",
                             "\xF4\x8F\xBF\xBF", "\x7F"}) {
        EXPECT_EQ(Texts(SplitScriptLine(std::string("edit X ") + good)), (std::vector<std::string>{"edit", "X", good}));
    }
    const std::pair<const char*, const char*> bad[] = {
        {"\x80", "a continuation byte alone"},
        {"\xC0\xAF", "overlong two bytes"},
        {"\xC1\xBF", "overlong two bytes"},
        {"\xE0\x80\xAF", "overlong three bytes"},
        {"\xED\xA0\x80", "a surrogate"},
        {"\xF0\x8F\xBF\xBF", "overlong four bytes"},
        {"\xF4\x90\x80\x80", "above U+10FFFF"},
        {"\xF5\x80\x80\x80", "no lead byte"},
        {"\xFF", "no lead byte"},
        {"\xE2\x82", "cut short at the end"},
        {"\xE2\x82 x", "cut short by a blank"},
        {"\xF0\x9D\x84\x40", "a last byte that continues nothing"},
    };
    for (const auto& [bytes, what] : bad) {
        try {
            SplitScriptLine(std::string("edit \"X\" ") + bytes);
            ADD_FAILURE() << what;
        } catch (const std::invalid_argument& error) {
            EXPECT_STREQ(error.what(), "invalid UTF-8 at byte 10") << what;
        }
    }
}

}  // namespace
}  // namespace vor::script
