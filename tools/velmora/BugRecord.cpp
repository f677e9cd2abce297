#include "BugRecord.h"

#include "EngineCall.h"

namespace velmora::tool {

BugRecord ReadBug(IBug* bug) {
    BugRecord record;
    const std::string what = "reading a bug";
    Require(bug->get_ID(&record.id), what);
    tagBugType type = eBug;
    Require(bug->get_BugType(&type), what);
    record.feature = type == eFeature;
    const std::pair<HRESULT (IBug::*)(BSTR*), std::string BugRecord::*> texts[] = {
        {&IBug::get_Description, &BugRecord::description},
        {&IBug::get_Status, &BugRecord::status},
        {&IBug::get_Priority, &BugRecord::priority},
        {&IBug::get_Severity, &BugRecord::severity},
        {&IBug::get_Reproductive, &BugRecord::reproductive},
        {&IBug::get_Classification, &BugRecord::classification},
        {&IBug::get_ReportedInVersion, &BugRecord::reportedInVersion},
        {&IBug::get_ReportedBy, &BugRecord::reportedBy},
        {&IBug::get_FixedInVersion, &BugRecord::fixedInVersion},
        {&IBug::get_FixedBy, &BugRecord::fixedBy},
        {&IBug::get_VerifiedBy, &BugRecord::verifiedBy},
        {&IBug::get_LastModifiedBy, &BugRecord::lastModifiedBy},
        {&IBug::get_Report, &BugRecord::report},
        {&IBug::get_RecreateStep, &BugRecord::recreateStep},
        {&IBug::get_Workaround, &BugRecord::workaround},
        {&IBug::get_Resolution, &BugRecord::resolution},
    };
    for (const auto& [get, member] : texts) {
        com::Bstr text;
        Require((bug->*get)(text.Put()), what);
        record.*member = text.Utf8();
    }
    const std::pair<HRESULT (IBug::*)(DATE*), double BugRecord::*> dates[] = {
        {&IBug::get_ReportedDate, &BugRecord::reportedDate},
        {&IBug::get_FixedDate, &BugRecord::fixedDate},
        {&IBug::get_VerifiedDate, &BugRecord::verifiedDate},
        {&IBug::get_LastModifiedDate, &BugRecord::lastModifiedDate},
        {&IBug::get_EstimatedTime, &BugRecord::estimatedTime},
        {&IBug::get_DateDue, &BugRecord::dateDue},
    };
    for (const auto& [get, member] : dates)
        Require((bug->*get)(&(record.*member)), what);
    return record;
}

const std::vector<Column>& ListColumns() {
    static const std::vector<Column> columns = {
        {"ID", "ID"},
        {"Description", "Description"},
        {"Status", "Status"},
        {"Severity", "Severity"},
        {"Priority", "Priority"},
        {"Reproductive", "Reproductive"},
        {"Classification", "Classification"},
        {"Reported In Version", "ReportedInVersion"},
        {"Reported By", "ReportedBy"},
        {"Reported Date", "ReportedDate"},
        {"Fixed In Version", "FixedInVersion"},
        {"Fixed By", "FixedBy"},
        {"Fixed Date", "FixedDate"},
        {"Verified By", "VerifiedBy"},
        {"Verified Date", "VerifiedDate"},
    };
    return columns;
}

std::vector<Cell> ListRow(const BugRecord& bug) {
    return {
        Cell{std::to_string(bug.id), Cell::Kind::Number},
        Cell{bug.description},
        Cell{bug.status},
        Cell{bug.severity},
        Cell{bug.priority},
        Cell{bug.reproductive},
        Cell{bug.classification},
        Cell{bug.reportedInVersion},
        Cell{bug.reportedBy},
        DateCell(bug.reportedDate),
        Cell{bug.fixedInVersion},
        Cell{bug.fixedBy},
        DateCell(bug.fixedDate),
        Cell{bug.verifiedBy},
        DateCell(bug.verifiedDate),
    };
}

} // namespace velmora::tool
