#pragma once
// The four `velmora bugs` commands, each on a logged-in session. They throw EngineError when
// the engine refuses and UsageError for a name the database does not know.
#include "BugsArgs.h"
#include "BugsSession.h"

namespace velmora::tool {

void ListBugs(const BugsCommand& command, BugsSession& session);
void ShowBug(const BugsCommand& command, BugsSession& session);
void AddBug(const BugsCommand& command, BugsSession& session);
void UpdateBug(const BugsCommand& command, BugsSession& session);

} // namespace velmora::tool
