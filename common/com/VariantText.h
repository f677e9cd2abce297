#pragma once
// The text forms of numbers and dates used when VARIANTs change type: locale-independent, with
// the decimal point '.', and dates written month first ("1/31/2024 3:04:05 PM").
#include <velmora/Com.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::com {

// Dates from 1 January 100 up to the end of 31 December 9999.
inline constexpr double kMinDate = -657434.0;
inline constexpr double kMaxDateExclusive = 2958466.0;
inline bool IsDateInRange(double date) {
    return date >= kMinDate && date < kMaxDateExclusive;
}

// A number read from text: whole numbers that fit 64 bits are kept exactly.
struct ParsedNumber {
    bool integral = false;
    int64_t integer = 0;
    double real = 0;
};

enum class NumberParse { kOk, kNotANumber, kOutOfRange };

// Reads a number such as " -12", "3.5", "1E+20", ".5", "&HFF" (hex) or "&O17" (octal); spaces
// around it are allowed, anything else is not.
NumberParse ParseNumber(std::string_view text, ParsedNumber* out);

// Up to `significantDigits` digits, exponent written "E+20" when the number needs one.
std::string FormatReal(double value, int significantDigits);

// "m/d/yyyy", "m/d/yyyy h:mm:ss AM", or the time alone for times on day 0 (0.0 itself is
// "12:00:00 AM").
std::string FormatDate(DATE date);

// Reads "m/d/yyyy", "yyyy-mm-dd" (each optionally followed by a time), or a time alone
// ("h:mm", "h:mm:ss", either with AM/PM). Two-digit years below 30 are 20xx, others 19xx.
bool ParseDate(std::string_view text, DATE* out);

} // namespace velmora::com
