#pragma once
// What each operation of the crash worker does to the followed state, as one transaction of the
// engine: all of it or nothing.
//
// The worker writes a "begin" record with the operation's intent before calling the engine and
// an "end" record with what the engine reported after it. An end record that reports success
// carries every identifier the operation handed out, so its effect is known exactly; an
// operation that was under way when the worker was killed is known only by its intent.
#include <optional>
#include <string>

#include "CrashState.h"
#include "JournalRecord.h"

namespace velmora::stress {

// Applies an operation whose end record reports success. False for an unknown operation.
bool ApplyDone(CrashState& state, const JournalRecord& end);

// The state the operation of `begin` leaves when it commits in full, the identifiers of its new
// rows taken from `found` (the database as it is); std::nullopt when `found` holds no complete
// set of rows it could have added.
std::optional<CrashState> ApplyInFlight(const CrashState& state, const JournalRecord& begin,
                                        const CrashState& found);

// The cascades of deletions, as the engine performs them.
void RemoveBug(CrashState& state, LONG bug);         // its attachments with it
void RemoveVersion(CrashState& state, LONG version); // its bugs with it
void RemoveProduct(CrashState& state, LONG product); // versions, classifications; roles kept
void Synchronize(CrashState& state);                 // reporter names from the user names

} // namespace velmora::stress
