#include "OleDate.h"

#include <cstdint>

namespace velmora::db {
namespace {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1 January 1970 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t dayOfYear = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

} // namespace

std::optional<double> ToOleDate(const CivilDateTime& when) {
    if (when.year < 100 || when.year > 9999 || when.month < 1 || when.month > 12) {
        return std::nullopt;
    }
    if (when.day < 1 || when.day > DaysInMonth(when.year, when.month)) return std::nullopt;
    if (when.hour < 0 || when.hour > 23 || when.minute < 0 || when.minute > 59 || when.second < 0 ||
        when.second > 59) {
        return std::nullopt;
    }
    const int64_t days =
        DaysFromCivil(when.year, when.month, when.day) - DaysFromCivil(1899, 12, 30);
    const double fraction = (when.hour * 3600.0 + when.minute * 60.0 + when.second) / 86400.0;
    // Before the epoch the whole part counts days backwards while the fraction still counts the
    // time forward from midnight: -1.25 is 29 December 1899, 06:00.
    return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

} // namespace velmora::db
