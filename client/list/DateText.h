#pragma once
// How the list writes a date: the client's stored date format (strftime-style %-codes), or the
// locale's short date when no format is chosen.
#include <QDateTime>
#include <QString>

#include <velmora/Velmora.h>

namespace tarnwick {

// The calendar day and time of an automation date (days since 30 December 1899, the time as the
// fraction; for dates before the epoch the fraction still counts forward from the day). Times
// are rounded to the second. An invalid QDateTime for a value outside the years 100 to 9999.
QDateTime DateTimeFromOle(DATE date);

// The text of a date in the list: "" for 0.0 (no date) and for dates that name no day; the
// locale's short date when storedFormat is empty; otherwise storedFormat with its %-codes
// replaced: %Y %y %B %b %m %d %e %j %A %a %H %I %M %S %p %%, English names as the C locale
// writes them. An unknown code is written as it stands.
QString DateText(DATE date, const QString& storedFormat);

} // namespace tarnwick
