#include "SharedDatabase.h"

#include "ContentDigest.h"
#include "ErrorCodes.h"
#include "KeyedRowStore.h"
#include "MaterialisedRowStore.h"
#include "Statement.h"

#include <climits>
#include <cstdlib>
#include <map>
#include <sqlite3.h>
#include <sys/stat.h>

namespace velmora::db {
namespace {

constexpr int kBusyTimeoutMs = 10000;

// Never destroyed: connections held by objects with static storage may close after every other
// static is gone.
std::mutex& RegistryMutex() {
    static auto* mutex = new std::mutex;
    return *mutex;
}

std::map<std::string, std::weak_ptr<SharedDatabase>>& Registry() {
    static auto* registry = new std::map<std::string, std::weak_ptr<SharedDatabase>>;
    return *registry;
}

// The path a connection string named, and the canonical path it led to, for the database files
// that are open: finding a file again costs one stat instead of resolving every component of
// its path anew (connections come and go with every record set).
std::map<std::string, std::string>& Aliases() {
    static auto* aliases = new std::map<std::string, std::string>;
    return *aliases;
}

std::string CanonicalExistingFile(const std::string& path) {
    char resolved[PATH_MAX];
    struct stat info {};
    if (realpath(path.c_str(), resolved) == nullptr || stat(resolved, &info) != 0) {
        Fail(kErrFail, "Could not find file '" + path + "'.");
    }
    if (!S_ISREG(info.st_mode)) Fail(kErrFail, "'" + path + "' is not a database file.");
    return resolved;
}

// Opens the file in the modes every connection relies on: rollback journal (safe on shared
// folders), full synchronous writes and a busy timeout instead of immediate lock failures.
sqlite3* OpenHandle(const std::string& canonicalPath, const std::string& shownPath) {
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(canonicalPath.c_str(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_extended_result_codes(db, 1);
        sqlite3_busy_timeout(db, kBusyTimeoutMs);
        rc = RegisterDigestFunction(db);
    }
    if (rc == SQLITE_OK) {
        rc = sqlite3_exec(
            db,
            "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; PRAGMA temp_store=MEMORY;"
            "SELECT count(*) FROM sqlite_master;",
            nullptr, nullptr, nullptr);
    }
    if (rc != SQLITE_OK) {
        const std::string reason = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close_v2(db);
        if ((rc & 0xFF) == SQLITE_NOTADB) {
            Fail(kErrFail, "Unrecognized database format '" + shownPath + "'.");
        }
        Fail(kErrFail, "Cannot open database '" + shownPath + "': " + reason);
    }
    return db;
}

} // namespace

std::shared_ptr<SharedDatabase> SharedDatabase::Acquire(const std::string& path) {
    // The path still names the very file that is open under it: the same database.
    struct stat named {};
    if (::stat(path.c_str(), &named) == 0 && S_ISREG(named.st_mode)) {
        std::lock_guard lock(RegistryMutex());
        if (const auto alias = Aliases().find(path); alias != Aliases().end()) {
            if (const auto it = Registry().find(alias->second); it != Registry().end()) {
                auto existing = it->second.lock();
                if (existing && existing->device_ == named.st_dev &&
                    existing->inode_ == named.st_ino)
                    return existing;
            }
        }
    }
    const std::string canonical = CanonicalExistingFile(path);
    std::lock_guard lock(RegistryMutex());
    auto& registry = Registry();
    std::shared_ptr<SharedDatabase> database;
    if (const auto it = registry.find(canonical); it != registry.end())
        database = it->second.lock();
    if (!database) {
        database.reset(new SharedDatabase(OpenHandle(canonical, path), canonical));
        registry[canonical] = database;
    }
    if (Aliases().size() > 64) Aliases().clear(); // only ever a few in practice
    Aliases()[path] = canonical;
    return database;
}

SharedDatabase::SharedDatabase(sqlite3* db, std::string path) : db_(db), path_(std::move(path)) {
    struct stat info {};
    if (::stat(path_.c_str(), &info) == 0) {
        device_ = info.st_dev;
        inode_ = info.st_ino;
    }
    // The same few statements run over and over on this handle: parse each once.
    BeginStatementReuse(db_);
}

SharedDatabase::~SharedDatabase() {
    if (!levels_.empty() && !sqlite3_get_autocommit(db_)) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    EndStatementReuse(db_);
    sqlite3_close_v2(db_);
    std::lock_guard lock(RegistryMutex());
    auto& registry = Registry();
    const auto it = registry.find(path_);
    if (it != registry.end() && it->second.expired()) registry.erase(it);
    std::erase_if(Aliases(), [this](const auto& alias) { return alias.second == path_; });
}

void SharedDatabase::Exec(const std::string& sql) {
    const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) FailSqlite(db_, rc);
}

std::string SharedDatabase::SavepointName(int64_t level) const {
    return "velmora_level_" + std::to_string(level);
}

// SQLite rolls a transaction back on its own after some failures (disk full, I/O errors); the
// levels that were open are gone then.
void SharedDatabase::DropLevelsIfRolledBack() {
    if (!levels_.empty() && sqlite3_get_autocommit(db_)) levels_.clear();
}

int64_t SharedDatabase::BeginLevel() {
    std::lock_guard lock(mutex_);
    DropLevelsIfRolledBack();
    const int64_t id = nextLevel_++;
    Exec(levels_.empty() ? std::string("BEGIN IMMEDIATE") : "SAVEPOINT " + SavepointName(id));
    levels_.push_back({id, false});
    return id;
}

void SharedDatabase::EndFinishedLevels() {
    while (!levels_.empty() && levels_.back().ended) {
        const Level& top = levels_.back();
        try {
            Exec(levels_.size() == 1 ? std::string("COMMIT") : "RELEASE " + SavepointName(top.id));
        } catch (const DbError&) {
            levels_.back().ended = false; // still open: its owner may retry or roll back
            throw;
        }
        levels_.pop_back();
    }
}

void SharedDatabase::CommitLevel(int64_t level) {
    std::lock_guard lock(mutex_);
    DropLevelsIfRolledBack();
    for (Level& open : levels_) {
        if (open.id == level) {
            open.ended = true;
            EndFinishedLevels();
            return;
        }
    }
    Fail(kErrNoTransaction, "The transaction is no longer active; its work was rolled back.");
}

void SharedDatabase::RollbackLevel(int64_t level) {
    std::lock_guard lock(mutex_);
    DropLevelsIfRolledBack();
    for (size_t i = 0; i < levels_.size(); ++i) {
        if (levels_[i].id != level) continue;
        if (i == 0) {
            Exec("ROLLBACK");
            levels_.clear();
        } else {
            const std::string name = SavepointName(level);
            Exec("ROLLBACK TO " + name + "; RELEASE " + name);
            levels_.resize(i);
        }
        EndFinishedLevels();
        return;
    }
    // Already undone by an enclosing level or by the database itself: nothing is left to undo.
}

bool SharedDatabase::HasLevel(int64_t level) const {
    std::lock_guard lock(mutex_);
    if (!levels_.empty() && sqlite3_get_autocommit(db_)) return false;
    for (const Level& open : levels_) {
        if (open.id == level) return true;
    }
    return false;
}

LONG SharedDatabase::Execute(const std::string& sql, const std::vector<Value>& parameters) {
    Statement statement(db_, sql);
    statement.Bind(parameters);
    statement.Run();
    if (sqlite3_stmt_readonly(statement.get())) return 0;
    return static_cast<LONG>(sqlite3_changes(db_));
}

std::unique_ptr<RowStore> SharedDatabase::OpenStore(const std::string& sql,
                                                    const std::vector<Value>& parameters,
                                                    bool updatable) {
    std::vector<ColumnInfo> columns;
    {
        Statement statement(db_, sql);
        statement.Bind(parameters);
        if (statement.ColumnCount() == 0) {
            statement.Run();
            return nullptr;
        }
        columns = DescribeColumns(statement.get());
    }
    if (auto keyed = KeyedRowStore::TryCreate(db_, sql, parameters, columns, updatable))
        return keyed;
    return std::make_unique<MaterialisedRowStore>(db_, sql, parameters, std::move(columns));
}

} // namespace velmora::db
