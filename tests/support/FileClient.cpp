// Direct access to a database file through sqlite3.
#include <sqlite3.h>

#include <memory>
#include <stdexcept>

#include "Clients.h"

namespace velmora::test::detail {
namespace {

struct CloseDatabase {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct FinalizeStatement {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using DatabasePtr = std::unique_ptr<sqlite3, CloseDatabase>;
using StatementPtr = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

// An existing file only: a mistyped path must fail, not leave an empty database behind.
DatabasePtr OpenFile(const std::string& path, std::string& error) {
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    DatabasePtr db(raw);
    if (rc != SQLITE_OK)
        error = "cannot open " + path + ": " + (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc));
    return db;
}

} // namespace

std::string FileExecute(const std::string& path, const std::string& sql) {
    std::string error;
    DatabasePtr db = OpenFile(path, error);
    if (!error.empty()) return error;
    // SQLite finds each statement's end itself (a trigger body holds ';' of its own).
    const char* next = sql.c_str();
    while (*next) {
        sqlite3_stmt* raw = nullptr;
        const char* rest = nullptr;
        if (sqlite3_prepare_v2(db.get(), next, -1, &raw, &rest) != SQLITE_OK)
            return std::string(sqlite3_errmsg(db.get())) + " in " + next;
        StatementPtr statement(raw);
        const std::string text(next, rest);
        next = rest;
        if (!statement) continue; // white space or a comment
        int rc = SQLITE_ROW;
        while (rc == SQLITE_ROW)
            rc = sqlite3_step(statement.get());
        if (rc != SQLITE_DONE) return std::string(sqlite3_errmsg(db.get())) + " in " + text;
    }
    return "";
}

FirstCell FileQuery(const std::string& path, const std::string& sql, bool asBytes,
                    const std::string* parameter) {
    std::string error;
    DatabasePtr db = OpenFile(path, error);
    if (!error.empty()) throw std::runtime_error(error);
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK || !raw)
        throw std::runtime_error(std::string(sqlite3_errmsg(db.get())) + " in " + sql);
    StatementPtr statement(raw);
    if (parameter && sqlite3_bind_blob64(statement.get(), 1, parameter->data(), parameter->size(),
                                         SQLITE_TRANSIENT) != SQLITE_OK)
        throw std::runtime_error(std::string(sqlite3_errmsg(db.get())) + " binding ?1 in " + sql);
    FirstCell cell;
    const int rc = sqlite3_step(statement.get());
    if (rc == SQLITE_ROW) {
        cell.row = true;
        cell.null = sqlite3_column_type(statement.get(), 0) == SQLITE_NULL;
        const void* data = asBytes
                               ? sqlite3_column_blob(statement.get(), 0)
                               : static_cast<const void*>(sqlite3_column_text(statement.get(), 0));
        const int size = sqlite3_column_bytes(statement.get(), 0);
        if (data) cell.value.assign(static_cast<const char*>(data), static_cast<size_t>(size));
    } else if (rc != SQLITE_DONE) {
        throw std::runtime_error(std::string(sqlite3_errmsg(db.get())) + " in " + sql);
    }
    return cell;
}

Rows FileRows(const std::string& path, const std::string& sql) {
    std::string error;
    DatabasePtr db = OpenFile(path, error);
    if (!error.empty()) throw std::runtime_error(error);
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db.get(), sql.c_str(), -1, &raw, nullptr) != SQLITE_OK || !raw)
        throw std::runtime_error(std::string(sqlite3_errmsg(db.get())) + " in " + sql);
    StatementPtr statement(raw);
    Rows rows;
    int rc;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) {
        auto& row = rows.emplace_back();
        for (int i = 0; i < sqlite3_column_count(statement.get()); ++i) {
            const auto* text = sqlite3_column_text(statement.get(), i);
            row.push_back(
                text ? std::string(reinterpret_cast<const char*>(text),
                                   static_cast<size_t>(sqlite3_column_bytes(statement.get(), i)))
                     : "NULL");
        }
    }
    if (rc != SQLITE_DONE)
        throw std::runtime_error(std::string(sqlite3_errmsg(db.get())) + " in " + sql);
    return rows;
}

} // namespace velmora::test::detail
