// The bug's row of tBugReport. ActualTime is the one column neither read nor written: its value
// in the row is kept whatever the bug holds.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/mapping/BugMembers.h"
#include "engine/mapping/DBUtil.h"
#include "engine/mapping/FieldConversion.h"
#include "engine/mapping/MappingSupport.h"

namespace velmora::engine {
namespace {

using db::BugColumn;
using mapping::Guarded;

// The columns the mapping reads, in the order it reads them: the bug's own fields first, then
// who reported, fixed, verified and last changed it, then the type.
constexpr std::array kReadOrder = {
    BugColumn::BugID,
    BugColumn::Description,
    BugColumn::Report,
    BugColumn::RecreateStep,
    BugColumn::WorkAround,
    BugColumn::Resolution,
    BugColumn::StatusName,
    BugColumn::PriorityName,
    BugColumn::ClassID,
    BugColumn::Classification,
    BugColumn::SeverityName,
    BugColumn::ReproductiveName,
    BugColumn::ReportedByID,
    BugColumn::ReportedBy,
    BugColumn::ReportedDate,
    BugColumn::ReportedInVersionID,
    BugColumn::ReportedInVersion,
    BugColumn::FixedByID,
    BugColumn::FixedBy,
    BugColumn::FixedDate,
    BugColumn::FixedInVersionID,
    BugColumn::FixedInVersion,
    BugColumn::VerifiedByID,
    BugColumn::VerifiedBy,
    BugColumn::VerifiedDate,
    BugColumn::LastModifiedByID,
    BugColumn::LastModifiedBy,
    BugColumn::LastModifiedDate,
    BugColumn::EstimatedTime,
    BugColumn::DateDue,
    BugColumn::BugType,
};
static_assert(kReadOrder.size() + 1 == db::kBugColumns.size() &&
                  std::ranges::find(kReadOrder, BugColumn::ActualTime) == kReadOrder.end(),
              "every column but ActualTime is mapped");

// Saving writes the same columns in the same order, except that the verifier's name goes before
// the verifier's identifier.
constexpr auto kSaveOrder = [] {
    auto order = kReadOrder;
    std::swap(*std::ranges::find(order, BugColumn::VerifiedByID),
              *std::ranges::find(order, BugColumn::VerifiedBy));
    return order;
}();

// The read columns' names, whose positions a record set works out once per open set.
const db::FieldList& ReadFields() {
    static const db::FieldList fields = [] {
        std::vector<std::string> names;
        for (BugColumn column : kReadOrder)
            names.emplace_back(db::InfoOf(column).name);
        return db::FieldList(std::move(names));
    }();
    return fields;
}

void ReadInto(LONG& id, const db::Value& value) {
    id = VariantToLong(value);
}
void ReadInto(SHORT& bugType, const db::Value& value) {
    bugType = VariantToByte(value);
}
void ReadInto(DATE& date, const db::Value& value) {
    date = VariantToDate(value);
}
void ReadInto(std::string& text, db::Value&& value) {
    text = VariantToString(std::move(value));
}

void Save(db::Recordset& row, const db::BugColumnInfo& column, LONG id) {
    row.SetValue(column.name, db::Value::Int(id));
}
void Save(db::Recordset& row, const db::BugColumnInfo& column, SHORT bugType) {
    // The type is held in 16 bits and stored as a byte.
    row.SetValue(column.name, db::Value::Byte(static_cast<uint8_t>(bugType)));
}
void Save(db::Recordset& row, const db::BugColumnInfo& column, DATE date) {
    row.SetValue(column.name, db::Value::Date(date));
}
void Save(db::Recordset& row, const db::BugColumnInfo& column, const std::string& text) {
    // A text the user edits: emptying it in the object leaves the stored text as it is. Any other
    // text (a name written together with its identifier, so the row never pairs an identifier
    // with another identifier's name) is written always, an empty one as NULL.
    if (column.type == db::BugColumnType::EditedText) {
        if (!text.empty()) row.SetValue(column.name, db::Value::Text(text));
    } else {
        row.SetValue(column.name, TextToField(text));
    }
}

} // namespace

HRESULT CDBUtil::GetBugData(db::Recordset& row, MappedRow<BugData>* bug) {
    if (!bug) return E_POINTER;
    return Guarded("GetBugData", [&] {
        BugData& data = bug->Data();
        const db::FieldList& fields = ReadFields();
        for (size_t i = 0; i < kReadOrder.size(); ++i) {
            db::Value value = row.GetValue(fields, i);
            VisitBugMember(data, kReadOrder[i],
                           [&](auto& member) { ReadInto(member, std::move(value)); });
        }
    });
}

HRESULT CDBUtil::SaveBugData(db::Recordset& row, MappedRow<BugData>* bug) {
    if (!bug) return E_POINTER;
    return Guarded("SaveBugData", [&] {
        const BugData& data = bug->Data();
        for (BugColumn column : kSaveOrder)
            VisitBugMember(data, column,
                           [&](const auto& member) { Save(row, db::InfoOf(column), member); });
    });
}

} // namespace velmora::engine
