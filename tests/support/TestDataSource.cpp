// Test databases of either kind, and direct access to them.
#include "TestDataSource.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <iostream>
#include <stdexcept>

#include "Clients.h"
#include "engine/db/DataSource.h"

namespace velmora::test {
namespace {

// The server every test database is made on, as scripts/with-postgres.sh exports it.
std::string MaintenanceUri() {
    const char* uri = std::getenv("VELMORA_TEST_SERVER");
    if (!uri || !*uri)
        throw std::runtime_error("VELMORA_TEST_BACKEND=postgresql needs VELMORA_TEST_SERVER (run "
                                 "the tests through scripts/with-postgres.sh)");
    return uri;
}

// Runs one statement on the maintenance database (CREATE and DROP DATABASE cannot run inside a
// transaction, so each is a statement of its own).
std::string Maintain(const std::string& statement) {
    return detail::ServerExecute(MaintenanceUri(), statement);
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("''") : std::string(1, c);
    return quoted + "'";
}

// The function a server trigger runs.
std::string FunctionOf(const std::string& trigger) {
    return trigger + "_body";
}

} // namespace

TestDataSource::~TestDataSource() {
    if (getpid() != owner_) return; // a forked child's copy leaves the parent's databases alone
    for (const std::string& database : databases_) {
        // FORCE: a connection a failing test left open must not keep the database alive.
        std::string error;
        try {
            error = Maintain("DROP DATABASE IF EXISTS " + database + " WITH (FORCE)");
        } catch (const std::exception& e) {
            error = e.what();
        }
        if (!error.empty())
            std::cerr << "cannot drop test database " << database << ": " << error << "\n";
    }
}

bool TestDataSource::UsesServer() {
    const char* backend = std::getenv("VELMORA_TEST_BACKEND");
    return backend && std::string(backend) == "postgresql";
}

std::string TestDataSource::Create(const std::filesystem::path& directory,
                                   const std::string& name) {
    if (!UsesServer()) return (directory / name).string();
    // Tests of one run share the server: the process number keeps their names apart.
    static std::atomic<int> made{0};
    const std::string database =
        "velmora_t_" + std::to_string(getpid()) + "_" + std::to_string(++made);
    const std::string uri = WithDatabase(MaintenanceUri(), database);
    const std::string error = Maintain("CREATE DATABASE " + database);
    if (!error.empty())
        throw std::runtime_error("cannot create test database " + database + ": " + error);
    databases_.push_back(database);
    owner_ = getpid();
    return uri;
}

std::string TestDataSource::Execute(const std::string& dataSource, const std::string& sql) {
    return db::IsServerDataSource(dataSource) ? detail::ServerExecute(dataSource, sql)
                                              : detail::FileExecute(dataSource, sql);
}

namespace {
detail::FirstCell Query(const std::string& dataSource, const std::string& sql, bool asBytes,
                        const std::string* parameter) {
    return db::IsServerDataSource(dataSource)
               ? detail::ServerQuery(dataSource, sql, asBytes, parameter)
               : detail::FileQuery(dataSource, sql, asBytes, parameter);
}
} // namespace

std::string TestDataSource::QueryText(const std::string& dataSource, const std::string& sql) {
    const detail::FirstCell cell = Query(dataSource, sql, false, nullptr);
    if (!cell.row) return "";
    return cell.null ? "NULL" : cell.value;
}

std::vector<std::vector<std::string>> TestDataSource::QueryRows(const std::string& dataSource,
                                                                const std::string& sql) {
    return db::IsServerDataSource(dataSource) ? detail::ServerRows(dataSource, sql)
                                              : detail::FileRows(dataSource, sql);
}

std::string TestDataSource::QueryBytes(const std::string& dataSource, const std::string& sql,
                                       const std::string* parameter) {
    return Query(dataSource, sql, true, parameter).value;
}

std::string TestDataSource::CreateTrigger(const std::string& dataSource, const std::string& name,
                                          const std::string& timing, const std::string& event,
                                          const std::string& table, const std::string& when,
                                          const std::string& body) {
    const std::string head = "CREATE TRIGGER " + name + " " + timing + " " + event + " ON " + table;
    if (!db::IsServerDataSource(dataSource))
        return Execute(dataSource,
                       head + (when.empty() ? "" : " WHEN " + when) + " BEGIN " + body + "; END");
    // The server runs a trigger's statements as a function; a BEFORE trigger lets the row through
    // by returning it.
    return Execute(dataSource,
                   "CREATE FUNCTION " + FunctionOf(name) +
                       "() RETURNS trigger LANGUAGE plpgsql AS $body$ BEGIN " + body +
                       "; IF TG_OP = 'DELETE' THEN RETURN OLD; END IF; RETURN NEW; END $body$; " +
                       head + " FOR EACH ROW" + (when.empty() ? "" : " WHEN (" + when + ")") +
                       " EXECUTE FUNCTION " + FunctionOf(name) + "()");
}

std::string TestDataSource::RefuseWrites(const std::string& dataSource, const std::string& name,
                                         const std::string& table, const std::string& event,
                                         const std::string& when, const std::string& message) {
    const std::string refusal = db::IsServerDataSource(dataSource)
                                    ? "RAISE EXCEPTION USING MESSAGE = " + Quoted(message)
                                    : "SELECT RAISE(ABORT, " + Quoted(message) + ")";
    return CreateTrigger(dataSource, name, "BEFORE", event, table, when, refusal);
}

std::string TestDataSource::DropTrigger(const std::string& dataSource, const std::string& name,
                                        const std::string& table) {
    if (!db::IsServerDataSource(dataSource)) return Execute(dataSource, "DROP TRIGGER " + name);
    return Execute(dataSource, "DROP TRIGGER " + name + " ON " + table + "; DROP FUNCTION " +
                                   FunctionOf(name) + "()");
}

std::string TestDataSource::WithDatabase(const std::string& uri, const std::string& database) {
    const size_t scheme = uri.find("://");
    if (scheme == std::string::npos) throw std::invalid_argument("not a URI: " + uri);
    const size_t authorityEnd = uri.find_first_of("/?#", scheme + 3);
    const std::string head = uri.substr(0, authorityEnd);
    std::string tail; // the query and fragment, kept
    if (authorityEnd != std::string::npos) {
        const size_t query = uri.find_first_of("?#", authorityEnd);
        if (query != std::string::npos) tail = uri.substr(query);
    }
    return head + "/" + database + tail;
}

} // namespace velmora::test
