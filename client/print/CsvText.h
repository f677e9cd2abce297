#pragma once
// Comma-separated text as RFC 4180 writes it: records end with CRLF, a field that holds a comma,
// a quote, a line break or leading or trailing blanks is quoted, and quotes inside are doubled.
#include <QString>
#include <QStringList>

#include <velmora/Velmora.h>

namespace tarnwick {

// Appends one field (quoted when it must be).
void AppendCsvField(QString& out, const QString& field);
// Appends the fields separated by commas and a CRLF.
void AppendCsvRecord(QString& out, const QStringList& fields);

// An automation date in ISO 8601: "" for no date, "yyyy-MM-dd" at midnight, else
// "yyyy-MM-ddTHH:mm:ss" (wall-clock time, as stored).
QString IsoDateText(DATE date);

} // namespace tarnwick
