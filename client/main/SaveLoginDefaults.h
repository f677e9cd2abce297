#pragma once
// `tarnwick --save-login`: writes Bug.cfg so that the next start opens a database and logs a
// user in by itself, without going through the Options dialog. For set-up scripts and for
// administrators who prepare a team member's machine.
#include <QStringList>
#include <QTextStream>

#include "client/adapter/EngineCall.h"

namespace tarnwick {

// The command line after the program's name. Returns the exit status: 0 saved, 1 the engine or
// the file refused, 2 wrong usage.
int SaveLoginDefaults(const QStringList& arguments, QTextStream& out, QTextStream& errors);

// The identifier of the version named "Product/Version" among the products of the session's
// user, or 0. Raises EngineFailure.
LONG FindVersionID(IExeContext* session, const QString& productSlashVersion);

// Usage text of the option.
extern const char* const kSaveLoginUsage;

} // namespace tarnwick
