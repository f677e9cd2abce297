#pragma once
// The SQL condition text of one bug filter: field, operator and value text.
//
// Integer and byte values are written in decimal, texts between single quotes with their own
// quotes doubled (so no value can change the statement), and dates as whole calendar days
// written with #m/d/yyyy# literals:
//
//   Equal, Like        (F >= #day# AND F < #next day#)
//   NotEqual, Not      NOT (F >= #day# AND F < #next day#)
//   LargerThan         F >= #next day#
//   LargerEqual        F >= #day#
//   LessThan           F < #day#
//   LessEqual          F < #next day#
//
// so a bug reported at 23:59 on a day is found by Equal on that day. A date carries no
// wildcards, so Like on a date means that day; Not on a date means any other day. (Before
// 30 December 1899 the OLE encoding counts the time of day backwards, so there only midnights
// fall inside these ranges.)
#include <string>
#include <variant>

#include <velmora/Com.h>

namespace velmora::engine {

struct BugFilterData;

// Why a filter has no SQL text: the message that goes into the log.
struct FilterSqlFailure {
    std::string message;
};

// The condition text of the filter, or the reason it has none: "Filter's parameter error" for a
// condition outside 1 to 8 or a value that cannot be written (a date outside the years 100 to
// 9999, a text holding a NUL character); "Type mismatch" for a field without a type, or a stored
// value whose type is not the field's.
std::variant<std::string, FilterSqlFailure> FilterConditionSql(const BugFilterData& filter);

} // namespace velmora::engine
