#include "client/config/OleDate.h"

#include <cmath>

namespace tarnwick {

namespace {

constexpr qint64 kMsecsPerDay = 24LL * 60 * 60 * 1000;
// 1 January 100 and 31 December 9999, the range automation dates cover.
constexpr double kFirstDay = -657434.0;
constexpr double kLastDay = 2958465.0;

QDate Epoch() {
    return QDate(1899, 12, 30);
}

} // namespace

DATE OleDateFromDate(QDate date) {
    if (!date.isValid()) return kNoDate;
    return static_cast<DATE>(Epoch().daysTo(date));
}

DATE OleDateFromDateTime(const QDateTime& value) {
    if (!value.isValid()) return kNoDate;
    const double days = static_cast<double>(Epoch().daysTo(value.date()));
    const double fraction = static_cast<double>(value.time().msecsSinceStartOfDay()) /
                            static_cast<double>(kMsecsPerDay);
    return days < 0 ? days - fraction : days + fraction;
}

QDateTime DateTimeFromOleDate(DATE value) {
    if (!std::isfinite(value) || value < kFirstDay || value >= kLastDay + 1.0) return QDateTime();
    double days = std::trunc(value);
    qint64 msecs = std::llround(std::fabs(value - days) * static_cast<double>(kMsecsPerDay));
    if (msecs >= kMsecsPerDay) {
        // Rounded up to the next midnight, which is a day later for negative values as well.
        msecs -= kMsecsPerDay;
        days += 1.0;
    }
    const QDate date = Epoch().addDays(static_cast<qint64>(days));
    // Wall-clock time with no time zone: a local time that falls into a daylight-saving gap
    // would otherwise make the whole value invalid (and the date vanish from the list).
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(msecs)), Qt::UTC);
}

QDate DateFromOleDate(DATE value) {
    return DateTimeFromOleDate(value).date();
}

} // namespace tarnwick
