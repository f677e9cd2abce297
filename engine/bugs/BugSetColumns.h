#pragma once
// The bug's columns as the bug layer sees them: the eBugField values a bug set sorts by and
// writes back one by one, each with the right that guards changing it. All of it comes from the
// one list of tBugReport's columns.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include <velmora/Velmora.h>

#include "engine/admin/Right.h"
#include "engine/bugs/Bug.h"
#include "engine/db/BugColumns.h"
#include "engine/db/Database.h"
#include "engine/mapping/BugMembers.h"

namespace velmora::engine {

// The column name of a field; the empty text for a value outside ColID..ColBugType.
std::string_view BugColumnName(LONG field);

// The right a bug set's Update needs before it writes the field's column, if any.
std::optional<RightFlag> BugColumnRight(LONG field);

// The value the field's column receives from the bug: texts as texts (even when empty),
// identifiers as 32-bit integers, dates as dates, the bug type as a byte. Null for a value that
// names no column.
db::Value BugColumnValue(const BugData& bug, LONG field);

} // namespace velmora::engine
