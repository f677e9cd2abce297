#pragma once
// What the demo database will hold for a given size and seed, worked out before the engine is
// touched: every bug and feature with its people, dates, texts and attachments. The same count
// and seed always give the same plan.
#include <cstdint>
#include <string>
#include <vector>

#include "DemoText.h"

namespace velmora::demo {

struct PlannedAttachment {
    std::string fileName;
    std::string content;
    double fileDate = 0.0; // the file's last modification, local time
};

inline constexpr int kNobody = -1;

struct PlannedBug {
    bool feature = false;
    int product = 0;        // index into DemoProducts()
    int version = 0;        // index into the product's versions: reported in
    int classification = 0; // index into the product's classifications
    int fixedInVersion = kNobody;
    std::string status, priority, severity, reproducibility;
    // Indexes into DemoUsers(), or kNobody.
    int reportedBy = kNobody, fixedBy = kNobody, verifiedBy = kNobody, lastModifiedBy = kNobody;
    double reportedDate = 0.0, fixedDate = 0.0, verifiedDate = 0.0, lastModifiedDate = 0.0;
    double estimatedTime = 0.0; // a duration in days
    double dateDue = 0.0;
    BugTexts texts;
    std::vector<PlannedAttachment> attachments;
};

// The statuses in the order the seed database lists them.
const std::vector<std::string>& DemoStatuses();

// count bugs and features, in the order they are reported (so identifiers follow the dates).
std::vector<PlannedBug> PlanBugs(int count, uint64_t seed);

} // namespace velmora::demo
