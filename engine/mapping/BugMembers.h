#pragma once
// Which BugData member holds each column of tBugReport, derived from the one list of the
// table's columns: the row mapping reads and writes through it, the bug layer sorts and writes
// back single fields through it.
#include <array>
#include <string>
#include <variant>

#include "engine/db/BugColumns.h"
#include "engine/mapping/Rows.h"

namespace velmora::engine {

// A pointer to the BugData member that holds one column.
using BugMember =
    std::variant<LONG BugData::*, SHORT BugData::*, DATE BugData::*, std::string BugData::*>;

// Indexed by db::BugColumn.
inline constexpr std::array<BugMember, db::kBugColumns.size()> kBugMembers = {
#define VELMORA_BUG_MEMBER(name, type, field, member, right) BugMember(&BugData::member),
    VELMORA_BUG_COLUMNS(VELMORA_BUG_MEMBER)
#undef VELMORA_BUG_MEMBER
};

// Calls visit with the member of bug (a BugData, const or not) that holds the column's value.
template <class Data, class Visit>
decltype(auto) VisitBugMember(Data& bug, db::BugColumn column, Visit&& visit) {
    return std::visit([&](auto member) -> decltype(auto) { return visit(bug.*member); },
                      kBugMembers[static_cast<size_t>(column)]);
}

} // namespace velmora::engine
