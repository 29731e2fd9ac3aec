#pragma once

#include <cstdint>
#include <string>

namespace vor {

// Rounds to the nearest whole number, halves to the even neighbour. Non-finite values pass through.
double RoundHalfEven(double value);

// Rounds to the nearest 32-bit integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
// NaN, infinities and results outside the 32-bit range raise the Overflow error.
std::int32_t ToInt32(double value);

// The decimal separator of the locale the user's environment names (LC_ALL, LC_NUMERIC, LANG),
// whatever the process's C locale is set to; "." when it names none or one that is not
// installed. Read once, on first use.
char UserDecimalSeparator();

// Plain decimal text of an integer: no leading blank or zero, a leading minus when negative.
std::string DecimalText(std::int64_t value);

// The platform's default text of a double: up to 15 significant digits, no trailing zeros,
// exponent form ("1.5E+20", "1E-16") only where 15 digits cannot show the number in plain form.
// The first form uses the user's decimal separator (UserDecimalSeparator).
// Non-finite values raise the Overflow error: they have no text on the platform.
std::string DoubleText(double value);
std::string DoubleText(double value, char decimalSeparator);

}  // namespace vor
