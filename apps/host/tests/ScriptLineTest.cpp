#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "apps/host/ScriptLine.h"

namespace vor::host {
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
    for (const char* bad : {"", "(3)", "ParamItem(", "ParamItem(x)", "ParamItem(3", "Param)"}) {
        EXPECT_THROW(ParseControlRef(bad), std::invalid_argument) << bad;
    }
}

TEST(ScriptLine, StrictArgumentReaders) {
    EXPECT_EQ(ParseInteger({"640"}), 640);
    EXPECT_EQ(ParseInteger({"0x280"}), 640);
    EXPECT_EQ(ParseInteger({"-9"}), -9);
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

}  // namespace
}  // namespace vor::host
