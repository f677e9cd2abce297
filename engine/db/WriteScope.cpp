#include "WriteScope.h"

#include "ErrorCodes.h"

#include <sqlite3.h>

namespace velmora::db {
namespace {

void Exec(sqlite3* db, const char* sql) {
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) FailSqlite(db, rc);
}

} // namespace

WriteScope::WriteScope(sqlite3* db) : db_(db), ownTransaction_(sqlite3_get_autocommit(db) != 0) {
    Exec(db_, ownTransaction_ ? "BEGIN IMMEDIATE" : "SAVEPOINT velmora_row");
}

WriteScope::~WriteScope() {
    if (!open_) return;
    if (ownTransaction_) {
        if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    } else {
        sqlite3_exec(db_, "ROLLBACK TO velmora_row; RELEASE velmora_row", nullptr, nullptr,
                     nullptr);
    }
}

void WriteScope::Commit() {
    Exec(db_, ownTransaction_ ? "COMMIT" : "RELEASE velmora_row");
    open_ = false;
}

} // namespace velmora::db
