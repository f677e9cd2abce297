#pragma once
// Makes the several steps of writing one row (the statement, long binary pieces, reading the row
// back) one atomic change.
struct sqlite3;

namespace velmora::db {

class WriteScope {
  public:
    // Takes the write lock at once when no transaction is open; inside an open transaction it
    // is a savepoint of that transaction.
    explicit WriteScope(sqlite3* db);
    ~WriteScope(); // undoes everything unless Commit() ran
    WriteScope(const WriteScope&) = delete;
    WriteScope& operator=(const WriteScope&) = delete;
    void Commit();

  private:
    sqlite3* db_;
    bool ownTransaction_;
    bool open_ = true;
};

} // namespace velmora::db
