#pragma once
// One open database, shared by every connection of this process to it, whatever kind it is: a
// database file (SQLite) or a PostgreSQL server database. Connections and record sets reach the
// data only through this interface; which kind serves them is decided by the data source alone.
//
// Transactions are levels on the shared database: the outermost level takes the write lock, so
// that one writer at a time changes the data, and every inner one is a savepoint.
#include "Database.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velmora::db {

class RowStore;

class Backend {
  public:
    // The shared database the data source names (a file path or a postgresql:// URI), opening
    // it when no connection of this process has it open. Nothing is ever created.
    static std::shared_ptr<Backend> Acquire(const std::string& dataSource);

    virtual ~Backend() = default;

    // Opens a transaction level and returns its identity.
    virtual int64_t BeginLevel() = 0;
    // Ends a level keeping its work. A level that is not the innermost is ended when the levels
    // inside it end. Throws when the level no longer exists (an enclosing level was rolled back)
    // or when the database refuses to commit; the level stays open then.
    virtual void CommitLevel(int64_t level) = 0;
    // Ends a level undoing its work and the work of every level inside it.
    virtual void RollbackLevel(int64_t level) = 0;
    virtual bool HasLevel(int64_t level) const = 0;

    // Runs one statement (date literals translated, placeholders numbered) with its values and
    // returns the number of rows it changed (0 for a statement that changes nothing).
    virtual LONG Execute(const std::string& sql, const std::vector<Value>& parameters) = 0;
    // The rows of one statement (date literals translated, placeholders numbered): a keyed store
    // for a plain one-table SELECT, else the whole result read-only. A statement that returns no
    // columns runs, and nullptr is returned.
    virtual std::unique_ptr<RowStore>
    OpenStore(const std::string& sql, const std::vector<Value>& parameters, bool updatable) = 0;
};

} // namespace velmora::db
