#pragma once
// The rules every database keeps whatever happened to it: sound storage (SQLite's integrity check
// on a file; the amcheck index and table checks on a server, where that extension is
// available), each identifier counter above the largest identifier of its table, and no row
// whose owner is missing.
#include <string>
#include <vector>

#include "DatabaseProbe.h"

namespace velmora::stress {

// One line per broken rule; empty when the database keeps them all.
std::vector<std::string> CheckInvariants(const DatabaseProbe& db);

} // namespace velmora::stress
