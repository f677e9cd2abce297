#pragma once
// The About text: the program's version and the version of the engine library it loaded.
#include <QString>

#include "client/adapter/EngineCall.h"

namespace tarnwick {

// session: any object the engine made (its code lives in the engine's library), or null.
QString AboutText(const QString& programVersion, IUnknown* engineObject);

// The engine library that holds the object's code (links resolved), or empty when it cannot
// be told.
QString EngineLibraryFile(IUnknown* engineObject);
// The version the loaded engine library reports, or empty.
QString EngineVersion(const QString& libraryFile);

} // namespace tarnwick
