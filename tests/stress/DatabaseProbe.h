#pragma once
// Reads a database file with plain SQLite, beside the engine, for the checks that follow a run.
#include <string>
#include <vector>

struct sqlite3;

namespace velmora::stress {

class DatabaseProbe {
  public:
    // Opens the file read-only. Throws std::runtime_error.
    explicit DatabaseProbe(const std::string& path);
    ~DatabaseProbe();
    DatabaseProbe(const DatabaseProbe&) = delete;
    DatabaseProbe& operator=(const DatabaseProbe&) = delete;

    // Every row of the statement, each value as text (NULL as ""). Throws std::runtime_error.
    std::vector<std::vector<std::string>> Rows(const std::string& sql) const;
    // The first value of the first row, or "" when there is none.
    std::string Scalar(const std::string& sql) const;

  private:
    sqlite3* db_ = nullptr;
};

} // namespace velmora::stress
