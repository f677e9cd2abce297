#pragma once
// A field's value as the merge dialog shows it: rich texts as their plain text, users, versions
// and classifications by name, dates as date and time, Status with its Fixed and Verified
// details.
#include <QString>

#include <functional>

#include "client/merge/BugFields.h"

namespace tarnwick {

// The name of a user, version or classification ID (kind says which); empty when unknown.
using IdName = std::function<QString(FieldKind kind, LONG id)>;

// Names looked up through a scratch Bug object's lookup setters, which read the database the
// session opened; an ID that no longer exists gives "#" and the number.
IdName EngineIdNames();

// The text of one field of fields. Status is followed by the non-empty fields of its group.
QString FieldValueText(BugField field, const BugFields& fields, const IdName& names);

} // namespace tarnwick
