#pragma once
// What a killed or finished client may leave behind on a server: its session, a transaction the
// session still holds open, the advisory write lock. On a file the rollback journal plays this
// part.
#include <chrono>
#include <string>
#include <vector>

#include "DatabaseProbe.h"

namespace velmora::stress {

struct SessionsLeft {
    long waitedMs = 0; // until the last other session ended
    std::vector<std::string> violations;
};

// Waits up to `limit` for every client session on the probe's server database other than the
// probe's own to end, then checks that no advisory lock is held there. One violation for each
// session still there at the limit (naming its state, "idle in transaction" for a transaction
// left open) and for each advisory lock. Throws std::runtime_error when the server cannot be
// asked.
SessionsLeft AwaitOtherSessionsEnd(const DatabaseProbe& db, std::chrono::milliseconds limit);

} // namespace velmora::stress
