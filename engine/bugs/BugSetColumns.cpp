#include "engine/bugs/BugSetColumns.h"

#include <array>
#include <string>

namespace velmora::engine {
namespace {

enum class Kind { Id, Text, Date, Type };

struct BugColumn {
    std::string_view name;
    std::optional<RightFlag> right;
    Kind kind;
};

// Indexed by eBugField.
constexpr std::array<BugColumn, ColBugType + 1> kColumns = {{
    {"BugID", std::nullopt, Kind::Id},
    {"SeverityName", RightFlag::EditSeverity, Kind::Text},
    {"StatusName", std::nullopt, Kind::Text},
    {"PriorityName", RightFlag::EditPriority, Kind::Text},
    {"ReproductiveName", RightFlag::EditReproductive, Kind::Text},
    {"Description", RightFlag::EditDescription, Kind::Text},
    {"Report", RightFlag::EditReport, Kind::Text},
    {"RecreateStep", RightFlag::EditRecreateStep, Kind::Text},
    {"WorkAround", RightFlag::EditWorkAround, Kind::Text},
    {"Resolution", RightFlag::EditResolution, Kind::Text},
    {"ReportedBy", std::nullopt, Kind::Text},
    {"ReportedInVersion", std::nullopt, Kind::Text},
    {"ReportedDate", std::nullopt, Kind::Date},
    {"FixedBy", std::nullopt, Kind::Text},
    {"FixedInVersion", std::nullopt, Kind::Text},
    {"FixedDate", std::nullopt, Kind::Date},
    {"VerifiedBy", std::nullopt, Kind::Text},
    {"VerifiedDate", std::nullopt, Kind::Date},
    {"LastModifiedBy", std::nullopt, Kind::Text},
    {"LastModifiedDate", std::nullopt, Kind::Date},
    {"EstimatedTime", std::nullopt, Kind::Date},
    {"DateDue", RightFlag::EditDateDue, Kind::Date},
    {"Classification", RightFlag::EditClass, Kind::Text},
    {"FixedByID", std::nullopt, Kind::Id},
    {"FixedInVersionID", std::nullopt, Kind::Id},
    {"VerifiedByID", std::nullopt, Kind::Id},
    {"ReportedByID", std::nullopt, Kind::Id},
    {"ReportedInVersionID", std::nullopt, Kind::Id},
    {"LastModifiedByID", std::nullopt, Kind::Id},
    {"ClassID", RightFlag::EditClass, Kind::Id},
    {"BugType", std::nullopt, Kind::Type},
}};

const BugColumn* ColumnOf(LONG field) {
    if (field < 0 || field >= static_cast<LONG>(kColumns.size())) return nullptr;
    return &kColumns[static_cast<size_t>(field)];
}

const std::string& TextOf(const BugData& bug, LONG field) {
    switch (field) {
    case ColSeverity:
        return bug.severity;
    case ColStatus:
        return bug.status;
    case ColPriority:
        return bug.priority;
    case ColReproductive:
        return bug.reproductive;
    case ColDescription:
        return bug.description;
    case ColReport:
        return bug.report;
    case ColRecreateStep:
        return bug.recreateStep;
    case ColWorkaround:
        return bug.workaround;
    case ColResolution:
        return bug.resolution;
    case ColReportedBy:
        return bug.reportedBy;
    case ColReportedInVer:
        return bug.reportedInVersion;
    case ColFixedBy:
        return bug.fixedBy;
    case ColFixedInVer:
        return bug.fixedInVersion;
    case ColVerifiedBy:
        return bug.verifiedBy;
    case ColLastModifiedBy:
        return bug.lastModifiedBy;
    case ColClassification:
        return bug.classification;
    default: {
        static const std::string kNone;
        return kNone;
    }
    }
}

LONG IdOf(const BugData& bug, LONG field) {
    switch (field) {
    case ColID:
        return bug.id;
    case ColFixedByID:
        return bug.fixedByID;
    case ColFixedInVerID:
        return bug.fixedInVersionID;
    case ColVerifiedByID:
        return bug.verifiedByID;
    case ColReportedByID:
        return bug.reportedByID;
    case ColReportedInVerID:
        return bug.reportedInVersionID;
    case ColLastModifiedByID:
        return bug.lastModifiedByID;
    case ColClassID:
        return bug.classificationID;
    default:
        return 0;
    }
}

DATE DateOf(const BugData& bug, LONG field) {
    switch (field) {
    case ColReportedDate:
        return bug.reportedDate;
    case ColFixedDate:
        return bug.fixedDate;
    case ColVerifiedDate:
        return bug.verifiedDate;
    case ColLastModifiedDate:
        return bug.lastModifiedDate;
    case ColEstimatedTime:
        return bug.estimatedTime;
    case ColDateDue:
        return bug.dateDue;
    default:
        return 0.0;
    }
}

} // namespace

std::string_view BugColumnName(LONG field) {
    const BugColumn* column = ColumnOf(field);
    return column ? column->name : std::string_view();
}

std::optional<RightFlag> BugColumnRight(LONG field) {
    const BugColumn* column = ColumnOf(field);
    return column ? column->right : std::nullopt;
}

db::Value BugColumnValue(const BugData& bug, LONG field) {
    const BugColumn* column = ColumnOf(field);
    if (!column) return db::Value::Null();
    switch (column->kind) {
    case Kind::Id:
        return db::Value::Int(IdOf(bug, field));
    case Kind::Text:
        return db::Value::Text(TextOf(bug, field));
    case Kind::Date:
        return db::Value::Date(DateOf(bug, field));
    case Kind::Type:
        return db::Value::Byte(static_cast<uint8_t>(bug.bugType));
    }
    return db::Value::Null();
}

} // namespace velmora::engine
