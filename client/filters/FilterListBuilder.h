#pragma once
// The filter list of a session: four predefined filters for the active product version, then the
// user's saved filters.
#include <QDate>
#include <QString>

#include "client/filters/FilterList.h"

namespace tarnwick {

inline const char* const kMyBugsFilter = "My Bugs";
inline const char* const kTodaysBugFilter = "Today's Bug";
inline const char* const kFixedBugsFilter = "Fixed Bugs";
inline const char* const kVerifiedBugsFilter = "Verified Bugs";

// Rebuilds list for the session: empties it and, when a user is logged in, adds "My Bugs" (one
// condition per classification the user is assigned in the active product), "Today's Bug"
// (reported on today, the date given, as of 00:00:00), "Fixed Bugs" and "Verified Bugs", marks
// those four as predefined and appends the sets saved in filterFile. A filter file that can't
// be read is passed over silently. Engine failures raise EngineFailure; the entries added before
// the failure stay.
void BuildFilterList(IExeContext* session, FilterList& list, const QString& filterFile,
                     QDate today);

} // namespace tarnwick
