#pragma once
// How the list writes a date: the client's stored date format (strftime-style %-codes), or the
// locale's short date when no format is chosen.
#include <QDateTime>
#include <QString>

#include <velmora/Velmora.h>

namespace tarnwick {

// The text of a date in the list: "" for 0.0 (no date) and for dates that name no day; the
// locale's short date when storedFormat is empty; otherwise storedFormat with its %-codes
// replaced: %Y %y %B %b %m %d %e %j %A %a %H %I %M %S %p %%, English names as the C locale
// writes them. An unknown code is written as it stands.
QString DateText(DATE date, const QString& storedFormat);

} // namespace tarnwick
