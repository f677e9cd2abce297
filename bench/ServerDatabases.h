#pragma once
// The benchmark's databases on a PostgreSQL server, made and dropped through a maintenance
// connection (any database the user may create databases from, e.g. "postgres").
#include <memory>
#include <string>

struct pg_conn;

namespace velmora::bench {

// The URI with its database replaced by `database` (the path of the URI; a "dbname" parameter
// is dropped). Host, port, user and the other parameters stay as given.
std::string ServerDatabaseUri(const std::string& uri, const std::string& database);

class ServerDatabases {
  public:
    // Connects to the maintenance URI; Error() says why when that fails.
    explicit ServerDatabases(std::string maintenanceUri);
    ~ServerDatabases();
    ServerDatabases(const ServerDatabases&) = delete;
    ServerDatabases& operator=(const ServerDatabases&) = delete;

    const std::string& Error() const { return error_; }

    // Makes `name` a copy of the database file at `path` with `velmora copy` (the tool at
    // `tool`), then vacuums and analyses it as the server's autovacuum would soon after.
    bool BuildFromFile(const std::string& tool, const std::string& path, const std::string& name);
    // Makes `name` afresh as a copy of `templateName` and returns its URI ("" on failure).
    std::string FreshCopy(const std::string& templateName, const std::string& name);
    // Drops `name` if it exists.
    bool Drop(const std::string& name);
    // Asks the server to write its dirty pages now rather than in the middle of a measurement
    // (needs the right to; a refusal is not an error).
    void Checkpoint();

  private:
    bool Command(const std::string& sql);

    std::string uri_;
    std::string error_;
    pg_conn* connection_ = nullptr;
};

} // namespace velmora::bench
