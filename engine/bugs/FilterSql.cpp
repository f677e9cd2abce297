#include "engine/bugs/FilterSql.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>

#include <velmora/ComSupport.h>

#include "engine/bugs/BugFilter.h"
#include "engine/bugs/FilterFieldTypes.h"
#include "engine/db/SqlText.h"

namespace velmora::engine {

namespace {

constexpr const char* kParameterError = "Filter's parameter error";
constexpr const char* kTypeMismatch = "Type mismatch";

// The operator text of each condition, Equal (1) to Like (8).
constexpr std::array<std::string_view, 8> kOperators = {
    " = ", " <> ", " > ", " >= ", " < ", " <= ", " NOT ", " LIKE ",
};

bool IsKnownCondition(LONG condition) {
    return condition >= Equal && condition <= Like;
}

// OLE dates of 1 January 100 and 31 December 9999, the range a date literal can name.
constexpr double kFirstDay = -657434.0;
constexpr double kLastDay = 2958465.0;
constexpr int64_t kSecondsPerDay = 86400;

struct CivilDay {
    int64_t year;
    unsigned month;
    unsigned day;
};

// The calendar day of a day count since 1 January 1970 (proleptic Gregorian).
CivilDay CivilFromDays(int64_t z) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(z - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const unsigned month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    return {static_cast<int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0), month, day};
}

// The serial day number (days since 30 December 1899) of the calendar day an OLE date falls on.
// The whole part counts the days on both sides of the epoch; a time that rounds to the next
// midnight belongs to the next day, as the date is shown.
int64_t SerialDayOf(DATE date) {
    const double whole = std::trunc(date);
    int64_t serialDay = static_cast<int64_t>(whole);
    if (std::llround(std::fabs(date - whole) * kSecondsPerDay) >= kSecondsPerDay) ++serialDay;
    return serialDay;
}

// The #m/d/yyyy# literal of the calendar day of an OLE date, dayOffset days later; the empty
// text when that day lies outside the years 100 to 9999 (or the date is no number).
std::string DayLiteral(DATE date, int dayOffset = 0) {
    if (!(date > kFirstDay - 1.0 && date < kLastDay + 1.0)) return ""; // also refuses NaN
    const int64_t serialDay = SerialDayOf(date) + dayOffset;
    if (serialDay < static_cast<int64_t>(kFirstDay) || serialDay > static_cast<int64_t>(kLastDay))
        return "";
    constexpr int64_t kEpochFrom1970 = -25569; // 30 December 1899 counted from 1 January 1970
    const CivilDay civil = CivilFromDays(serialDay + kEpochFrom1970);
    return "#" + std::to_string(civil.month) + "/" + std::to_string(civil.day) + "/" +
           std::to_string(civil.year) + "#";
}

std::string QuotedText(BSTR text) {
    return "'" + db::EscapeQuotes(com::ToUtf8(text)) + "'";
}

// The date condition over whole calendar days (see the header).
std::variant<std::string, FilterSqlFailure> DateConditionSql(const std::string& field,
                                                             LONG condition, DATE date) {
    const std::string day = DayLiteral(date);
    const std::string nextDay = DayLiteral(date, 1);
    const bool needsNextDay = condition != LargerEqual && condition != LessThan;
    if (day.empty() || (needsNextDay && nextDay.empty())) return FilterSqlFailure{kParameterError};

    const std::string range = "(" + field + " >= " + day + " AND " + field + " < " + nextDay + ")";
    switch (condition) {
    case Equal:
    case Like:
        return range;
    case NotEqual:
    case Not:
        return "NOT " + range;
    case LargerThan:
        return field + " >= " + nextDay;
    case LargerEqual:
        return field + " >= " + day;
    case LessThan:
        return field + " < " + day;
    case LessEqual:
        return field + " < " + nextDay;
    default:
        return FilterSqlFailure{kParameterError};
    }
}

} // namespace

std::variant<std::string, FilterSqlFailure> FilterConditionSql(const BugFilterData& filter) {
    const LONG condition = filter.condition;
    if (!IsKnownCondition(condition)) return FilterSqlFailure{kParameterError};

    const VARTYPE type = FilterValueType(filter.field);
    // The value is read as the field's type only when it holds that type: the field may have
    // changed after the value was set, and copied filters skip the value check.
    if (type == VT_NULL || filter.value.vt != type) return FilterSqlFailure{kTypeMismatch};

    const std::string_view op = kOperators[condition - Equal];
    const VARIANT& value = filter.value;
    switch (type) {
    case VT_I4:
        return filter.field + std::string(op) + std::to_string(value.lVal);
    case VT_UI1:
        return filter.field + std::string(op) + std::to_string(unsigned{value.bVal});
    case VT_BSTR: {
        // A NUL would end the statement text inside the quotes.
        const UINT length = SysStringLen(value.bstrVal);
        for (UINT i = 0; i < length; ++i)
            if (value.bstrVal[i] == u'\0') return FilterSqlFailure{kParameterError};
        return filter.field + std::string(op) + QuotedText(value.bstrVal);
    }
    case VT_DATE:
        return DateConditionSql(filter.field, condition, value.date);
    default:
        return FilterSqlFailure{kTypeMismatch};
    }
}

} // namespace velmora::engine
