#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vor {

// Rounds to the nearest whole number, halves to the even neighbour. Non-finite values pass through.
double RoundHalfEven(double value);

// Rounds to the nearest 32-bit integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
// NaN, infinities and results outside the 32-bit range raise the Overflow error.
std::int32_t ToInt32(double value);

// The decimal separator of the locale the user's environment names (LC_ALL, LC_NUMERIC, LANG),
// whatever the process's C locale is set to, as UTF-8 text: one character, which may take more
// than one byte (U+066B in ps_AF). "." when the environment names no locale or one that is not
// installed. Read once, on first use.
const std::string& UserDecimalSeparator();

// Plain decimal text of an integer: no leading blank or zero, a leading minus when negative.
std::string DecimalText(std::int64_t value);

// The platform's default text of a double: up to 15 significant digits, no trailing zeros,
// exponent form ("1.5E+20", "1E-16") only where 15 digits cannot show the number in plain form.
// Without a separator given, the user's (UserDecimalSeparator).
// Non-finite values raise the Overflow error: they have no text on the platform.
std::string DoubleText(double value);
std::string DoubleText(double value, std::string_view decimalSeparator);

// A number with a fixed count of decimals, rounded to them ("4.25" for 4.2500001 and 2); no
// decimal separator for 0 decimals. Without a separator given, the user's. More than 100
// decimals show as 100.
std::string FixedText(double value, std::int32_t decimals);
std::string FixedText(double value, std::int32_t decimals, std::string_view decimalSeparator);

// The finite number a text shows, blanks around it aside, written as the texts above write one:
// an optional minus, digits with at most one decimal separator, an optional exponent. A "." is
// refused where it is not the separator (in de_DE it groups thousands). Without a separator
// given, the user's. Nothing for any other text.
std::optional<double> NumberFromText(std::string_view text);
std::optional<double> NumberFromText(std::string_view text, std::string_view decimalSeparator);

}  // namespace vor
