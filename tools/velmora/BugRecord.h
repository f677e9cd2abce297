#pragma once
// One bug as the tool shows it: every field read through the object model once, and the
// columns of the client's bug list made from it.
#include <string>
#include <vector>

#include <velmora/Velmora.h>

#include "RowFormat.h"

namespace velmora::tool {

struct BugRecord {
    LONG id = 0;
    bool feature = false;
    std::string description, status, priority, severity, reproductive, classification;
    std::string reportedInVersion, reportedBy, fixedInVersion, fixedBy, verifiedBy, lastModifiedBy;
    double reportedDate = 0, fixedDate = 0, verifiedDate = 0, lastModifiedDate = 0,
           estimatedTime = 0, dateDue = 0;
    // The long texts as stored (rich text).
    std::string report, recreateStep, workaround, resolution;
};

// Reads every field of the bug; throws EngineError.
BugRecord ReadBug(IBug* bug);

// The columns of the bug list, in the client's order, and one bug's cells in them.
const std::vector<Column>& ListColumns();
std::vector<Cell> ListRow(const BugRecord& bug);

} // namespace velmora::tool
