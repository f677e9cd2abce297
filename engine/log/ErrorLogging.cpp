// The engine-wide routines every failing operation logs through.
#include "../db/DbError.h"
#include "Log.h"

namespace velmora::log {

void LogError(int32_t code, const std::string& source, const std::string& message) noexcept {
    try {
        (void)AppendEntry(kErrorLogFileName, code, source, message);
    } catch (...) {
        // Logging is best effort: running out of memory here must not turn into a new failure.
    }
}

void LogComError(int32_t code, const std::string& source,
                 const velmora::db::DbError& error) noexcept {
    try {
        LogError(code, source,
                 ComposeComErrorMessage(error.Code(), error.Description(), error.Source()));
    } catch (...) {
    }
}

} // namespace velmora::log
