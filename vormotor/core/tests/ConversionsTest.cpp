#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

#include "vormotor/core/Conversions.h"
#include "vormotor/core/Error.h"

namespace vor {
namespace {

struct RoundCase {
    double input;
    std::int32_t expected;
};

class ToInt32Rounding : public testing::TestWithParam<RoundCase> {};

TEST_P(ToInt32Rounding, RoundsHalvesToEven) {
    EXPECT_EQ(ToInt32(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Edges, ToInt32Rounding,
                         testing::Values(RoundCase{0.5, 0}, RoundCase{1.5, 2}, RoundCase{2.5, 2}, RoundCase{3.5, 4},
                                         RoundCase{-0.5, 0}, RoundCase{-1.5, -2}, RoundCase{-2.5, -2},
                                         RoundCase{2.4999999, 2}, RoundCase{2.5000001, 3}, RoundCase{359.5, 360},
                                         RoundCase{540.5, 540}, RoundCase{725.4, 725}, RoundCase{-30.0, -30},
                                         RoundCase{2147483647.0, 2147483647}, RoundCase{2147483647.4, 2147483647},
                                         RoundCase{-2147483648.0, std::numeric_limits<std::int32_t>::min()},
                                         RoundCase{-2147483648.5, std::numeric_limits<std::int32_t>::min()}));

class ToInt32Overflow : public testing::TestWithParam<double> {};

TEST_P(ToInt32Overflow, RaisesOverflow) {
    try {
        ToInt32(GetParam());
        FAIL() << "no error for " << GetParam();
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), error_number::Overflow);
    }
}

INSTANTIATE_TEST_SUITE_P(Edges, ToInt32Overflow,
                         testing::Values(2147483647.5, 2147483648.0, -2147483649.0, -2147483648.6, 1e300,
                                         std::numeric_limits<double>::quiet_NaN(),
                                         std::numeric_limits<double>::infinity(),
                                         -std::numeric_limits<double>::infinity()));

TEST(DecimalText, HasNoBlankOrLeadingZero) {
    EXPECT_EQ(DecimalText(0), "0");
    EXPECT_EQ(DecimalText(9), "9");
    EXPECT_EQ(DecimalText(-9), "-9");
    EXPECT_EQ(DecimalText(2147483647), "2147483647");
    EXPECT_EQ(DecimalText(-2147483648LL), "-2147483648");
}

struct TextCase {
    double input;
    const char* expected;
};

class DoubleTextFormat : public testing::TestWithParam<TextCase> {};

TEST_P(DoubleTextFormat, MatchesPlatformDefault) {
    EXPECT_EQ(DoubleText(GetParam().input, "."), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, DoubleTextFormat,
    testing::Values(TextCase{0.0, "0"}, TextCase{-0.0, "0"}, TextCase{3000.0, "3000"}, TextCase{2500.5, "2500.5"},
                    TextCase{-2500.5, "-2500.5"}, TextCase{0.1, "0.1"}, TextCase{1.0 / 3.0, "0.333333333333333"},
                    TextCase{2.0 / 3.0, "0.666666666666667"}, TextCase{0.00001, "0.00001"},
                    TextCase{123456789012345.0, "123456789012345"}, TextCase{1e14, "100000000000000"},
                    TextCase{1e15, "1E+15"}, TextCase{1234567890123456.0, "1.23456789012346E+15"},
                    TextCase{1.5e20, "1.5E+20"}, TextCase{1e100, "1E+100"}, TextCase{-1e-16, "-1E-16"},
                    TextCase{1e-15, "0.000000000000001"}, TextCase{0.0123456789012345, "1.23456789012345E-02"},
                    TextCase{0.123456789012345, "0.123456789012345"}, TextCase{0.1 + 0.2, "0.3"},
                    TextCase{999999999999999.9, "1E+15"}));

TEST(DoubleText, NonFiniteHasNoText) {
    EXPECT_THROW(DoubleText(std::numeric_limits<double>::quiet_NaN(), "."), Error);
    EXPECT_THROW(DoubleText(std::numeric_limits<double>::infinity(), "."), Error);
    EXPECT_THROW(FixedText(std::numeric_limits<double>::infinity(), 2, "."), Error);
}

// Each separator whole, whatever its length: U+066B takes two bytes in UTF-8.
struct SeparatorCase {
    const char* separator;
    double number;
    std::int32_t decimals;  // below 0: the default text
    const char* text;
    double readBack;
};

class NumberTexts : public testing::TestWithParam<SeparatorCase> {};

TEST_P(NumberTexts, WriteAndReadBackWithTheSeparator) {
    const auto& c = GetParam();
    const std::string text =
        c.decimals < 0 ? DoubleText(c.number, c.separator) : FixedText(c.number, c.decimals, c.separator);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(NumberFromText(std::string(" ") + c.text + "\t", c.separator), c.readBack);
}

INSTANTIATE_TEST_SUITE_P(
    Separators, NumberTexts,
    testing::Values(SeparatorCase{".", 2500.5, -1, "2500.5", 2500.5}, SeparatorCase{",", 2500.5, -1, "2500,5", 2500.5},
                    SeparatorCase{"\u066B", 2500.5, -1, "2500\u066B5", 2500.5},
                    SeparatorCase{",", 1.5e-20, -1, "1,5E-20", 1.5e-20},
                    SeparatorCase{"\u066B", -0.25, -1, "-0\u066B25", -0.25},
                    SeparatorCase{".", 4.2500001, 2, "4.25", 4.25}, SeparatorCase{",", 4.5, 2, "4,50", 4.5},
                    SeparatorCase{"\u066B", 1.75, 3, "1\u066B750", 1.75}, SeparatorCase{",", 2.5, 0, "2", 2},
                    SeparatorCase{",", -1e20, 1, "-100000000000000000000,0", -1e20}));

struct RefusedCase {
    const char* separator;
    const char* text;
};

class RefusedNumberTexts : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedNumberTexts, AreNoNumber) {
    EXPECT_EQ(NumberFromText(GetParam().text, GetParam().separator), std::nullopt) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, RefusedNumberTexts,
                         testing::Values(RefusedCase{".", ""}, RefusedCase{".", "  "}, RefusedCase{".", "1,5"},
                                         RefusedCase{",", "1.5"}, RefusedCase{",", "1,5,0"}, RefusedCase{".", "60 s"},
                                         RefusedCase{".", "nan"}, RefusedCase{".", "inf"}, RefusedCase{".", "-inf"},
                                         RefusedCase{".", "1e400"}, RefusedCase{".", "+5"}, RefusedCase{".", "0x10"},
                                         // The first byte of U+066B alone is no separator.
                                         RefusedCase{"\u066B",
                                                     "1\xD9"
                                                     "5"},
                                         RefusedCase{"\u066B", "1,5"}));

// The separator of the user's environment. The suite runs this once more under each test locale
// with VOR_EXPECTED_DECIMAL_SEPARATOR set, so a locale that failed to load cannot pass for one that did.
TEST(UserLocale, NumbersTakeTheUsersDecimalSeparator) {
    const char* expected = std::getenv("VOR_EXPECTED_DECIMAL_SEPARATOR");
    const std::string separator = expected != nullptr ? expected : ".";
    ASSERT_EQ(UserDecimalSeparator(), separator) << "the environment's locale was not loaded";
    EXPECT_EQ(DoubleText(1.75), "1" + separator + "75");
    EXPECT_EQ(FixedText(4.25, 2), "4" + separator + "25");
    EXPECT_EQ(NumberFromText("1" + separator + "5"), 1.5);
}

}  // namespace
}  // namespace vor
