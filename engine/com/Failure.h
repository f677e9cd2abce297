#pragma once
// The one place where an engine member reports a failure: the description the caller reads
// through the runtime's per-thread error information (source = the class's ProgID, no interface
// identifier) and the entry written to the error log. Every function returns E_FAIL, so a
// member ends with `return Fail(...)`.
#include <string>

#include <velmora/Com.h>

#include "engine/com/ClassInfo.h"

namespace velmora::db {
class DbError;
}

namespace velmora::engine {

// Sets the caller's error description.
HRESULT Fail(const ClassInfo& cls, const std::string& description);

// Sets the caller's error description and logs (logCode, logSource, logText).
HRESULT Fail(const ClassInfo& cls, const std::string& description, LONG logCode,
             const std::string& logSource, const std::string& logText);

// Sets the caller's error description and logs a caught data-access error under logSource.
HRESULT FailWithError(const ClassInfo& cls, const std::string& description, LONG logCode,
                      const std::string& logSource, const db::DbError& error);

// Logs (logCode, logSource, logText) without giving the caller a description: for members whose
// failures carry no error information.
HRESULT FailLogOnly(LONG logCode, const std::string& logSource, const std::string& logText);

// The engine's general failure description ("Some error has occured, please see err.log!").
extern const char* const kSeeErrorLog;

} // namespace velmora::engine
