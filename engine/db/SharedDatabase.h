#pragma once
// One open database file, shared by every connection of this process to that file.
//
// SQLite lets one writer at a time hold a file; two handles of one process, one inside a
// transaction and one writing, would wait on each other. So all connections to one file share one
// handle, and transactions are levels on that handle: the outermost level takes the write lock
// (BEGIN IMMEDIATE), every inner one is a savepoint.
#include "Backend.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct sqlite3;

namespace velmora::db {

class SharedDatabase : public Backend {
  public:
    // The shared database for the file at path, opening it when no connection has it open.
    // A missing file is refused; nothing is ever created.
    static std::shared_ptr<SharedDatabase> Acquire(const std::string& path);

    ~SharedDatabase() override;
    SharedDatabase(const SharedDatabase&) = delete;
    SharedDatabase& operator=(const SharedDatabase&) = delete;

    sqlite3* Handle() const { return db_; }
    const std::string& CanonicalPath() const { return path_; }

    // Opens a transaction level and returns its identity.
    int64_t BeginLevel() override;
    // Ends a level keeping its work. A level that is not the innermost is ended when the levels
    // inside it end. Throws when the level no longer exists (an enclosing level was rolled back)
    // or when the database refuses to commit; the level stays open then.
    void CommitLevel(int64_t level) override;
    // Ends a level undoing its work and the work of every level inside it.
    void RollbackLevel(int64_t level) override;
    bool HasLevel(int64_t level) const override;

    LONG Execute(const std::string& sql, const std::vector<Value>& parameters) override;
    std::unique_ptr<RowStore> OpenStore(const std::string& sql,
                                        const std::vector<Value>& parameters,
                                        bool updatable) override;

  private:
    SharedDatabase(sqlite3* db, std::string path);

    struct Level {
        int64_t id;
        bool ended; // committed by its owner, waiting for the levels inside it
    };

    void Exec(const std::string& sql);
    std::string SavepointName(int64_t level) const;
    void DropLevelsIfRolledBack();
    void EndFinishedLevels();

    sqlite3* db_;
    std::string path_;
    // The file's identity, to tell whether a path still names it.
    uint64_t device_ = 0;
    uint64_t inode_ = 0;
    mutable std::recursive_mutex mutex_;
    std::vector<Level> levels_; // outermost first
    int64_t nextLevel_ = 1;
};

} // namespace velmora::db
