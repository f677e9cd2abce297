#pragma once
// The rules every database keeps whatever happened to it: a sound file, each identifier counter
// ahead of the identifiers of its table, and no row that points at a missing owner.
#include <string>
#include <vector>

#include "DatabaseProbe.h"

namespace velmora::stress {

// One line per broken rule; empty when the database keeps them all.
std::vector<std::string> CheckInvariants(const DatabaseProbe& db);

} // namespace velmora::stress
