#include "vormotor/core/Conversions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <locale>
#include <stdexcept>

#include "vormotor/core/Error.h"

namespace vor {
namespace {

constexpr int kSignificantDigits = 15;

constexpr std::int32_t kMaxFixedDecimals = 100;

[[noreturn]] void ThrowOverflow() {
    throw Error(error_number::Overflow, "VorMotorCtl", "Overflow");
}

std::string Utf8(wchar_t character) {
    const auto code = static_cast<std::uint32_t>(character);
    if (code < 0x80) {
        return std::string(1, static_cast<char>(code));
    }
    std::string text;
    if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
    } else {
        if (code < 0x10000) {
            text += static_cast<char>(0xE0 | (code >> 12));
        } else {
            text += static_cast<char>(0xF0 | (code >> 18));
            text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        }
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    }
    text += static_cast<char>(0x80 | (code & 0x3F));
    return text;
}

// The separator in place of the "." that to_chars writes.
std::string WithSeparator(std::string_view text, std::string_view decimalSeparator) {
    std::string result(text);
    if (const auto dot = result.find('.'); dot != std::string::npos) {
        result.replace(dot, 1, decimalSeparator);
    }
    return result;
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

const std::string& UserDecimalSeparator() {
    // The wide facet holds the whole character; the narrow one keeps only the first byte of a
    // separator that UTF-8 writes in several.
    static const std::string separator = [] {
        try {
            return Utf8(std::use_facet<std::numpunct<wchar_t>>(std::locale("")).decimal_point());
        } catch (const std::runtime_error&) {
            return std::string(".");
        }
    }();
    return separator;
}

std::string DoubleText(double value) {
    return DoubleText(value, UserDecimalSeparator());
}

std::string DoubleText(double value, std::string_view decimalSeparator) {
    if (!std::isfinite(value)) {
        ThrowOverflow();
    }
    if (value == 0.0) {
        return "0";
    }
    // Whole numbers below 10^15 show all their digits in plain form: most numbers of a drive.
    if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
        char whole[24];
        const auto end = std::to_chars(whole, whole + sizeof whole, static_cast<std::int64_t>(value)).ptr;
        return std::string(whole, end);
    }
    // Scientific form with 14 decimals gives exactly 15 significant digits, correctly rounded,
    // and the decimal exponent; to_chars does it without printf's locale and format parsing.
    char buffer[32];
    *std::to_chars(buffer, buffer + sizeof buffer - 1, std::fabs(value), std::chars_format::scientific,
                   kSignificantDigits - 1)
         .ptr = '\0';
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
        const int magnitude = std::abs(exponent);
        text += exponent < 0 ? "E-" : "E+";
        text += (magnitude < 10 ? "0" : "") + std::to_string(magnitude);
    }
    return text;
}

std::string FixedText(double value, std::int32_t decimals) {
    return FixedText(value, decimals, UserDecimalSeparator());
}

std::string FixedText(double value, std::int32_t decimals, std::string_view decimalSeparator) {
    if (!std::isfinite(value)) {
        ThrowOverflow();
    }
    // 309 digits before the point hold the largest double.
    char buffer[320 + kMaxFixedDecimals];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                                   std::clamp(decimals, 0, kMaxFixedDecimals))
                         .ptr;
    return WithSeparator(std::string_view(buffer, static_cast<std::size_t>(end - buffer)), decimalSeparator);
}

std::optional<double> NumberFromText(std::string_view text) {
    return NumberFromText(text, UserDecimalSeparator());
}

std::optional<double> NumberFromText(std::string_view text, std::string_view decimalSeparator) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    std::string plain(text.substr(first, text.find_last_not_of(" \t") - first + 1));
    if (decimalSeparator != ".") {
        if (plain.find('.') != std::string::npos) {
            return std::nullopt;
        }
        if (const auto at = plain.find(decimalSeparator); !decimalSeparator.empty() && at != std::string::npos) {
            plain.replace(at, decimalSeparator.size(), ".");
        }
    }
    // from_chars also reads "inf" and "nan", which no number text of the component shows.
    const bool digitsOnly = plain.find_first_not_of("0123456789.eE-+") == std::string::npos;
    double number = 0;
    const char* end = plain.data() + plain.size();
    const auto [stop, error] = std::from_chars(plain.data(), end, number);
    if (!digitsOnly || error != std::errc() || stop != end || !std::isfinite(number)) {
        return std::nullopt;
    }
    return number;
}

}  // namespace vor
