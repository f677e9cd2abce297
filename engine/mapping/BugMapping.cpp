// The bug's row of tBugReport. ActualTime is the one column neither read nor written: its value
// in the row is kept whatever the bug holds.
#include <string>

#include "engine/mapping/DBUtil.h"
#include "engine/mapping/FieldConversion.h"
#include "engine/mapping/MappingSupport.h"

namespace velmora::engine {
namespace {

using mapping::Guarded;

void SaveLong(db::Recordset& row, const char* column, LONG value) {
    row.SetValue(column, db::Value::Int(value));
}

void SaveDate(db::Recordset& row, const char* column, DATE value) {
    row.SetValue(column, db::Value::Date(value));
}

// A text the user edits: emptying it in the object leaves the stored text as it is.
void SaveTextIfGiven(db::Recordset& row, const char* column, const std::string& text) {
    if (!text.empty()) row.SetValue(column, db::Value::Text(text));
}

// A name that belongs to the identifier before it is written together with that identifier, so
// the row never pairs an identifier with another identifier's name (an empty name is NULL).
void SaveName(db::Recordset& row, const char* column, const std::string& name) {
    row.SetValue(column, TextToField(name));
}

} // namespace

HRESULT CDBUtil::GetBugData(db::Recordset& row, MappedRow<BugData>* bug) {
    if (!bug) return E_POINTER;
    return Guarded("GetBugData", [&] {
        BugData& data = bug->Data();
        data.id = VariantToLong(row.GetValue("BugID"));
        data.description = VariantToString(row.GetValue("Description"));
        data.report = VariantToString(row.GetValue("Report"));
        data.recreateStep = VariantToString(row.GetValue("RecreateStep"));
        data.workaround = VariantToString(row.GetValue("WorkAround"));
        data.resolution = VariantToString(row.GetValue("Resolution"));
        data.status = VariantToString(row.GetValue("StatusName"));
        data.priority = VariantToString(row.GetValue("PriorityName"));
        data.classificationID = VariantToLong(row.GetValue("ClassID"));
        data.classification = VariantToString(row.GetValue("Classification"));
        data.severity = VariantToString(row.GetValue("SeverityName"));
        data.reproductive = VariantToString(row.GetValue("ReproductiveName"));
        data.reportedByID = VariantToLong(row.GetValue("ReportedByID"));
        data.reportedBy = VariantToString(row.GetValue("ReportedBy"));
        data.reportedDate = VariantToDate(row.GetValue("ReportedDate"));
        data.reportedInVersionID = VariantToLong(row.GetValue("ReportedInVersionID"));
        data.reportedInVersion = VariantToString(row.GetValue("ReportedInVersion"));
        data.fixedByID = VariantToLong(row.GetValue("FixedByID"));
        data.fixedBy = VariantToString(row.GetValue("FixedBy"));
        data.fixedDate = VariantToDate(row.GetValue("FixedDate"));
        data.fixedInVersionID = VariantToLong(row.GetValue("FixedInVersionID"));
        data.fixedInVersion = VariantToString(row.GetValue("FixedInVersion"));
        data.verifiedByID = VariantToLong(row.GetValue("VerifiedByID"));
        data.verifiedBy = VariantToString(row.GetValue("VerifiedBy"));
        data.verifiedDate = VariantToDate(row.GetValue("VerifiedDate"));
        data.lastModifiedByID = VariantToLong(row.GetValue("LastModifiedByID"));
        data.lastModifiedBy = VariantToString(row.GetValue("LastModifiedBy"));
        data.lastModifiedDate = VariantToDate(row.GetValue("LastModifiedDate"));
        data.estimatedTime = VariantToDate(row.GetValue("EstimatedTime"));
        data.dateDue = VariantToDate(row.GetValue("DateDue"));
        data.bugType = VariantToByte(row.GetValue("BugType"));
    });
}

HRESULT CDBUtil::SaveBugData(db::Recordset& row, MappedRow<BugData>* bug) {
    if (!bug) return E_POINTER;
    return Guarded("SaveBugData", [&] {
        const BugData& data = bug->Data();
        SaveLong(row, "BugID", data.id);
        SaveTextIfGiven(row, "Description", data.description);
        SaveTextIfGiven(row, "Report", data.report);
        SaveTextIfGiven(row, "RecreateStep", data.recreateStep);
        SaveTextIfGiven(row, "WorkAround", data.workaround);
        SaveTextIfGiven(row, "Resolution", data.resolution);
        SaveTextIfGiven(row, "StatusName", data.status);
        SaveTextIfGiven(row, "PriorityName", data.priority);
        SaveLong(row, "ClassID", data.classificationID);
        SaveName(row, "Classification", data.classification);
        SaveTextIfGiven(row, "SeverityName", data.severity);
        // An emptied reproducibility is stored as NULL.
        row.SetValue("ReproductiveName", TextToField(data.reproductive));
        SaveLong(row, "ReportedByID", data.reportedByID);
        SaveName(row, "ReportedBy", data.reportedBy);
        SaveDate(row, "ReportedDate", data.reportedDate);
        SaveLong(row, "ReportedInVersionID", data.reportedInVersionID);
        SaveName(row, "ReportedInVersion", data.reportedInVersion);
        SaveLong(row, "FixedByID", data.fixedByID);
        SaveName(row, "FixedBy", data.fixedBy);
        SaveDate(row, "FixedDate", data.fixedDate);
        SaveLong(row, "FixedInVersionID", data.fixedInVersionID);
        SaveName(row, "FixedInVersion", data.fixedInVersion);
        SaveName(row, "VerifiedBy", data.verifiedBy);
        SaveLong(row, "VerifiedByID", data.verifiedByID);
        SaveDate(row, "VerifiedDate", data.verifiedDate);
        SaveLong(row, "LastModifiedByID", data.lastModifiedByID);
        SaveName(row, "LastModifiedBy", data.lastModifiedBy);
        SaveDate(row, "LastModifiedDate", data.lastModifiedDate);
        SaveDate(row, "EstimatedTime", data.estimatedTime);
        SaveDate(row, "DateDue", data.dateDue);
        // The type is held in 16 bits and stored as a byte.
        row.SetValue("BugType", db::Value::Byte(static_cast<uint8_t>(data.bugType)));
    });
}

} // namespace velmora::engine
