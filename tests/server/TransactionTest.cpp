// A statement the server refuses inside a transaction fails on its own, as on a file: the
// transaction stays usable and keeps its earlier work; nested levels undo only their own work.
#include "ServerTestSupport.h"

namespace velmora::test {
namespace {

constexpr int32_t kCommandError = static_cast<int32_t>(0x80040E14);
constexpr int32_t kFailure = static_cast<int32_t>(0x80004005);

class TransactionAfterFailure : public ServerTest {
  protected:
    void SetUp() override {
        ServerTest::SetUp();
        if (IsSkipped()) return;
        connection_.Open(ConnectionString());
    }
    void TearDown() override {
        if (connection_.IsOpen()) connection_.Close();
        ServerTest::TearDown();
    }

    // Runs a statement that must fail, and returns its error code (0 when it did not fail).
    int32_t Refused(const std::string& sql) {
        try {
            connection_.Execute(sql);
        } catch (const db::DbError& error) {
            EXPECT_EQ(error.Source(), "Velmora.SQLite");
            EXPECT_FALSE(error.Description().empty());
            return error.Code();
        }
        return 0;
    }
    std::string Products() { return QueryList("SELECT ProductName FROM tProduct ORDER BY 1"); }

    db::Connection connection_;
};

TEST_F(TransactionAfterFailure, AnUnknownColumnLeavesTheTransactionUsable) {
    connection_.BeginTrans();
    connection_.Execute("INSERT INTO tProduct VALUES (1, 'before', NULL)");
    EXPECT_EQ(Refused("UPDATE tProduct SET NoSuchColumn = 1"), kCommandError);
    EXPECT_EQ(Refused("INSERT INTO tNoSuchTable VALUES (1)"), kCommandError);
    // A query that fails is no different.
    db::Recordset broken;
    EXPECT_THROW(broken.Open("SELECT NoSuchColumn FROM tProduct", connection_,
                             db::CursorType::Static, db::LockType::ReadOnly),
                 db::DbError);
    EXPECT_EQ(connection_.TransactionDepth(), 1);
    EXPECT_EQ(connection_.Execute("INSERT INTO tProduct VALUES (2, 'after', NULL)"), 1);
    db::Recordset rows;
    rows.Open("SELECT * FROM tProduct ORDER BY ProductID", connection_, db::CursorType::Keyset,
              db::LockType::Optimistic);
    EXPECT_EQ(rows.RecordCount(), 2);
    connection_.CommitTrans();
    EXPECT_EQ(Products(), "after,before");
}

TEST_F(TransactionAfterFailure, AViolatedConstraintLeavesTheTransactionUsable) {
    connection_.BeginTrans();
    connection_.Execute("INSERT INTO tProduct VALUES (1, 'first', NULL)");
    EXPECT_EQ(Refused("INSERT INTO tProduct VALUES (1, 'same key', NULL)"), kFailure);
    // The same through a keyed set: its refused row is not kept, the set goes on.
    db::Recordset rows;
    rows.Open("SELECT * FROM tProduct", connection_, db::CursorType::Keyset,
              db::LockType::Optimistic);
    rows.AddNew();
    rows.SetValue("ProductID", db::Value::Int(1));
    rows.SetValue("ProductName", db::Value::Text("same key again"));
    EXPECT_THROW(rows.Update(), db::DbError);
    rows.CancelUpdate();
    rows.AddNew();
    rows.SetValue("ProductID", db::Value::Int(2));
    rows.SetValue("ProductName", db::Value::Text("second"));
    rows.Update();
    rows.Close();
    connection_.Execute("UPDATE tProduct SET ProductDesp = 'kept' WHERE ProductID = 1");
    connection_.CommitTrans();
    EXPECT_EQ(Products(), "first,second");
    EXPECT_EQ(Query("SELECT ProductDesp FROM tProduct WHERE ProductID = 1"), "kept");
    // Nothing is left open: another client's write goes through at once.
    Child other([uri = OtherClientConnection("after_commit")] {
        db::Connection connection;
        connection.Open(uri);
        return std::to_string(connection.Execute("DELETE FROM tProduct WHERE ProductID = 2"));
    });
    EXPECT_EQ(other.Outcome(), "1");
}

TEST_F(TransactionAfterFailure, RollingBackAnInnerLevelUndoesOnlyItsWork) {
    connection_.BeginTrans();
    connection_.Execute("INSERT INTO tProduct VALUES (1, 'outer', NULL)");
    connection_.BeginTrans();
    EXPECT_EQ(connection_.TransactionDepth(), 2);
    connection_.Execute("INSERT INTO tProduct VALUES (2, 'inner', NULL)");
    connection_.Execute("UPDATE tProduct SET ProductDesp = 'inner' WHERE ProductID = 1");
    EXPECT_EQ(Refused("INSERT INTO tProduct VALUES (2, 'inner again', NULL)"), kFailure);
    connection_.RollbackTrans();
    EXPECT_EQ(connection_.TransactionDepth(), 1);
    connection_.Execute("INSERT INTO tProduct VALUES (3, 'outer again', NULL)");

    // A committed inner level stays part of the outer one.
    connection_.BeginTrans();
    connection_.Execute("INSERT INTO tProduct VALUES (4, 'inner kept', NULL)");
    connection_.CommitTrans();
    EXPECT_EQ(Refused("UPDATE tProduct SET NoSuchColumn = 1"), kCommandError);
    connection_.CommitTrans();
    EXPECT_EQ(connection_.TransactionDepth(), 0);
    EXPECT_EQ(Products(), "inner kept,outer,outer again");
    EXPECT_EQ(Query("SELECT ProductDesp FROM tProduct WHERE ProductID = 1"), "NULL");

    // Rolling back the outermost level undoes everything, inner work committed or not.
    connection_.BeginTrans();
    connection_.Execute("DELETE FROM tProduct");
    connection_.BeginTrans();
    connection_.Execute("INSERT INTO tProduct VALUES (9, 'gone', NULL)");
    connection_.CommitTrans();
    connection_.RollbackTrans();
    EXPECT_EQ(Products(), "inner kept,outer,outer again");
}

} // namespace
} // namespace velmora::test
