#include "client/merge/BugFields.h"

#include <array>
#include <type_traits>

namespace tarnwick {
namespace {

using Member = std::variant<QString BugFields::*, LONG BugFields::*, DATE BugFields::*>;

struct FieldInfo {
    BugField field;
    const char* caption;
    FieldKind kind;
    Member member;
};

// Indexed by BugField.
const std::array<FieldInfo, kBugFieldCount> kFields = {{
    {BugField::Description, "Description", FieldKind::Text, &BugFields::description},
    {BugField::Status, "Status", FieldKind::Text, &BugFields::status},
    {BugField::Severity, "Severity", FieldKind::Text, &BugFields::severity},
    {BugField::Priority, "Priority", FieldKind::Text, &BugFields::priority},
    {BugField::Reproductive, "Reproductive", FieldKind::Text, &BugFields::reproductive},
    {BugField::ClassificationID, "Classification", FieldKind::Classification,
     &BugFields::classificationID},
    {BugField::ReportedByID, "Reported By", FieldKind::User, &BugFields::reportedByID},
    {BugField::ReportedDate, "Reported Date", FieldKind::Date, &BugFields::reportedDate},
    {BugField::ReportedInVersionID, "Reported in Version", FieldKind::Version,
     &BugFields::reportedInVersionID},
    {BugField::FixedByID, "Fixed By", FieldKind::User, &BugFields::fixedByID},
    {BugField::FixedDate, "Fixed Date", FieldKind::Date, &BugFields::fixedDate},
    {BugField::FixedInVersionID, "Fixed in Version", FieldKind::Version,
     &BugFields::fixedInVersionID},
    {BugField::VerifiedByID, "Verified By", FieldKind::User, &BugFields::verifiedByID},
    {BugField::VerifiedDate, "Verified Date", FieldKind::Date, &BugFields::verifiedDate},
    {BugField::Report, "Report", FieldKind::RichText, &BugFields::report},
    {BugField::RecreateStep, "Recreate Step", FieldKind::RichText, &BugFields::recreateStep},
    {BugField::Workaround, "Workaround", FieldKind::RichText, &BugFields::workaround},
    {BugField::Resolution, "Resolution", FieldKind::RichText, &BugFields::resolution},
}};

const FieldInfo& InfoOf(BugField field) {
    return kFields[static_cast<size_t>(field)];
}

} // namespace

FieldValue BugFields::value(BugField field) const {
    return std::visit([this](auto member) -> FieldValue { return this->*member; },
                      InfoOf(field).member);
}

void BugFields::setValue(BugField field, const FieldValue& value) {
    std::visit(
        [this, &value](auto member) {
            using Type = std::remove_reference_t<decltype(this->*member)>;
            this->*member = std::get<Type>(value);
        },
        InfoOf(field).member);
}

bool SameField(const BugFields& a, const BugFields& b, BugField field) {
    return a.value(field) == b.value(field);
}

QList<BugField> DifferingFields(const BugFields& a, const BugFields& b) {
    QList<BugField> fields;
    for (const BugField field : AllBugFields()) {
        if (!SameField(a, b, field)) fields.append(field);
    }
    return fields;
}

QList<BugField> AllBugFields() {
    QList<BugField> fields;
    for (const FieldInfo& info : kFields)
        fields.append(info.field);
    return fields;
}

QString FieldCaption(BugField field) {
    return QString::fromLatin1(InfoOf(field).caption);
}

FieldKind KindOf(BugField field) {
    return InfoOf(field).kind;
}

bool IsStatusGroupField(BugField field) {
    switch (field) {
    case BugField::FixedByID:
    case BugField::FixedDate:
    case BugField::FixedInVersionID:
    case BugField::VerifiedByID:
    case BugField::VerifiedDate:
        return true;
    default:
        return false;
    }
}

BugFields ReadBugFields(IBug* bug) {
    BugFields fields;
    fields.description = Text(bug, &IBug::get_Description);
    fields.status = Text(bug, &IBug::get_Status);
    fields.severity = Text(bug, &IBug::get_Severity);
    fields.priority = Text(bug, &IBug::get_Priority);
    fields.reproductive = Text(bug, &IBug::get_Reproductive);
    fields.classificationID = Long(bug, &IBug::get_ClassificationID);
    fields.reportedByID = Long(bug, &IBug::get_ReportedByID);
    fields.reportedDate = Date(bug, &IBug::get_ReportedDate);
    fields.reportedInVersionID = Long(bug, &IBug::get_ReportedInVersionID);
    fields.fixedByID = Long(bug, &IBug::get_FixedByID);
    fields.fixedDate = Date(bug, &IBug::get_FixedDate);
    fields.fixedInVersionID = Long(bug, &IBug::get_FixedInVersionID);
    fields.verifiedByID = Long(bug, &IBug::get_VerifiedByID);
    fields.verifiedDate = Date(bug, &IBug::get_VerifiedDate);
    fields.report = Text(bug, &IBug::get_Report);
    fields.recreateStep = Text(bug, &IBug::get_RecreateStep);
    fields.workaround = Text(bug, &IBug::get_Workaround);
    fields.resolution = Text(bug, &IBug::get_Resolution);
    return fields;
}

void WriteBugField(IBug* bug, BugField field, const BugFields& fields) {
    switch (field) {
    case BugField::Description:
        Check(bug->put_Description(ToBstr(fields.description).Get()));
        break;
    case BugField::Status:
        Check(bug->put_Status(ToBstr(fields.status).Get()));
        break;
    case BugField::Severity:
        Check(bug->put_Severity(ToBstr(fields.severity).Get()));
        break;
    case BugField::Priority:
        Check(bug->put_Priority(ToBstr(fields.priority).Get()));
        break;
    case BugField::Reproductive:
        Check(bug->put_Reproductive(ToBstr(fields.reproductive).Get()));
        break;
    case BugField::ClassificationID:
        Check(bug->put_ClassificationID(fields.classificationID));
        break;
    case BugField::ReportedByID:
        Check(bug->put_ReportedByID(fields.reportedByID));
        break;
    case BugField::ReportedDate:
        Check(bug->put_ReportedDate(fields.reportedDate));
        break;
    case BugField::ReportedInVersionID:
        Check(bug->put_ReportedInVersionID(fields.reportedInVersionID));
        break;
    case BugField::FixedByID:
        Check(bug->put_FixedByID(fields.fixedByID));
        break;
    case BugField::FixedDate:
        Check(bug->put_FixedDate(fields.fixedDate));
        break;
    case BugField::FixedInVersionID:
        Check(bug->put_FixedInVersionID(fields.fixedInVersionID));
        break;
    case BugField::VerifiedByID:
        Check(bug->put_VerifiedByID(fields.verifiedByID));
        break;
    case BugField::VerifiedDate:
        Check(bug->put_VerifiedDate(fields.verifiedDate));
        break;
    case BugField::Report:
        Check(bug->put_Report(ToBstr(fields.report).Get()));
        break;
    case BugField::RecreateStep:
        Check(bug->put_RecreateStep(ToBstr(fields.recreateStep).Get()));
        break;
    case BugField::Workaround:
        Check(bug->put_Workaround(ToBstr(fields.workaround).Get()));
        break;
    case BugField::Resolution:
        Check(bug->put_Resolution(ToBstr(fields.resolution).Get()));
        break;
    }
}

void WriteBugFields(IBug* bug, const BugFields& fields) {
    for (const BugField field : AllBugFields())
        WriteBugField(bug, field, fields);
}

BugFieldSet BugFieldSet::All() {
    BugFieldSet set;
    for (const BugField field : AllBugFields())
        set.insert(field);
    return set;
}

} // namespace tarnwick
