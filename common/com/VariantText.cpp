#include "VariantText.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace velmora::com {
namespace {

constexpr int64_t kDaysFromEpochToDayZero = -25569; // 30 December 1899 counted from 1 Jan 1970
constexpr int64_t kSecondsPerDay = 86400;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// Days since 1 January 1970 of a date in the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

struct CivilDate {
    int64_t year;
    unsigned month;
    unsigned day;
};

CivilDate CivilFromDays(int64_t z) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int64_t>(yoe) + era * 400 + (m <= 2), m, d};
}

unsigned DaysInMonth(int64_t year, unsigned month) {
    static const unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// A cursor over date text.
class Reader {
  public:
    explicit Reader(std::string_view text) : text_(text) {}
    bool AtEnd() const { return pos_ == text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
    bool Accept(char c) {
        if (Peek() != c) return false;
        ++pos_;
        return true;
    }
    size_t SkipSpaces() {
        const size_t start = pos_;
        while (!AtEnd() && IsSpace(text_[pos_]))
            ++pos_;
        return pos_ - start;
    }
    // Up to maxDigits decimal digits; returns how many were read.
    size_t Number(int* value, size_t maxDigits = 4) {
        size_t count = 0;
        int result = 0;
        while (count < maxDigits && IsDigit(Peek())) {
            result = result * 10 + (text_[pos_++] - '0');
            ++count;
        }
        *value = result;
        return count;
    }
    bool AcceptWordIgnoringCase(std::string_view word) {
        if (text_.size() - pos_ < word.size()) return false;
        for (size_t i = 0; i < word.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(text_[pos_ + i])) != word[i]) return false;
        pos_ += word.size();
        return true;
    }

  private:
    std::string_view text_;
    size_t pos_ = 0;
};

// Reads "h:mm[:ss][ AM|PM]" as a fraction of a day.
bool ReadTime(Reader& in, double* fraction) {
    int hour = 0, minute = 0, second = 0;
    if (!in.Number(&hour, 2) || !in.Accept(':') || in.Number(&minute, 2) != 2) return false;
    if (in.Accept(':') && in.Number(&second, 2) != 2) return false;
    in.SkipSpaces();
    const bool morning = in.AcceptWordIgnoringCase("am");
    const bool afternoon = !morning && in.AcceptWordIgnoringCase("pm");
    if (morning || afternoon) {
        if (hour < 1 || hour > 12) return false;
        hour = hour % 12 + (afternoon ? 12 : 0);
    }
    if (hour > 23 || minute > 59 || second > 59) return false;
    *fraction = (hour * 3600 + minute * 60 + second) / double(kSecondsPerDay);
    return true;
}

int WindowedYear(int year, size_t digits) {
    if (digits > 2) return year;
    return year < 30 ? 2000 + year : 1900 + year;
}

// Reads "m/d/yyyy" or "yyyy-mm-dd" as a day number (0 = 30 December 1899).
bool ReadDay(Reader& in, int64_t* serialDay) {
    int first = 0, second = 0, third = 0;
    const size_t firstDigits = in.Number(&first);
    if (!firstDigits) return false;
    int year, month, day;
    if (in.Accept('/')) {
        if (!in.Number(&second, 2) || !in.Accept('/')) return false;
        const size_t yearDigits = in.Number(&third);
        if (!yearDigits) return false;
        month = first;
        day = second;
        year = WindowedYear(third, yearDigits);
    } else if (firstDigits == 4 && in.Accept('-')) {
        if (!in.Number(&second, 2) || !in.Accept('-') || !in.Number(&third, 2)) return false;
        year = first;
        month = second;
        day = third;
    } else {
        return false;
    }
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        unsigned(day) > DaysInMonth(year, unsigned(month)))
        return false;
    *serialDay = DaysFromCivil(year, unsigned(month), unsigned(day)) - kDaysFromEpochToDayZero;
    return true;
}

// The power of ten of the first significant digit of an unsigned decimal number (digits, an
// optional fraction and an optional exponent), saturating far outside the range of doubles.
long DecimalExponent(std::string_view number) {
    long leading = 0;
    size_t pos = 0;
    size_t integerDigits = 0;
    bool seenNonZero = false;
    for (; pos < number.size() && IsDigit(number[pos]); ++pos) {
        if (number[pos] != '0') seenNonZero = true;
        if (seenNonZero) ++integerDigits;
    }
    if (integerDigits) {
        leading = static_cast<long>(integerDigits) - 1;
    } else if (pos < number.size() && number[pos] == '.') {
        long zeros = 0;
        for (++pos; pos < number.size() && number[pos] == '0'; ++pos)
            ++zeros;
        leading = -zeros - 1;
    }
    while (pos < number.size() && number[pos] != 'e' && number[pos] != 'E')
        ++pos;
    long exponent = 0;
    if (pos < number.size()) {
        ++pos;
        const bool negative = pos < number.size() && number[pos] == '-';
        if (pos < number.size() && (number[pos] == '+' || number[pos] == '-')) ++pos;
        for (; pos < number.size(); ++pos)
            if (exponent < 100000) exponent = exponent * 10 + (number[pos] - '0');
        if (negative) exponent = -exponent;
    }
    return leading + exponent;
}

} // namespace

NumberParse ParseNumber(std::string_view text, ParsedNumber* out) {
    text = Trim(text);
    if (text.empty()) return NumberParse::kNotANumber;

    if (text.size() > 2 && text[0] == '&') {
        const char radixLetter =
            static_cast<char>(std::toupper(static_cast<unsigned char>(text[1])));
        const int radix = radixLetter == 'H' ? 16 : radixLetter == 'O' ? 8 : 0;
        if (!radix) return NumberParse::kNotANumber;
        uint64_t value = 0;
        const char* first = text.data() + 2;
        const char* last = text.data() + text.size();
        const auto [end, ec] = std::from_chars(first, last, value, radix);
        if (ec == std::errc::result_out_of_range) return NumberParse::kOutOfRange;
        if (ec != std::errc() || end != last) return NumberParse::kNotANumber;
        if (value > uint64_t(std::numeric_limits<int64_t>::max())) return NumberParse::kOutOfRange;
        *out = {true, static_cast<int64_t>(value), static_cast<double>(value)};
        return NumberParse::kOk;
    }

    // [sign] digits [. digits] [E [sign] digits], with at least one mantissa digit.
    size_t pos = 0;
    const bool negative = text[pos] == '-';
    if (text[pos] == '+' || text[pos] == '-') ++pos;
    const size_t mantissaStart = pos;
    size_t mantissaDigits = 0;
    bool integral = true;
    while (pos < text.size() && IsDigit(text[pos]))
        ++pos, ++mantissaDigits;
    if (pos < text.size() && text[pos] == '.') {
        integral = false;
        ++pos;
        while (pos < text.size() && IsDigit(text[pos]))
            ++pos, ++mantissaDigits;
    }
    if (!mantissaDigits) return NumberParse::kNotANumber;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        integral = false;
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
        size_t exponentDigits = 0;
        while (pos < text.size() && IsDigit(text[pos]))
            ++pos, ++exponentDigits;
        if (!exponentDigits) return NumberParse::kNotANumber;
    }
    if (pos != text.size()) return NumberParse::kNotANumber;

    // from_chars takes no '+' sign: parse the unsigned part and apply the sign afterwards.
    const char* first = text.data() + mantissaStart;
    const char* last = text.data() + text.size();
    if (integral) {
        uint64_t magnitude = 0;
        const auto [end, ec] = std::from_chars(first, last, magnitude);
        if (ec == std::errc() && end == last) {
            const uint64_t limit =
                uint64_t(std::numeric_limits<int64_t>::max()) + (negative ? 1 : 0);
            if (magnitude <= limit) {
                const int64_t value = negative ? static_cast<int64_t>(0 - magnitude)
                                               : static_cast<int64_t>(magnitude);
                *out = {true, value, static_cast<double>(value)};
                return NumberParse::kOk;
            }
        }
    }
    double magnitude = 0;
    const auto [end, ec] = std::from_chars(first, last, magnitude);
    if (ec == std::errc::result_out_of_range) {
        // Too large is an overflow; too small to represent is zero.
        if (DecimalExponent(text.substr(mantissaStart)) > 0) return NumberParse::kOutOfRange;
        *out = {false, 0, 0.0};
        return NumberParse::kOk;
    }
    if (ec != std::errc() || end != last) return NumberParse::kNotANumber;
    *out = {false, 0, negative ? -magnitude : magnitude};
    return NumberParse::kOk;
}

std::string FormatReal(double value, int significantDigits) {
    if (value == 0) return "0"; // also for -0
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                         std::chars_format::general, significantDigits);
    if (ec != std::errc()) return "0";
    std::string text(buffer, end);
    for (char& c : text)
        if (c == 'e') c = 'E';
    return text;
}

std::string FormatDate(DATE date) {
    const double whole = std::trunc(date);
    int64_t serialDay = static_cast<int64_t>(whole);
    int64_t seconds = std::llround(std::fabs(date - whole) * kSecondsPerDay);
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        ++serialDay;
    }
    // Day 0 shows only its time; midnight of any other day only the date.
    const bool showDate = serialDay != 0;
    const bool showTime = seconds != 0 || serialDay == 0;
    char buffer[64];
    std::string text;
    if (showDate) {
        const CivilDate c = CivilFromDays(serialDay + kDaysFromEpochToDayZero);
        std::snprintf(buffer, sizeof buffer, "%u/%u/%lld", c.month, c.day,
                      static_cast<long long>(c.year));
        text = buffer;
    }
    if (showTime) {
        const auto hour = static_cast<int>(seconds / 3600);
        const auto minute = static_cast<int>(seconds / 60 % 60);
        const auto second = static_cast<int>(seconds % 60);
        std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d %s", hour % 12 == 0 ? 12 : hour % 12,
                      minute, second, hour < 12 ? "AM" : "PM");
        if (!text.empty()) text += ' ';
        text += buffer;
    }
    return text;
}

bool ParseDate(std::string_view text, DATE* out) {
    Reader in(Trim(text));
    int64_t serialDay = 0;
    double time = 0;
    // A time alone starts with "h:"; anything else must start with a date.
    Reader probe = in;
    int ignored;
    probe.Number(&ignored, 2);
    const bool timeOnly = probe.Accept(':');
    if (!timeOnly) {
        if (!ReadDay(in, &serialDay)) return false;
        if (!in.AtEnd()) {
            const bool separated = in.SkipSpaces() > 0 || in.Accept('T') || in.Accept('t');
            if (!separated || !ReadTime(in, &time)) return false;
        }
    } else if (!ReadTime(in, &time)) {
        return false;
    }
    if (!in.AtEnd()) return false;
    // Before day 0 the time still counts forward from midnight, so it is subtracted.
    *out = serialDay >= 0 ? double(serialDay) + time : double(serialDay) - time;
    return true;
}

} // namespace velmora::com
