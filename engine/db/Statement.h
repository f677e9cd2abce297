#pragma once
// One prepared SQLite statement, finalized on destruction.
#include <cstdint>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace velmora::db {

class Statement {
  public:
    // Prepares sql, which must hold exactly one statement: a second statement after ';' is
    // refused before anything runs, and so is a text without any statement or with a NUL byte.
    Statement(sqlite3* db, const std::string& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* get() const { return statement_; }

    // Advances to the next row: true when there is one, false when the statement is done.
    bool Step();
    // Runs the statement to its end.
    void Run();
    void Reset();
    int ColumnCount() const;
    int64_t ColumnInt64(int column) const;

  private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

} // namespace velmora::db
