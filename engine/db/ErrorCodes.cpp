#include "ErrorCodes.h"

#include <sqlite3.h>

namespace velmora::db {

void Fail(int32_t code, const std::string& description) {
    throw DbError(code, description);
}

void FailNoCurrentRecord() {
    Fail(kErrNoCurrentRecord, "Either BOF or EOF is True, or the current record has been deleted. "
                              "Requested operation requires a current record.");
}

void FailClosed() {
    Fail(kErrObjectClosed, "Operation is not allowed when the object is closed.");
}

void FailNotUpdatable() {
    Fail(kErrNotUpdatable, "Current Recordset does not support updating. This may be a limitation "
                           "of the provider, or of the selected locktype.");
}

void FailConcurrency() {
    Fail(kErrConcurrency, "Row cannot be located for updating. Some values may have been changed "
                          "since it was last read.");
}

void FailSqlite(sqlite3* db, int rc) {
    const std::string text =
        db != nullptr && sqlite3_errcode(db) == rc ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    // Faults in the statement text (unknown column, syntax) keep the provider's command code so
    // callers can tell them from run-time failures.
    const int32_t code = (rc & 0xFF) == SQLITE_ERROR ? kErrCommand : kErrFail;
    Fail(code, text);
}

} // namespace velmora::db
