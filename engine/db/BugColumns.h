#pragma once
// The columns of tBugReport: the one list from which the table's layout, the bug's row mapping,
// the bug set's sort and per-column writing, and the bug filters' value types are all derived.
#include <array>
#include <cstddef>
#include <string_view>

// Every column in its binding order (SELECT * reads the row by position):
//   X(name, type, field, member, right)
// name    the column name as statements spell it
// type    a BugColumnType
// field   the eBugField value that names the column for sorting and per-column writing, or
//         NoField
// member  the BugData member that holds the column's value
// right   the right flag a bug set's Update needs before it writes the column, or Unguarded
// Only name and type are used here; the other arguments are tokens for the layers that know
// eBugField, BugData and the right flags.
#define VELMORA_BUG_COLUMNS(X)                                                                     \
    X(BugID, Key, ColID, id, Unguarded)                                                            \
    X(BugType, Byte, ColBugType, bugType, Unguarded)                                               \
    X(Description, EditedText, ColDescription, description, EditDescription)                       \
    X(Report, EditedText, ColReport, report, EditReport)                                           \
    X(RecreateStep, EditedText, ColRecreateStep, recreateStep, EditRecreateStep)                   \
    X(WorkAround, EditedText, ColWorkaround, workaround, EditWorkAround)                           \
    X(Resolution, EditedText, ColResolution, resolution, EditResolution)                           \
    X(StatusName, EditedText, ColStatus, status, Unguarded)                                        \
    X(PriorityName, EditedText, ColPriority, priority, EditPriority)                               \
    X(SeverityName, EditedText, ColSeverity, severity, EditSeverity)                               \
    X(ReproductiveName, Text, ColReproductive, reproductive, EditReproductive)                     \
    X(ClassID, Integer, ColClassID, classificationID, EditClass)                                   \
    X(Classification, Text, ColClassification, classification, EditClass)                          \
    X(ReportedByID, Integer, ColReportedByID, reportedByID, Unguarded)                             \
    X(ReportedBy, Text, ColReportedBy, reportedBy, Unguarded)                                      \
    X(ReportedDate, Date, ColReportedDate, reportedDate, Unguarded)                                \
    X(ReportedInVersionID, Integer, ColReportedInVerID, reportedInVersionID, Unguarded)            \
    X(ReportedInVersion, Text, ColReportedInVer, reportedInVersion, Unguarded)                     \
    X(FixedByID, Integer, ColFixedByID, fixedByID, Unguarded)                                      \
    X(FixedBy, Text, ColFixedBy, fixedBy, Unguarded)                                               \
    X(FixedDate, Date, ColFixedDate, fixedDate, Unguarded)                                         \
    X(FixedInVersionID, Integer, ColFixedInVerID, fixedInVersionID, Unguarded)                     \
    X(FixedInVersion, Text, ColFixedInVer, fixedInVersion, Unguarded)                              \
    X(VerifiedByID, Integer, ColVerifiedByID, verifiedByID, Unguarded)                             \
    X(VerifiedBy, Text, ColVerifiedBy, verifiedBy, Unguarded)                                      \
    X(VerifiedDate, Date, ColVerifiedDate, verifiedDate, Unguarded)                                \
    X(LastModifiedByID, Integer, ColLastModifiedByID, lastModifiedByID, Unguarded)                 \
    X(LastModifiedBy, Text, ColLastModifiedBy, lastModifiedBy, Unguarded)                          \
    X(LastModifiedDate, Date, ColLastModifiedDate, lastModifiedDate, Unguarded)                    \
    X(EstimatedTime, Date, ColEstimatedTime, estimatedTime, Unguarded)                             \
    X(ActualTime, Date, NoField, actualTime, Unguarded)                                            \
    X(DateDue, Date, ColDateDue, dateDue, EditDateDue)

namespace velmora::db {

// What a bug column holds, which decides its declared type, how filters compare it and how the
// row mapping writes it.
enum class BugColumnType {
    Key,        // the bug's identifier
    Integer,    // another 32-bit identifier
    Byte,       // the bug type
    Date,       // an OLE date
    Text,       // a text written as it is; an empty one is stored as NULL
    EditedText, // a text the user edits; saving a bug whose text is empty keeps the stored one
};

enum class BugColumn {
#define VELMORA_BUG_COLUMN_ENUMERATOR(name, type, field, member, right) name,
    VELMORA_BUG_COLUMNS(VELMORA_BUG_COLUMN_ENUMERATOR)
#undef VELMORA_BUG_COLUMN_ENUMERATOR
};

struct BugColumnInfo {
    const char* name;
    BugColumnType type;
};

// Indexed by BugColumn.
inline constexpr std::array kBugColumns = {
#define VELMORA_BUG_COLUMN_INFO(name, type, field, member, right)                                  \
    BugColumnInfo{#name, BugColumnType::type},
    VELMORA_BUG_COLUMNS(VELMORA_BUG_COLUMN_INFO)
#undef VELMORA_BUG_COLUMN_INFO
};

constexpr const BugColumnInfo& InfoOf(BugColumn column) {
    return kBugColumns[static_cast<size_t>(column)];
}

constexpr bool IsText(BugColumnType type) {
    return type == BugColumnType::Text || type == BugColumnType::EditedText;
}

} // namespace velmora::db
