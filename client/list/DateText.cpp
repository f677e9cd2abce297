#include "client/list/DateText.h"

#include "client/config/OleDate.h"

#include <QLocale>


namespace tarnwick {

namespace {

constexpr const char* kMonthNames[] = {"January",   "February", "March",    "April",
                                       "May",       "June",     "July",     "August",
                                       "September", "October",  "November", "December"};
constexpr const char* kMonthShortNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
// Indexed by QDate::dayOfWeek() - 1: Monday first.
constexpr const char* kDayNames[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                     "Friday", "Saturday", "Sunday"};
constexpr const char* kDayShortNames[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

QString TwoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

QString DateText(DATE date, const QString& storedFormat) {
    if (date == 0.0) return QString();
    const QDateTime moment = DateTimeFromOleDate(date);
    if (!moment.isValid()) return QString();
    const QDate day = moment.date();
    const QTime time = moment.time();
    if (storedFormat.isEmpty()) return QLocale().toString(day, QLocale::ShortFormat);

    QString text;
    text.reserve(storedFormat.size() + 16);
    for (qsizetype i = 0; i < storedFormat.size(); ++i) {
        const QChar c = storedFormat.at(i);
        if (c != QLatin1Char('%') || i + 1 == storedFormat.size()) {
            text += c;
            continue;
        }
        const QChar code = storedFormat.at(++i);
        switch (code.unicode()) {
        case 'Y':
            text += QString::number(day.year());
            break;
        case 'y':
            text += TwoDigits(((day.year() % 100) + 100) % 100);
            break;
        case 'B':
            text += QLatin1String(kMonthNames[day.month() - 1]);
            break;
        case 'b':
            text += QLatin1String(kMonthShortNames[day.month() - 1]);
            break;
        case 'm':
            text += TwoDigits(day.month());
            break;
        case 'd':
            text += TwoDigits(day.day());
            break;
        case 'e':
            text += QStringLiteral("%1").arg(day.day(), 2);
            break;
        case 'j':
            text += QStringLiteral("%1").arg(day.dayOfYear(), 3, 10, QLatin1Char('0'));
            break;
        case 'A':
            text += QLatin1String(kDayNames[day.dayOfWeek() - 1]);
            break;
        case 'a':
            text += QLatin1String(kDayShortNames[day.dayOfWeek() - 1]);
            break;
        case 'H':
            text += TwoDigits(time.hour());
            break;
        case 'I':
            text += TwoDigits(time.hour() % 12 == 0 ? 12 : time.hour() % 12);
            break;
        case 'M':
            text += TwoDigits(time.minute());
            break;
        case 'S':
            text += TwoDigits(time.second());
            break;
        case 'p':
            text += QLatin1String(time.hour() < 12 ? "AM" : "PM");
            break;
        case '%':
            text += QLatin1Char('%');
            break;
        default: // not a code this list knows: written as it stands
            text += c;
            text += code;
            break;
        }
    }
    return text;
}

} // namespace tarnwick
