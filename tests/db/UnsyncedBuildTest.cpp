// Building a new file without syncs: transactions still commit and roll back, nothing but the
// build's file is affected, a second connection cannot write over the first, and the file is an
// ordinary database once the build is over.
#include "DbTestSupport.h"

#include "engine/db/UnsyncedBuild.h"

#include <filesystem>

namespace velmora::db::test {
namespace {

using UnsyncedBuildTest = SampleDatabase;

std::string ProductNames(Connection& connection) {
    Recordset rows;
    rows.Open("SELECT ProductName FROM tProduct ORDER BY ProductID", connection, CursorType::Static,
              LockType::ReadOnly);
    std::string names;
    for (; !rows.IsEOF(); rows.MoveNext())
        names += rows.GetValue(0).asText() + ";";
    return names;
}

TEST_F(UnsyncedBuildTest, TransactionsCommitAndRollBackWithTheJournalInMemory) {
    const std::string journal = path_ + "-journal";
    {
        UnsyncedBuild build(path_);
        Connection connection;
        connection.Open(connectionString_);
        EXPECT_EQ(1, UnsyncedBuild::OpenConnections());

        connection.BeginTrans();
        connection.Execute("INSERT INTO tProduct VALUES (5, 'Delta', NULL)");
        connection.BeginTrans(); // a savepoint inside
        connection.Execute("UPDATE tProduct SET ProductName = 'changed'");
        EXPECT_FALSE(std::filesystem::exists(journal)) << "the journal is kept in memory";
        connection.RollbackTrans();
        connection.CommitTrans();
        EXPECT_EQ("Alpha;beta;Gamma;O'Brien;Delta;", ProductNames(connection));

        connection.BeginTrans();
        connection.Execute("DELETE FROM tProduct");
        connection.RollbackTrans();
        EXPECT_EQ("Alpha;beta;Gamma;O'Brien;Delta;", ProductNames(connection));
        connection.Close();
        EXPECT_EQ(0, UnsyncedBuild::OpenConnections());
    }
    EXPECT_FALSE(std::filesystem::exists(journal));

    // Afterwards the file is an ordinary, intact rollback-journal database.
    RawDb raw(path_);
    EXPECT_EQ("ok", raw.Text("PRAGMA integrity_check"));
    EXPECT_EQ("delete", raw.Text("PRAGMA journal_mode"));
    EXPECT_EQ("5", raw.Text("SELECT count(*) FROM tProduct"));
    EXPECT_EQ(SQLITE_OK, raw.Exec("INSERT INTO tProduct VALUES (6, 'Epsilon', NULL)"));
}

TEST_F(UnsyncedBuildTest, OtherFilesKeepTheirJournalOnDisk) {
    const std::string other = (dir_.Path() / "other.mdb").string();
    std::filesystem::copy_file(path_, other);
    UnsyncedBuild build(path_);
    Connection connection;
    connection.Open(ConnectionStringFor(other));
    connection.BeginTrans();
    connection.Execute("DELETE FROM tProduct WHERE ProductID = 1");
    EXPECT_TRUE(std::filesystem::exists(other + "-journal"));
    connection.CommitTrans();
    EXPECT_EQ(0, UnsyncedBuild::OpenConnections());
}

TEST_F(UnsyncedBuildTest, ASecondConnectionCannotWriteOverTheFirst) {
    UnsyncedBuild build(path_);
    auto connection = std::make_unique<Connection>();
    connection->Open(connectionString_);
    connection->BeginTrans();
    connection->Execute("INSERT INTO tProduct VALUES (5, 'Delta', NULL)");
    {
        RawDb second(path_); // no busy timeout: fails at once
        EXPECT_EQ(SQLITE_BUSY, second.Exec("INSERT INTO tProduct VALUES (6, 'Epsilon', NULL)"));
        EXPECT_EQ(2, UnsyncedBuild::OpenConnections());
    }
    connection->CommitTrans();
    connection.reset();
    RawDb later(path_);
    EXPECT_EQ(SQLITE_OK, later.Exec("INSERT INTO tProduct VALUES (6, 'Epsilon', NULL)"));
    EXPECT_EQ("6", later.Text("SELECT count(*) FROM tProduct"));
}

TEST_F(UnsyncedBuildTest, OneBuildAtATimeAndOnlyOfAnExistingFile) {
    EXPECT_THROW(UnsyncedBuild((dir_.Path() / "missing.mdb").string()), DbError);
    UnsyncedBuild build(path_);
    EXPECT_THROW(UnsyncedBuild second(path_), DbError);
}

} // namespace
} // namespace velmora::db::test
