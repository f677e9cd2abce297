#pragma once
// The columns of the bug list: caption, initial width and the bug field the engine sorts by.
#include <QString>

#include <array>
#include <functional>

#include <velmora/Velmora.h>

namespace tarnwick {

struct BugListColumn {
    const char* caption;
    int width;
    // The engine's sort field; -1 for the status image column, which does not sort.
    int sortField;
};

inline constexpr int kBugListColumnCount = 16;

// Column numbers the list and its callers name.
enum BugListColumnIndex : int {
    kStatusImageColumn = 0,
    kIdColumn = 1,
    kDescriptionColumn = 2,
    kStatusColumn = 3,
    kSeverityColumn = 4,
    kPriorityColumn = 5,
    kReproductiveColumn = 6,
    kClassificationColumn = 7,
    kReportedInVersionColumn = 8,
    kReportedByColumn = 9,
    kReportedDateColumn = 10,
    kFixedInVersionColumn = 11,
    kFixedByColumn = 12,
    kFixedDateColumn = 13,
    kVerifiedByColumn = 14,
    kVerifiedDateColumn = 15,
};

inline constexpr std::array<BugListColumn, kBugListColumnCount> kBugListColumns = {{
    {"S", 20, -1},
    {"ID", 50, ColID},
    {"Descriptoin", 150, ColDescription},
    {"Status", 80, ColStatus},
    {"Severity", 80, ColSeverity},
    {"Priority", 80, ColPriority},
    {"Reproductive", 80, ColReproductive},
    {"Classification", 100, ColClassification},
    {"Reported In Version", 100, ColReportedInVer},
    {"Reported By", 100, ColReportedBy},
    {"Reported Date", 100, ColReportedDate},
    {"Fixed In Version", 100, ColFixedInVer},
    {"Fixed By", 100, ColFixedBy},
    {"Fixed Date", 100, ColFixedDate},
    {"Verified By", 100, ColVerifiedBy},
    {"Verified Date", 100, ColVerifiedDate},
}};

// The text of one column of a bug as a list shows it, dates through dateText; an empty text for
// the status image column. Raises EngineFailure when the engine refuses a read.
QString BugColumnText(IBug* bug, int column, const std::function<QString(DATE)>& dateText);

} // namespace tarnwick
