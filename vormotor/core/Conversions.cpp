#include "vormotor/core/Conversions.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale>
#include <stdexcept>

#include "vormotor/core/Error.h"

namespace vor {
namespace {

constexpr int kSignificantDigits = 15;

[[noreturn]] void ThrowOverflow() {
    throw Error(error_number::Overflow, "VorMotorCtl", "Overflow");
}

}  // namespace

double RoundHalfEven(double value) {
    // Rounded by hand: the floating-point rounding mode is process-wide state that a host may change.
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0)) {
        return floor + 1.0;
    }
    return floor;
}

std::int32_t ToInt32(double value) {
    if (!std::isfinite(value)) {
        ThrowOverflow();
    }
    const double rounded = RoundHalfEven(value);
    if (rounded < -2147483648.0 || rounded > 2147483647.0) {
        ThrowOverflow();
    }
    return static_cast<std::int32_t>(rounded);
}

std::string DecimalText(std::int64_t value) {
    return std::to_string(value);
}

char UserDecimalSeparator() {
    static const char separator = [] {
        try {
            return std::use_facet<std::numpunct<char>>(std::locale("")).decimal_point();
        } catch (const std::runtime_error&) {
            return '.';
        }
    }();
    return separator;
}

std::string DoubleText(double value) {
    return DoubleText(value, UserDecimalSeparator());
}

std::string DoubleText(double value, char decimalSeparator) {
    if (!std::isfinite(value)) {
        ThrowOverflow();
    }
    if (value == 0.0) {
        return "0";
    }
    // "%.14e" gives exactly 15 significant digits, correctly rounded, and the decimal exponent.
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.*e", kSignificantDigits - 1, std::fabs(value));
    std::string digits;
    const char* cursor = buffer;
    for (; *cursor != 'e'; ++cursor) {
        if (*cursor >= '0' && *cursor <= '9') {
            digits.push_back(*cursor);
        }
    }
    const int exponent = std::atoi(cursor + 1);
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    const int digitCount = static_cast<int>(digits.size());

    std::string text = value < 0 ? "-" : "";
    const bool fitsIntegerPart = exponent >= 0 && exponent < kSignificantDigits;
    const bool fitsFraction = exponent < 0 && (-exponent - 1 + digitCount) <= kSignificantDigits;
    if (fitsIntegerPart) {
        const int integerDigits = exponent + 1;
        if (digitCount <= integerDigits) {
            text += digits + std::string(static_cast<std::size_t>(integerDigits - digitCount), '0');
        } else {
            text += digits.substr(0, static_cast<std::size_t>(integerDigits));
            text += decimalSeparator;
            text += digits.substr(static_cast<std::size_t>(integerDigits));
        }
    } else if (fitsFraction) {
        text += '0';
        text += decimalSeparator;
        text += std::string(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
    } else {
        text += digits.substr(0, 1);
        if (digitCount > 1) {
            text += decimalSeparator;
            text += digits.substr(1);
        }
        char exponentText[16];
        std::snprintf(exponentText, sizeof exponentText, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        text += exponentText;
    }
    return text;
}

}  // namespace vor
