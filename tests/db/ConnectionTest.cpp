// Opening databases, statements and transactions, nested and shared between connections.
#include "DbTestSupport.h"

#include <filesystem>
#include <fstream>

namespace velmora::db::test {
namespace {

using ConnectionTest = SampleDatabase;

LONG CountRows(Connection& connection, const std::string& sql) {
    Recordset rows;
    rows.Open(sql, connection, CursorType::Static, LockType::ReadOnly);
    return rows.RecordCount();
}

TEST_F(ConnectionTest, PathMayContainSemicolons) {
    const auto odd = dir_.Path() / "a;b=c;Persist Security Info=x";
    std::filesystem::create_directories(odd);
    const std::string path = (odd / "db;1.mdb").string();
    std::filesystem::copy_file(path_, path);
    Connection connection;
    connection.Open(ConnectionStringFor(path));
    EXPECT_TRUE(connection.IsOpen());
    EXPECT_EQ(4, CountRows(connection, "SELECT * FROM tProduct"));
}

TEST_F(ConnectionTest, MissingOrJunkFileIsRefusedAndNothingIsCreated) {
    const std::string missing = (dir_.Path() / "missing.mdb").string();
    Connection connection;
    try {
        connection.Open(ConnectionStringFor(missing));
        FAIL() << "opened a missing file";
    } catch (const DbError& error) {
        EXPECT_EQ(static_cast<int32_t>(0x80004005), error.Code());
        EXPECT_NE(std::string::npos, error.Description().find("missing.mdb"));
        EXPECT_EQ("Velmora.SQLite", error.Source());
    }
    EXPECT_FALSE(connection.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_THROW(connection.Open("Provider=x;Persist Security Info=False"), DbError);

    const std::string junk = (dir_.Path() / "junk.mdb").string();
    std::ofstream(junk) << "this is not a database file, just some text that is long enough";
    EXPECT_THROW(connection.Open(ConnectionStringFor(junk)), DbError);
}

TEST_F(ConnectionTest, SecondStatementIsRefusedBeforeAnythingRuns) {
    Connection connection;
    connection.Open(connectionString_);
    try {
        connection.Execute("DELETE FROM tProduct WHERE ProductID = 1; DROP TABLE tItem");
        FAIL() << "ran two statements";
    } catch (const DbError& error) {
        EXPECT_EQ(static_cast<int32_t>(0x80040E14), error.Code());
    }
    Recordset rows;
    EXPECT_THROW(
        rows.Open("SELECT 1; SELECT 2", connection, CursorType::Static, LockType::ReadOnly),
        DbError);
    EXPECT_EQ(4, CountRows(connection, "SELECT * FROM tProduct;"));
    EXPECT_EQ(2, CountRows(connection, "SELECT * FROM tItem -- a comment"));
    EXPECT_THROW(connection.Execute("  -- nothing"), DbError);
}

// SQLite reads a text only up to a NUL byte; the rest of the statement must not be dropped.
TEST_F(ConnectionTest, TextAfterANulByteIsNeverIgnored) {
    Connection connection;
    connection.Open(connectionString_);
    using namespace std::string_literals;
    const std::string withoutCondition = "DELETE FROM tProduct\0 WHERE ProductID = 1"s;
    try {
        connection.Execute(withoutCondition);
        FAIL() << "ran a statement with a NUL byte";
    } catch (const DbError& error) {
        EXPECT_EQ(static_cast<int32_t>(0x80040E14), error.Code());
    }
    Recordset rows;
    EXPECT_THROW(rows.Open("SELECT * FROM tProduct\0; DROP TABLE tItem"s, connection,
                           CursorType::Static, LockType::ReadOnly),
                 DbError);
    EXPECT_EQ(4, CountRows(connection, "SELECT * FROM tProduct"));
    EXPECT_EQ(2, CountRows(connection, "SELECT * FROM tItem"));
}

TEST_F(ConnectionTest, ExecuteTranslatesDatesAndCountsChanges) {
    Connection connection;
    connection.Open(connectionString_);
    EXPECT_EQ(1, connection.Execute("UPDATE tItem SET Stamp = #1/1/2000# WHERE ItemID = 2"));
    RawDb raw(path_);
    EXPECT_EQ("36526.0", raw.Text("SELECT Stamp FROM tItem WHERE ItemID = 2"));
    EXPECT_THROW(connection.Execute("UPDATE nowhere SET a = 1"), DbError);
}

// Commit keeps, rollback undoes, an inner rollback keeps the outer work, and closing rolls
// back what is still open.
TEST_F(ConnectionTest, NestedTransactionsCommitAndRollBack) {
    {
        Connection connection;
        connection.Open(connectionString_);
        connection.BeginTrans();
        connection.Execute("DELETE FROM tProduct WHERE ProductID = 1");
        connection.RollbackTrans();
        EXPECT_EQ(4, CountRows(connection, "SELECT * FROM tProduct"));

        connection.BeginTrans();
        connection.Execute("DELETE FROM tProduct WHERE ProductID = 1");
        connection.BeginTrans();
        EXPECT_EQ(2, connection.TransactionDepth());
        connection.Execute("DELETE FROM tProduct WHERE ProductID = 2");
        connection.RollbackTrans();
        connection.CommitTrans();
        EXPECT_EQ(0, connection.TransactionDepth());
        EXPECT_THROW(connection.CommitTrans(), DbError);
        EXPECT_THROW(connection.RollbackTrans(), DbError);

        connection.BeginTrans();
        connection.Execute("DELETE FROM tProduct");
    }
    RawDb raw(path_);
    EXPECT_EQ("2,3,4", raw.Text("SELECT group_concat(ProductID) FROM tProduct"));
}

TEST_F(ConnectionTest, TransactionObjectRollsBackUnlessCommitted) {
    Connection connection;
    connection.Open(connectionString_);
    {
        Transaction transaction(connection);
        connection.Execute("DELETE FROM tProduct");
    }
    EXPECT_EQ(4, CountRows(connection, "SELECT * FROM tProduct"));
    {
        Transaction transaction(connection);
        connection.Execute("DELETE FROM tProduct WHERE ProductID = 4");
        transaction.Commit();
    }
    EXPECT_EQ(3, CountRows(connection, "SELECT * FROM tProduct"));
}

// Connections of one process share the database: a second connection neither waits on the
// first one's transaction nor escapes it.
TEST_F(ConnectionTest, ConnectionsShareOneTransactionScope) {
    Connection first;
    Connection second;
    first.Open(connectionString_);
    second.Open(connectionString_);
    first.BeginTrans();
    second.Execute("DELETE FROM tProduct WHERE ProductID = 3");
    EXPECT_EQ(3, CountRows(first, "SELECT * FROM tProduct"));
    first.RollbackTrans();
    EXPECT_EQ(4, CountRows(second, "SELECT * FROM tProduct"));
}

// A path that names another file than before (a link moved on) reaches that other file, even
// while a connection to the first one is open.
TEST_F(ConnectionTest, APathReachesTheFileItNamesNow) {
    const std::string other = (dir_.Path() / "other.mdb").string();
    std::filesystem::copy_file(path_, other);
    {
        RawDb raw(other);
        ASSERT_EQ(SQLITE_OK, raw.Exec("DELETE FROM tProduct WHERE ProductID > 1"));
    }
    const std::string link = (dir_.Path() / "current.mdb").string();
    std::filesystem::create_symlink(path_, link);
    Connection first;
    first.Open(ConnectionStringFor(link));
    EXPECT_EQ(4, CountRows(first, "SELECT * FROM tProduct"));

    std::filesystem::remove(link);
    std::filesystem::create_symlink(other, link);
    Connection second;
    second.Open(ConnectionStringFor(link));
    EXPECT_EQ(1, CountRows(second, "SELECT * FROM tProduct"));
    EXPECT_EQ(4, CountRows(first, "SELECT * FROM tProduct"));
}

} // namespace
} // namespace velmora::db::test
