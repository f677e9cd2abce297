#include "client/merge/FieldRights.h"

namespace tarnwick {
namespace {

struct GuardedField {
    BugField field;
    HRESULT (STDMETHODCALLTYPE IRight::*flag)(LONG*);
};

const GuardedField kGuarded[] = {
    {BugField::Description, &IRight::get_EditDescription},
    {BugField::Severity, &IRight::get_EditSeverity},
    {BugField::Priority, &IRight::get_EditPriority},
    {BugField::Reproductive, &IRight::get_EditReproductive},
    {BugField::ClassificationID, &IRight::get_EditClass},
    {BugField::ReportedDate, &IRight::get_EditReportedDate},
    {BugField::ReportedInVersionID, &IRight::get_EditReportedInVersion},
    {BugField::FixedDate, &IRight::get_EditFixedDate},
    {BugField::FixedInVersionID, &IRight::get_EditFixedInVersion},
    {BugField::VerifiedDate, &IRight::get_EditVerifiedDate},
    {BugField::Report, &IRight::get_EditReport},
    {BugField::RecreateStep, &IRight::get_EditRecreateStep},
    {BugField::Workaround, &IRight::get_EditWorkAround},
    {BugField::Resolution, &IRight::get_EditResolution},
};

} // namespace

BugFieldSet EditableFields(IRight* right) {
    if (!right) return {};
    BugFieldSet fields = BugFieldSet::All();
    for (const GuardedField& guarded : kGuarded) {
        if (Long(right, guarded.flag) == 0) fields.remove(guarded.field);
    }
    return fields;
}

} // namespace tarnwick
