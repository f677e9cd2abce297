#pragma once
// The entries a condition on a list-kind field can take, read from the session each time the
// field is chosen.
#include <QString>
#include <QStringList>

#include "client/adapter/EngineCall.h"

namespace tarnwick {

// For a list-kind column name: the severities, every status (not only those the role may set),
// the priorities, the reproducibilities, every classification of the active product, every
// user's name, or the names of the active product's versions. The empty list for other names.
// Engine failures raise EngineFailure.
QStringList FilterValueEntries(IExeContext* session, const QString& fieldName);

} // namespace tarnwick
