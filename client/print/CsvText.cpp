#include "client/print/CsvText.h"

#include "client/config/OleDate.h"

namespace tarnwick {

namespace {

bool NeedsQuotes(const QString& field) {
    for (const QChar c : field)
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\n') ||
            c == QLatin1Char('\r'))
            return true;
    return !field.isEmpty() && (field.front().isSpace() || field.back().isSpace());
}

} // namespace

void AppendCsvField(QString& out, const QString& field) {
    if (!NeedsQuotes(field)) {
        out += field;
        return;
    }
    out += QLatin1Char('"');
    for (const QChar c : field) {
        if (c == QLatin1Char('"')) out += QLatin1Char('"');
        out += c;
    }
    out += QLatin1Char('"');
}

void AppendCsvRecord(QString& out, const QStringList& fields) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0) out += QLatin1Char(',');
        AppendCsvField(out, fields.at(i));
    }
    out += QLatin1String("\r\n");
}

QString IsoDateText(DATE date) {
    if (date == kNoDate) return QString();
    const QDateTime moment = DateTimeFromOleDate(date);
    if (!moment.isValid()) return QString();
    if (moment.time() == QTime(0, 0)) return moment.date().toString(Qt::ISODate);
    return moment.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

} // namespace tarnwick
