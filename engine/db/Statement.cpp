#include "Statement.h"

#include "Cell.h"
#include "ErrorCodes.h"
#include "SqlTokenizer.h"

#include <mutex>
#include <new>
#include <sqlite3.h>
#include <unordered_map>
#include <utility>
#include <vector>

namespace velmora::db {
namespace {

// Statements kept per handle. Few texts recur (the same cursor opened again and again), so a
// short list, most recently kept last, finds them quickly and bounds what texts with literals
// in them can pile up.
constexpr size_t kKeptPerHandle = 48;

using KeptStatements = std::vector<std::pair<std::string, sqlite3_stmt*>>;

std::mutex& ReuseMutex() {
    static std::mutex mutex;
    return mutex;
}

std::unordered_map<sqlite3*, KeptStatements>& Kept() {
    static std::unordered_map<sqlite3*, KeptStatements> kept;
    return kept;
}

// A kept statement of this text, now owned by the caller, or nullptr.
sqlite3_stmt* TakeKept(sqlite3* db, const std::string& sql) {
    std::lock_guard lock(ReuseMutex());
    const auto handle = Kept().find(db);
    if (handle == Kept().end()) return nullptr;
    KeptStatements& kept = handle->second;
    for (auto it = kept.rbegin(); it != kept.rend(); ++it) {
        if (it->first == sql) {
            sqlite3_stmt* statement = it->second;
            kept.erase(std::next(it).base());
            return statement;
        }
    }
    return nullptr;
}

// Keeps a finished statement for reuse; false when its handle does not reuse statements or the
// list cannot grow (out of memory), and the caller finalizes it. Runs in a destructor, so it
// never throws.
bool Keep(sqlite3* db, std::string sql, sqlite3_stmt* statement) noexcept {
    sqlite3_stmt* evicted = nullptr;
    bool kept = false;
    {
        std::lock_guard lock(ReuseMutex());
        const auto handle = Kept().find(db);
        if (handle == Kept().end()) return false;
        KeptStatements& list = handle->second;
        if (list.size() >= kKeptPerHandle) {
            evicted = list.front().second;
            list.erase(list.begin());
        }
        try {
            list.emplace_back(std::move(sql), statement);
            kept = true;
        } catch (const std::bad_alloc&) {
        }
    }
    sqlite3_finalize(evicted);
    return kept;
}

} // namespace

void BeginStatementReuse(sqlite3* db) {
    std::lock_guard lock(ReuseMutex());
    Kept().try_emplace(db);
}

void EndStatementReuse(sqlite3* db) {
    KeptStatements kept;
    {
        std::lock_guard lock(ReuseMutex());
        const auto handle = Kept().find(db);
        if (handle == Kept().end()) return;
        kept = std::move(handle->second);
        Kept().erase(handle);
    }
    for (const auto& entry : kept)
        sqlite3_finalize(entry.second);
}

std::string NumberPlaceholders(const std::string& sql) {
    std::string numbered;
    size_t copied = 0;
    int count = 0;
    for (const Token& token : Tokenize(sql)) {
        if (token.kind != TokenKind::Symbol || sql[token.begin] != '?') continue;
        // "?5" already names its number.
        if (token.end < sql.size() && sql[token.end] >= '0' && sql[token.end] <= '9') {
            ++count;
            continue;
        }
        numbered.append(sql, copied, token.begin - copied);
        numbered += "?" + std::to_string(++count);
        copied = token.end;
    }
    if (copied == 0) return sql;
    numbered.append(sql, copied, std::string::npos);
    return numbered;
}

Statement::Statement(sqlite3* db, const std::string& sql) : db_(db), text_(sql) {
    // A kept statement of the same text was checked when it was first prepared. It is reset and
    // unbound; prepared with sqlite3_prepare_v2, it prepares itself again after a schema change.
    statement_ = TakeKept(db, sql);
    if (statement_ != nullptr) return;
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

void Statement::Bind(const std::vector<Value>& values) {
    const int count = sqlite3_bind_parameter_count(statement_);
    if (static_cast<size_t>(count) > values.size())
        Fail(kErrParameter, "No value given for one or more required parameters.");
    if (static_cast<size_t>(count) < values.size()) {
        Fail(kErrParameter,
             "More parameter values were given than the statement has placeholders.");
    }
    for (int i = 1; i <= count; ++i) {
        // Named placeholders (":name") or numbers out of order would take values by another
        // rule than their position.
        const char* name = sqlite3_bind_parameter_name(statement_, i);
        if (name != nullptr && name != "?" + std::to_string(i)) {
            Fail(kErrParameter, "Parameters are given as ? placeholders, in order.");
        }
        BindValue(statement_, i, values[static_cast<size_t>(i - 1)]);
    }
}

void Statement::BindDerived(const std::vector<Value>& values) {
    const int count = sqlite3_bind_parameter_count(statement_);
    for (int i = 1; i <= count && static_cast<size_t>(i) <= values.size(); ++i)
        BindValue(statement_, i, values[static_cast<size_t>(i - 1)]);
}

Statement::~Statement() {
    if (statement_ == nullptr) return;
    if (!failed_) {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
        if (!sqlite3_stmt_busy(statement_) && Keep(db_, std::move(text_), statement_)) return;
    }
    sqlite3_finalize(statement_);
}

bool Statement::Step() {
    const int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    // Reset so that the statement releases its locks before the error travels up.
    sqlite3_reset(statement_);
    failed_ = true;
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
