#pragma once
// Calendar dates as OLE automation dates: days since 30 December 1899 as a double, the time of
// day as the fraction.
#include <optional>

namespace velmora::db {

struct CivilDateTime {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The OLE date of a valid calendar date and time (years 100 to 9999); std::nullopt otherwise.
std::optional<double> ToOleDate(const CivilDateTime& when);

} // namespace velmora::db
