#pragma once
// One prepared SQLite statement, finalized on destruction, or kept for the next statement of the
// same text when its database reuses statements.
#include <cstdint>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace velmora::db {

class Value;

// Gives each plain `?` placeholder outside literals, quoted names and comments its position as
// a number ("?1", "?2", ...). Statements derived from the text (keys only, another order) then
// still take each value at the placeholder it was given for, even when clauses are dropped.
std::string NumberPlaceholders(const std::string& sql);

class Statement {
  public:
    // Prepares sql, which must hold exactly one statement: a second statement after ';' is
    // refused before anything runs, and so is a text without any statement or with a NUL byte.
    Statement(sqlite3* db, const std::string& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* get() const { return statement_; }

    // Binds values[i] to placeholder i + 1. The statement must have exactly that many
    // placeholders, numbered in order ("?" or "?N"); anything else is a statement fault.
    void Bind(const std::vector<Value>& values);
    // For a statement derived from a numbered text: binds each value to its numbered
    // placeholder where the statement still has it.
    void BindDerived(const std::vector<Value>& values);

    // Advances to the next row: true when there is one, false when the statement is done.
    bool Step();
    // Runs the statement to its end.
    void Run();
    void Reset();
    int ColumnCount() const;
    int64_t ColumnInt64(int column) const;

  private:
    sqlite3* db_;
    std::string text_;
    sqlite3_stmt* statement_ = nullptr;
    bool failed_ = false; // a failed statement is not kept for reuse
};

// Lets the statements of db be kept after use and handed to the next Statement of the same text,
// which then skips parsing. A kept statement belongs to one Statement at a time. Reuse is for a
// handle that stays open for many statements; it must end before the handle is closed.
void BeginStatementReuse(sqlite3* db);
// Finalizes the kept statements of db and keeps no more.
void EndStatementReuse(sqlite3* db);

} // namespace velmora::db
