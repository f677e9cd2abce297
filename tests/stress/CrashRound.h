#pragma once
// Judges the database after one killed crash worker: every operation the worker saw succeed
// must be there in full, the one under way at the kill in full or not at all, and nothing else.
#include <string>
#include <vector>

#include "CrashState.h"
#include "JournalRecord.h"

namespace velmora::stress {

struct RoundVerdict {
    int succeeded = 0;    // operations whose end record reports success
    int failed = 0;       // operations whose end record reports failure
    std::string inFlight; // the operation under way at the kill, or ""
    bool inFlightCommitted = false;
    std::vector<std::string> violations;
};

// `before`: the state the worker started from; `log`: its side log; `found`: the database now.
RoundVerdict JudgeRound(const CrashState& before, const std::vector<JournalRecord>& log,
                        const CrashState& found);

} // namespace velmora::stress
