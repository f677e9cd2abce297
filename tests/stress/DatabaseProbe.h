#pragma once
// Reads a database beside the engine, for the checks that follow a run: a file or a server
// database, through the engine's own data-access layer, so one statement text serves both.
#include <memory>
#include <string>
#include <vector>

namespace velmora::db {
class Connection;
}

namespace velmora::stress {

class DatabaseProbe {
  public:
    // Opens the data source (a file's path or a postgresql:// URI). Within one process it shares
    // the database handle (on a server: the one connection) with the engine's sessions on the
    // same data source. Throws std::runtime_error.
    explicit DatabaseProbe(const std::string& dataSource);
    ~DatabaseProbe();
    DatabaseProbe(const DatabaseProbe&) = delete;
    DatabaseProbe& operator=(const DatabaseProbe&) = delete;

    bool OnServer() const { return onServer_; }

    // Every row of the statement, each value as text (NULL as ""). Throws std::runtime_error.
    std::vector<std::vector<std::string>> Rows(const std::string& sql) const;
    // The first value of the first row, or "" when there is none.
    std::string Scalar(const std::string& sql) const;

  private:
    std::unique_ptr<db::Connection> connection_;
    bool onServer_;
};

} // namespace velmora::stress
