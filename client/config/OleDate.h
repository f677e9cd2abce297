#pragma once
// Automation dates (DATE): days since 30 December 1899 as a double, the time of day as the
// fraction. For dates before 30 December 1899 the fraction still counts forward from midnight:
// -1.25 is 29 December 1899, 06:00. The engine stores 0.0 for "no date"; whether 0.0 is shown as
// a date is the caller's choice.
#include <QDate>
#include <QDateTime>

#include <velmora/Com.h>

namespace tarnwick {

inline constexpr DATE kNoDate = 0.0;

// The date at 00:00:00.
DATE OleDateFromDate(QDate date);
// The date and wall-clock time of value (its time zone is not looked at), to the millisecond.
DATE OleDateFromDateTime(const QDateTime& value);

// The wall-clock date and time of an automation date (as UTC, so that no time zone's
// daylight-saving gap can make it invalid), rounded to the millisecond. Not-a-number, infinities
// and values outside the years 100 to 9999 give an invalid QDateTime.
QDateTime DateTimeFromOleDate(DATE value);
// The calendar day of an automation date (time of day dropped); invalid as above.
QDate DateFromOleDate(DATE value);

} // namespace tarnwick
