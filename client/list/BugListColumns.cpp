#include "client/list/BugListColumns.h"

#include "client/adapter/EngineCall.h"

namespace tarnwick {

QString BugColumnText(IBug* bug, int column, const std::function<QString(DATE)>& dateText) {
    switch (column) {
    case kIdColumn:
        return QString::number(Long(bug, &IBug::get_ID));
    case kDescriptionColumn:
        return Text(bug, &IBug::get_Description);
    case kStatusColumn:
        return Text(bug, &IBug::get_Status);
    case kSeverityColumn:
        return Text(bug, &IBug::get_Severity);
    case kPriorityColumn:
        return Text(bug, &IBug::get_Priority);
    case kReproductiveColumn:
        return Text(bug, &IBug::get_Reproductive);
    case kClassificationColumn:
        return Text(bug, &IBug::get_Classification);
    case kReportedInVersionColumn:
        return Text(bug, &IBug::get_ReportedInVersion);
    case kReportedByColumn:
        return Text(bug, &IBug::get_ReportedBy);
    case kReportedDateColumn:
        return dateText(Date(bug, &IBug::get_ReportedDate));
    case kFixedInVersionColumn:
        return Text(bug, &IBug::get_FixedInVersion);
    case kFixedByColumn:
        return Text(bug, &IBug::get_FixedBy);
    case kFixedDateColumn:
        return dateText(Date(bug, &IBug::get_FixedDate));
    case kVerifiedByColumn:
        return Text(bug, &IBug::get_VerifiedBy);
    case kVerifiedDateColumn:
        return dateText(Date(bug, &IBug::get_VerifiedDate));
    default:
        return QString();
    }
}

} // namespace tarnwick
