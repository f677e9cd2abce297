#pragma once
// Compares the database after a stress run with what the journals say it must hold.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "DatabaseProbe.h"
#include "StressExpectation.h"

namespace velmora::stress {

// The rows the workers found when they started; they are no worker's to account for.
struct SeedRows {
    std::map<std::string, std::set<LONG>> ids; // table -> identifiers
    std::map<LONG, std::string> userNames;
};

SeedRows ReadSeedRows(const DatabaseProbe& db);

// One line per violation: a reported success missing from the database, a row nobody's success
// accounts for, a lost update, an update or deletion reported as failed that took effect.
std::vector<std::string> CompareWithDatabase(const StressExpectation& expected,
                                             const SeedRows& seed, const DatabaseProbe& db);

} // namespace velmora::stress
