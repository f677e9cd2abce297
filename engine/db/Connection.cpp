#include "Backend.h"
#include "DataSourcePath.h"
#include "Database.h"
#include "ErrorCodes.h"
#include "SqlDialect.h"
#include "Statement.h"

#include <optional>

namespace velmora::db {

Connection::Connection() = default;

Connection::~Connection() {
    try {
        Close();
    } catch (const DbError&) {
        // Closing never fails the owner's destruction; the database rolls back what is left.
    }
}

void Connection::Open(const std::string& connectionString, const std::string&, const std::string&) {
    if (database_) Fail(kErrObjectOpen, "Operation is not allowed when the object is open.");
    database_ = Backend::Acquire(DataSourcePath(connectionString));
    connectionString_ = connectionString;
}

void Connection::Close() {
    if (!database_) return;
    // Undo what this connection left open, innermost first.
    auto database = std::move(database_);
    auto levels = std::move(ownLevels_);
    ownLevels_.clear();
    std::optional<DbError> firstError;
    while (!levels.empty()) {
        const int64_t level = levels.back();
        levels.pop_back();
        try {
            database->RollbackLevel(level);
        } catch (const DbError& error) {
            if (!firstError) firstError = error;
        }
    }
    if (firstError) throw *firstError;
}

bool Connection::IsOpen() const {
    return static_cast<bool>(database_);
}

const std::string& Connection::ConnectionString() const {
    return connectionString_;
}

void Connection::BeginTrans() {
    if (!database_) FailClosed();
    ownLevels_.push_back(database_->BeginLevel());
}

void Connection::CommitTrans() {
    if (!database_) FailClosed();
    if (ownLevels_.empty()) {
        Fail(
            kErrNoTransaction,
            "You tried to commit or rollback a transaction without first beginning a transaction.");
    }
    const int64_t level = ownLevels_.back();
    if (!database_->HasLevel(level)) {
        ownLevels_.pop_back();
        Fail(kErrNoTransaction, "The transaction is no longer active; its work was rolled back.");
    }
    database_->CommitLevel(level); // stays open when the commit fails
    ownLevels_.pop_back();
}

void Connection::RollbackTrans() {
    if (!database_) FailClosed();
    if (ownLevels_.empty()) {
        Fail(
            kErrNoTransaction,
            "You tried to commit or rollback a transaction without first beginning a transaction.");
    }
    const int64_t level = ownLevels_.back();
    ownLevels_.pop_back();
    database_->RollbackLevel(level);
}

LONG Connection::TransactionDepth() const {
    return static_cast<LONG>(ownLevels_.size());
}

LONG Connection::Execute(const std::string& sql) {
    return Execute(sql, {});
}

LONG Connection::Execute(const std::string& sql, const std::vector<Value>& parameters) {
    if (!database_) FailClosed();
    return database_->Execute(NumberPlaceholders(TranslateDateLiterals(sql)), parameters);
}

Transaction::Transaction(Connection& connection) : connection_(connection) {
    connection_.BeginTrans();
}

Transaction::~Transaction() {
    if (finished_) return;
    try {
        connection_.RollbackTrans();
    } catch (const DbError&) {
        // The database undoes an unfinished transaction by itself when the handle closes.
    }
}

void Transaction::Commit() {
    if (finished_) {
        Fail(
            kErrNoTransaction,
            "You tried to commit or rollback a transaction without first beginning a transaction.");
    }
    connection_.CommitTrans();
    finished_ = true;
}

} // namespace velmora::db
