#pragma once
// The row filter of a list that is being searched: the user's own filter with the search as
// one more And group, built from the engine's filter objects so the engine writes the SQL.
//
// The search matches a bug whose ID equals the number typed, or whose Description contains the
// text. The engine quotes text values itself (single quotes are doubled), but a LIKE pattern
// has no escape: "%" and "_" in the text stand for one character of any kind (so "50%" finds
// "50%" and also "50x"). A user filter that is split into two groups is kept exact: groups
// joined with Or are written as one flat list (And binds before Or, so the meaning is the
// same); groups joined with And keep their first group and take the search into every Or-term
// of the second group.
#include <QString>

#include "client/adapter/EngineCall.h"

namespace tarnwick {

// The search text as the engine is given it: trimmed, control characters removed, "%" turned
// into "_". Empty when nothing is left to search for.
QString QuickSearchPattern(const QString& typed);

// The filter set for the user's filter (null or empty for none) narrowed by the typed search.
// Returns the user's filter itself when the search is empty. Raises EngineFailure.
ComPtr<IBugFilterSet> CombinedFilter(IBugFilterSet* userFilter, const QString& typed);

} // namespace tarnwick
