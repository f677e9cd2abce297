#pragma once
// Calendar dates as automation dates (days since 30 December 1899, the fraction the time of
// day), computed without the clock or the time zone.

namespace velmora::demo {

// Days from 1 January 1970 to the given day of the proleptic Gregorian calendar.
constexpr long long DaysFromCivil(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct CivilTime {
    int year, month, day, hour, minute, second;
};

// The calendar day and the time of day (to the nearest second) of an automation date.
constexpr CivilTime ToCivil(double date) {
    long long days = static_cast<long long>(date);
    if (static_cast<double>(days) > date) --days; // floor for dates before 1899
    long long seconds = static_cast<long long>((date - static_cast<double>(days)) * 86400.0 + 0.5);
    if (seconds >= 86400) {
        ++days;
        seconds -= 86400;
    }
    const long long z = days - 25569 + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long dayOfEra = z - era * 146097;
    const long long yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long monthIndex = (5 * dayOfYear + 2) / 153;
    const int month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    return {static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0)),
            month,
            static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1),
            static_cast<int>(seconds / 3600),
            static_cast<int>(seconds / 60 % 60),
            static_cast<int>(seconds % 60)};
}

// 30 December 1899 is day -25569 counted from 1 January 1970.
constexpr double OleDate(int year, int month, int day, int hour = 0, int minute = 0) {
    return static_cast<double>(DaysFromCivil(year, month, day) + 25569) +
           (hour * 60 + minute) / 1440.0;
}

static_assert(OleDate(1899, 12, 30) == 0.0);
static_assert(OleDate(2000, 1, 1) == 36526.0);
static_assert(ToCivil(OleDate(2024, 2, 29, 13, 45)).day == 29);
static_assert(ToCivil(OleDate(2024, 2, 29, 13, 45)).minute == 45);

// The demo's "today": every generated date lies on or before it, whatever day the tool runs.
inline constexpr double kDemoToday = OleDate(2024, 6, 28);
// The end of the demo's working day on that date.
inline constexpr double kDemoNow = OleDate(2024, 6, 28, 18, 0);

} // namespace velmora::demo
