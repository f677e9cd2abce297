// Direct access to a server database through libpq.
#include <libpq-fe.h>

#include <memory>
#include <stdexcept>

#include "Clients.h"
#include "TestDataSource.h"
#include "engine/db/DbError.h"
#include "engine/db/server/ServerCatalog.h"
#include "engine/db/server/ServerSql.h"

namespace velmora::test::detail {
namespace {

struct FinishConnection {
    void operator()(PGconn* connection) const { PQfinish(connection); }
};
struct ClearResult {
    void operator()(PGresult* result) const { PQclear(result); }
};
using ConnectionPtr = std::unique_ptr<PGconn, FinishConnection>;
using ResultPtr = std::unique_ptr<PGresult, ClearResult>;

std::string Message(PGconn* connection) {
    std::string text = PQerrorMessage(connection);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

ConnectionPtr Connect(const std::string& uri, std::string& error) {
    ConnectionPtr connection(PQconnectdb(uri.c_str()));
    if (!connection || PQstatus(connection.get()) != CONNECTION_OK)
        error = "cannot connect: " + (connection ? Message(connection.get()) : "out of memory");
    return connection;
}

constexpr Oid kByteaType = 17; // pg_type's number for bytea (catalog/pg_type_d.h, a server header)

bool Succeeded(const PGresult* result) {
    const ExecStatusType status = PQresultStatus(result);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

// The statement as the engine sends it to the server: names in the letter case the tables were
// created with, placeholders as $1. A test writes its statements the way the engine does.
std::string ServerDialect(PGconn* connection, const std::string& sql, size_t values) {
    db::ServerCatalog catalog;
    try {
        catalog.Load(connection);
        std::string numbered = sql;
        for (size_t at = numbered.find('?'); at != std::string::npos;
             at = numbered.find('?', at + 1))
            if (at + 1 >= numbered.size() || numbered[at + 1] < '0' || numbered[at + 1] > '9')
                numbered.insert(at + 1, "1");
        return db::TranslateForServer(numbered, catalog.Names(), values, false).text;
    } catch (const db::DbError& error) {
        throw std::runtime_error(error.Description() + " in " + sql);
    }
}

} // namespace

std::string ServerExecute(const std::string& uri, const std::string& sql) {
    std::string error;
    ConnectionPtr connection = Connect(uri, error);
    if (!error.empty()) return error;
    for (const std::string& statement : SplitStatements(sql)) {
        ResultPtr result(
            PQexec(connection.get(), ServerDialect(connection.get(), statement, 0).c_str()));
        if (!result || !Succeeded(result.get()))
            return Message(connection.get()) + " in " + statement;
    }
    return "";
}

FirstCell ServerQuery(const std::string& uri, const std::string& sql, bool asBytes,
                      const std::string* parameter) {
    std::string error;
    ConnectionPtr connection = Connect(uri, error);
    if (!error.empty()) throw std::runtime_error(error);
    const std::string text = ServerDialect(connection.get(), sql, parameter ? 1 : 0);
    const char* values[1] = {parameter ? parameter->data() : nullptr};
    const int lengths[1] = {parameter ? static_cast<int>(parameter->size()) : 0};
    const int formats[1] = {1};
    // Results come as text, which reads the same as a file's for every type but bytea.
    ResultPtr result(PQexecParams(connection.get(), text.c_str(), parameter ? 1 : 0, nullptr,
                                  values, lengths, formats, 0));
    if (!result || !Succeeded(result.get()))
        throw std::runtime_error(Message(connection.get()) + " in " + sql);
    FirstCell cell;
    if (PQntuples(result.get()) > 0 && PQnfields(result.get()) > 0) {
        cell.row = true;
        cell.null = PQgetisnull(result.get(), 0, 0);
        const char* value = PQgetvalue(result.get(), 0, 0);
        if (asBytes && !cell.null && PQftype(result.get(), 0) == kByteaType) {
            size_t size = 0;
            std::unique_ptr<unsigned char, decltype(&PQfreemem)> bytes(
                PQunescapeBytea(reinterpret_cast<const unsigned char*>(value), &size), PQfreemem);
            if (!bytes) throw std::runtime_error("cannot decode the bytes of " + sql);
            cell.value.assign(reinterpret_cast<const char*>(bytes.get()), size);
        } else {
            cell.value.assign(value, static_cast<size_t>(PQgetlength(result.get(), 0, 0)));
        }
    }
    return cell;
}

Rows ServerRows(const std::string& uri, const std::string& sql) {
    std::string error;
    ConnectionPtr connection = Connect(uri, error);
    if (!error.empty()) throw std::runtime_error(error);
    ResultPtr result(PQexec(connection.get(), ServerDialect(connection.get(), sql, 0).c_str()));
    if (!result || !Succeeded(result.get()))
        throw std::runtime_error(Message(connection.get()) + " in " + sql);
    Rows rows(static_cast<size_t>(PQntuples(result.get())));
    for (int r = 0; r < PQntuples(result.get()); ++r)
        for (int c = 0; c < PQnfields(result.get()); ++c)
            rows[static_cast<size_t>(r)].push_back(
                PQgetisnull(result.get(), r, c) ? "NULL" : PQgetvalue(result.get(), r, c));
    return rows;
}

} // namespace velmora::test::detail
