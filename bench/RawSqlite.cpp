#include "RawSqlite.h"

#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

namespace velmora::bench::raw {
namespace {

struct Database {
    explicit Database(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            handle = nullptr;
        else
            sqlite3_busy_timeout(handle, 10000);
    }
    ~Database() { sqlite3_close(handle); }
    sqlite3* handle = nullptr;
};

struct Statement {
    Statement(sqlite3* db, const std::string& sql) {
        if (db) sqlite3_prepare_v2(db, sql.c_str(), -1, &handle, nullptr);
    }
    ~Statement() { sqlite3_finalize(handle); }
    sqlite3_stmt* handle = nullptr;
};

// Reads every column into program memory, as a program does that hands a row on: texts are
// copied out, numbers read.
void ReadRow(sqlite3_stmt* row, size_t& sink) {
    std::vector<std::string> texts;
    texts.reserve(static_cast<size_t>(sqlite3_column_count(row)));
    for (int c = 0; c < sqlite3_column_count(row); ++c) {
        if (sqlite3_column_type(row, c) == SQLITE_TEXT) {
            texts.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(row, c)),
                               static_cast<size_t>(sqlite3_column_bytes(row, c)));
            sink += texts.back().size();
        } else {
            sink += static_cast<size_t>(sqlite3_column_double(row, c));
        }
    }
}

std::vector<sqlite3_int64> Keys(sqlite3* db, const std::string& sql) {
    Statement keys(db, sql);
    std::vector<sqlite3_int64> result;
    while (keys.handle && sqlite3_step(keys.handle) == SQLITE_ROW)
        result.push_back(sqlite3_column_int64(keys.handle, 0));
    return result;
}

bool ReadByKey(sqlite3* db, sqlite3_int64 key) {
    Statement row(db, "SELECT * FROM tBugReport WHERE rowid = ?");
    if (!row.handle) return false;
    sqlite3_bind_int64(row.handle, 1, key);
    size_t sink = 0;
    if (sqlite3_step(row.handle) != SQLITE_ROW) return false;
    ReadRow(row.handle, sink);
    return sink > 0;
}

} // namespace

bool OpenCountLast(const std::string& path) {
    Database db(path);
    auto keys = Keys(db.handle, std::string("SELECT rowid FROM tBugReport WHERE ") + kBugCondition +
                                    " ORDER BY BugID");
    return !keys.empty() && ReadByKey(db.handle, keys.back());
}

bool Walk(const std::string& path) {
    Database db(path);
    Statement rows(db.handle, std::string("SELECT * FROM tBugReport WHERE ") + kBugCondition +
                                  " ORDER BY BugID");
    size_t sink = 0;
    while (rows.handle && sqlite3_step(rows.handle) == SQLITE_ROW) ReadRow(rows.handle, sink);
    return sink > 0;
}

bool SortByText(const std::string& path) {
    Database db(path);
    auto keys = Keys(db.handle, std::string("SELECT rowid FROM tBugReport WHERE ") + kBugCondition +
                                    " ORDER BY Description ASC");
    return !keys.empty() && ReadByKey(db.handle, keys.front());
}

bool FilterTwoConditions(const std::string& path) {
    Database db(path);
    auto keys = Keys(db.handle, std::string("SELECT rowid FROM tBugReport WHERE ") + kBugCondition +
                                    " AND (StatusName = 'Active' AND PriorityName = 'High')"
                                    " ORDER BY BugID");
    return !keys.empty();
}

bool UpdateOne(const std::string& path, int id) {
    Database db(path);
    Statement find(db.handle, "SELECT rowid FROM tBugReport WHERE BugID = ?");
    if (!find.handle) return false;
    sqlite3_bind_int(find.handle, 1, id);
    if (sqlite3_step(find.handle) != SQLITE_ROW) return false;
    if (!ReadByKey(db.handle, sqlite3_column_int64(find.handle, 0))) return false;
    Statement update(db.handle, "UPDATE tBugReport SET Description = ? WHERE BugID = ?");
    sqlite3_bind_text(update.handle, 1, "changed by the benchmark", -1, SQLITE_STATIC);
    sqlite3_bind_int(update.handle, 2, id);
    return sqlite3_step(update.handle) == SQLITE_DONE;
}

bool AddMany(const std::string& path, int count) {
    Database db(path);
    for (int i = 0; i < count; ++i) {
        if (sqlite3_exec(db.handle, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
            return false;
        Statement next(db.handle, "SELECT NextBugID FROM tNextID");
        if (sqlite3_step(next.handle) != SQLITE_ROW) return false;
        const int id = sqlite3_column_int(next.handle, 0);
        sqlite3_reset(next.handle);
        Statement advance(db.handle, "UPDATE tNextID SET NextBugID = NextBugID + 1");
        if (sqlite3_step(advance.handle) != SQLITE_DONE) return false;
        if (sqlite3_exec(db.handle, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            return false;
        Statement insert(db.handle, "INSERT INTO tBugReport (BugID, BugType, Description, "
                                    "StatusName, ReportedInVersionID) VALUES (?, 0, ?, 'New', 0)");
        sqlite3_bind_int(insert.handle, 1, id);
        sqlite3_bind_text(insert.handle, 2, "added by the benchmark", -1, SQLITE_STATIC);
        if (sqlite3_step(insert.handle) != SQLITE_DONE) return false;
    }
    return true;
}

} // namespace velmora::bench::raw
