#include "Statement.h"

#include "ErrorCodes.h"

#include <sqlite3.h>

namespace velmora::db {

Statement::Statement(sqlite3* db, const std::string& sql) : db_(db) {
    // SQLite stops reading at a NUL byte: "DELETE FROM t\0 WHERE ..." would run without its
    // condition. Text after a NUL is never ignored silently.
    if (sql.find('\0') != std::string::npos)
        Fail(kErrCommand, "Characters found after end of SQL statement.");
    const char* tail = nullptr;
    int rc =
        sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()) + 1, &statement_, &tail);
    if (rc != SQLITE_OK) FailSqlite(db, rc);
    if (statement_ == nullptr) {
        Fail(kErrCommand, "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', "
                          "'SELECT', or 'UPDATE'.");
    }
    // Whatever follows the first statement may only be blanks, comments and semicolons.
    while (tail != nullptr && *tail != '\0') {
        sqlite3_stmt* extra = nullptr;
        const char* next = nullptr;
        rc = sqlite3_prepare_v2(db, tail, -1, &extra, &next);
        const bool another = rc != SQLITE_OK || extra != nullptr;
        sqlite3_finalize(extra);
        if (another) {
            sqlite3_finalize(statement_);
            statement_ = nullptr;
            Fail(kErrCommand, "Characters found after end of SQL statement.");
        }
        if (next == tail) break;
        tail = next;
    }
}

Statement::~Statement() {
    sqlite3_finalize(statement_);
}

bool Statement::Step() {
    const int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    // Reset so that the statement releases its locks before the error travels up.
    sqlite3_reset(statement_);
    FailSqlite(db_, rc);
}

void Statement::Run() {
    while (Step()) {
    }
}

void Statement::Reset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

int Statement::ColumnCount() const {
    return sqlite3_column_count(statement_);
}

int64_t Statement::ColumnInt64(int column) const {
    return sqlite3_column_int64(statement_, column);
}

} // namespace velmora::db
