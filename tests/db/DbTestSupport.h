#pragma once
// Fresh database files for the data-access tests, made with SQLite directly.
#include "engine/db/Database.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <string>

namespace velmora::db::test {

// A private temporary directory, removed with everything in it.
class TempDir {
  public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velmora-db-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// A raw SQLite handle of its own: plays "another process" in the tests.
class RawDb {
  public:
    explicit RawDb(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK) {
            throw std::runtime_error("cannot open " + path);
        }
    }
    ~RawDb() { sqlite3_close_v2(db_); }
    RawDb(const RawDb&) = delete;
    RawDb& operator=(const RawDb&) = delete;

    // Runs SQL and returns SQLite's result code.
    int Exec(const std::string& sql) {
        return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
    }
    // The first column of the first row as text ("" when NULL or no row).
    std::string Text(const std::string& sql) {
        sqlite3_stmt* statement = nullptr;
        std::string result;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0) != nullptr) {
            result = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        }
        sqlite3_finalize(statement);
        return result;
    }
    sqlite3* get() { return db_; }

  private:
    sqlite3* db_ = nullptr;
};

inline std::string ConnectionStringFor(const std::string& path) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";Persist Security Info=False";
}

// A database with the declared types of the seed database:
//   tProduct(ProductID, ProductName, ProductDesp): rows 1 Alpha, 2 beta, 3 Gamma, 4 O'Brien
//   tItem(ItemID, Flag, Kind, Stamp, Name, Price, Data): row 1 with values, row 2 all NULL
class SampleDatabase : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = (dir_.Path() / "sample.mdb").string();
        RawDb raw(path_);
        ASSERT_EQ(
            SQLITE_OK,
            raw.Exec("CREATE TABLE tProduct (ProductID INTEGER PRIMARY KEY, ProductName TEXT "
                     "COLLATE NOCASE,"
                     " ProductDesp TEXT COLLATE NOCASE);"
                     "INSERT INTO tProduct VALUES "
                     "(1,'Alpha','first'),(2,'beta',NULL),(3,'Gamma','third'),"
                     " (4,'O''Brien','quoted');"
                     "CREATE TABLE tItem (ItemID INTEGER, Flag YESNO INTEGER, Kind BYTE INTEGER,"
                     " Stamp DATE REAL, Name TEXT COLLATE NOCASE, Price REAL, Data BLOB);"
                     "INSERT INTO tItem VALUES (1, 1, 7, 38051.5, 'Widget', 2.5, x'0102');"
                     "INSERT INTO tItem VALUES (2, NULL, NULL, NULL, NULL, NULL, NULL);"));
        connectionString_ = ConnectionStringFor(path_);
    }

    TempDir dir_;
    std::string path_;
    std::string connectionString_;
};

} // namespace velmora::db::test
