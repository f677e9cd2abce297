#pragma once
// Small owning wrappers of libpq's connection and result objects, and the one place where a
// server's failure becomes the data layer's DbError.
#include <libpq-fe.h>

#include <memory>
#include <string>

namespace velmora::db {

struct PgResultDeleter {
    void operator()(PGresult* result) const { PQclear(result); }
};
using PgResult = std::unique_ptr<PGresult, PgResultDeleter>;

struct PgConnectionDeleter {
    void operator()(PGconn* connection) const { PQfinish(connection); }
};
using PgConnection = std::unique_ptr<PGconn, PgConnectionDeleter>;

// Whether the result is a success (rows or a completed command).
bool Succeeded(const PGresult* result);

// Throws the DbError that stands for a failed result (or, without a result, the connection's
// last message): a lock that could not be had within the wait reads as a file's busy database,
// faults in the statement text keep the command code, the rest are plain failures.
[[noreturn]] void FailServer(PGconn* connection, const PGresult* result);

// The SQLSTATE of a failed result ("" when there is none).
std::string SqlState(const PGresult* result);

} // namespace velmora::db
