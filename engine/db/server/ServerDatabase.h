#pragma once
// One PostgreSQL database, shared by every connection of this process to the same data source.
//
// Like a database file it has one writer at a time: the outermost transaction level takes an
// advisory lock that every Velmora client takes before writing, waiting for it as long as a file
// waits for its write lock; inner levels are savepoints. A write outside any level runs in a
// level of its own. Inside a transaction every statement runs under a savepoint of its own, so
// that a statement the server refuses leaves the transaction usable, as it does on a file.
#include "../Backend.h"
#include "PgResult.h"
#include "ServerCatalog.h"

#include "../Cell.h"
#include "../ChunkSpool.h"

#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace velmora::db {

// What opening a statement as a keyed set worked out (its columns, table, key and the query of its
// keys), kept so that a statement opened again and again is described once.
struct KeyedPlan {
    bool keyed = false;
    std::vector<ColumnInfo> columns;
    std::vector<Storage> storages;
    std::string table;
    std::string key;
    std::string keyQuery;
};

class ServerDatabase : public Backend, public std::enable_shared_from_this<ServerDatabase> {
  public:
    static std::shared_ptr<ServerDatabase> Acquire(const std::string& uri);
    ~ServerDatabase() override;

    int64_t BeginLevel() override;
    void CommitLevel(int64_t level) override;
    void RollbackLevel(int64_t level) override;
    bool HasLevel(int64_t level) const override;

    LONG Execute(const std::string& sql, const std::vector<Value>& parameters) override;
    std::unique_ptr<RowStore> OpenStore(const std::string& sql,
                                        const std::vector<Value>& parameters,
                                        bool updatable) override;

    // For the row stores. Every call holds the database's lock.
    std::recursive_mutex& Mutex() const { return mutex_; }
    PGconn* Handle() const { return connection_.get(); }
    const ServerCatalog& Catalog() const { return catalog_; }
    // Runs a statement already in the server's dialect; values are sent in order as $1, $2, ...
    // Throws DbError; the transaction stays usable.
    PgResult Run(const std::string& serverSql, const std::vector<Value>& values);
    // The result columns of a statement in the server's dialect, without running it.
    PgResult Describe(const std::string& serverSql);
    // Makes the bytes of spool the content of the piece table's row slot (replacing it),
    // sending them a piece at a time.
    void StorePiece(int slot, const ChunkSpool& spool);
    void ClearPieces();
    // Translates and runs sql in the engine's dialect with its numbered values.
    PgResult RunEngineSql(const std::string& sql, const std::vector<Value>& values, bool exact);
    bool InTransaction() const { return !levels_.empty(); }
    std::shared_ptr<const KeyedPlan> FindPlan(const std::string& sql) const;
    void KeepPlan(const std::string& sql, std::shared_ptr<const KeyedPlan> plan);

  private:
    explicit ServerDatabase(PgConnection connection, std::string uri);

    struct Level {
        int64_t id;
        bool ended;
    };

    void Command(const std::string& sql);
    // Sends the statements in one round trip and returns each one's result; a statement after a
    // failed one is not run (its result is PGRES_PIPELINE_ABORTED). values belong to the
    // statement at index valuesOf.
    std::vector<PgResult> Pipeline(const std::vector<std::string>& statements, size_t valuesOf,
                                   const std::vector<Value>& values);
    PgResult RunUnprotected(const std::string& serverSql, const std::vector<Value>& values);
    // Runs work under a savepoint of its own when a transaction is open.
    template <typename Work> PgResult Protected(Work work);
    void EndFinishedLevels();
    void DropLevelsIfRolledBack();
    static bool IsReadOnly(const std::string& sql);

    PgConnection connection_;
    std::string uri_;
    ServerCatalog catalog_;
    mutable std::recursive_mutex mutex_;
    std::vector<Level> levels_;
    int64_t nextLevel_ = 1;
    int64_t nextSavepoint_ = 1;
    std::unordered_map<std::string, std::shared_ptr<const KeyedPlan>> plans_;
};

} // namespace velmora::db
