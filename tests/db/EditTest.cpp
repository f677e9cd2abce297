// Adding, changing and deleting rows through record sets, and the pessimistic counter pattern.
#include "DbTestSupport.h"

#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora::db::test {
namespace {

class EditTest : public SampleDatabase {
  protected:
    void SetUp() override {
        SampleDatabase::SetUp();
        connection_.Open(connectionString_);
    }
    void MakeCounter(LONG first) {
        connection_.Execute("CREATE TABLE tNextID (NextBugID INTEGER)");
        connection_.Execute("INSERT INTO tNextID VALUES (" + std::to_string(first) + ")");
    }
    Connection connection_;
};

TEST_F(EditTest, AddNewInsertsAndStaysOnTheNewRowAndCancelDiscards) {
    Recordset rows;
    rows.Open("SELECT * FROM tItem", connection_, CursorType::Keyset, LockType::Optimistic);
    rows.MoveNext();
    rows.AddNew();
    rows.SetValue(0, Value::Int(9));
    rows.CancelUpdate();
    EXPECT_EQ(2, rows.AbsolutePosition());
    rows.SetValue("Name", Value::Text("changed"));
    rows.CancelUpdate();
    EXPECT_TRUE(rows.GetValue("Name").isNull());

    rows.AddNew();
    EXPECT_TRUE(rows.IsNewRecord());
    rows.SetValue("ItemID", Value::Int(3));
    rows.SetValue("flag", Value::Bool(false));
    rows.SetValue("Kind", Value::Byte(255));
    rows.SetValue("Stamp", Value::Date(38051.25));
    rows.SetValue("Name", Value::Text("Ünïcode ✓"));
    rows.Update();
    EXPECT_FALSE(rows.IsNewRecord());
    EXPECT_EQ(3, rows.RecordCount());
    EXPECT_EQ(3, rows.AbsolutePosition());
    EXPECT_EQ(Value::Byte(255), rows.GetValue("Kind"));
    EXPECT_TRUE(rows.GetValue("Price").isNull()); // untouched columns read back as stored
    RawDb raw(path_);
    EXPECT_EQ("3|0|255|38051.25|Ünïcode ✓",
              raw.Text("SELECT ItemID||'|'||Flag||'|'||Kind||'|'||Stamp||'|'||Name FROM tItem "
                       "WHERE ItemID = 3"));
    EXPECT_EQ("3", raw.Text("SELECT count(*) FROM tItem"));
}

TEST_F(EditTest, UpdateWritesOnlyTheChangedRow) {
    Recordset rows;
    rows.Open("SELECT ProductName, ProductID FROM tProduct WHERE ProductID >= 2", connection_,
              CursorType::Dynamic, LockType::BatchOptimistic); // written at once too
    rows.SetValue("ProductName", Value::Text("Beta2"));
    rows.SetValue("ProductName", Value::Null());
    rows.Update();
    EXPECT_TRUE(rows.GetValue(0).isNull());
    rows.MoveNext();
    rows.SetValue(0, Value::Text("Gamma2"));
    rows.MoveNext(); // moving off a changed row saves it
    RawDb raw(path_);
    EXPECT_EQ("Alpha,,Gamma2,O'Brien",
              raw.Text("SELECT group_concat(coalesce(ProductName,''), ',') FROM "
                       "(SELECT ProductName FROM tProduct ORDER BY ProductID)"));
}

// A deleted row keeps the position until the next move; the delete, save and move-on loop of
// the engine empties a set.
TEST_F(EditTest, DeleteKeepsThePositionUntilTheNextMove) {
    Recordset rows;
    rows.Open("SELECT * FROM tProduct", connection_, CursorType::Keyset, LockType::Optimistic);
    rows.SetAbsolutePosition(2);
    rows.Delete();
    EXPECT_THROW(rows.GetValue(0), DbError);
    EXPECT_THROW(rows.Delete(), DbError);
    EXPECT_EQ(3, rows.RecordCount());
    rows.MoveNext();
    EXPECT_EQ(3, rows.GetValue(0).asInt());
    RawDb raw(path_);
    EXPECT_EQ("1,3,4", raw.Text("SELECT group_concat(ProductID) FROM tProduct"));

    int deleted = 0;
    for (rows.MoveFirst(); !rows.IsEOF(); ++deleted) {
        rows.Delete();
        rows.Update();
        if (!rows.IsEOF()) rows.MoveNext();
    }
    EXPECT_EQ(3, deleted);
    EXPECT_TRUE(rows.IsBOF());
    EXPECT_EQ(0, rows.RecordCount());
    EXPECT_THROW(rows.Update(), DbError);
}

TEST_F(EditTest, MisuseIsAnErrorNotACrash) {
    Recordset readOnly;
    readOnly.Open("SELECT * FROM tProduct", connection_, CursorType::Static, LockType::ReadOnly);
    EXPECT_THROW(readOnly.SetValue(0, Value::Int(1)), DbError);
    EXPECT_THROW(readOnly.AddNew(), DbError);

    Recordset rows;
    rows.Open("SELECT * FROM tProduct", connection_, CursorType::Keyset, LockType::Optimistic);
    rows.MoveLast();
    rows.MoveNext();
    EXPECT_THROW(rows.SetValue(1, Value::Text("x")), DbError);
    EXPECT_THROW(rows.Delete(), DbError);
    rows.AddNew();
    EXPECT_THROW(rows.SetValue("Nope", Value::Int(1)), DbError);
    rows.SetValue(0, Value::Int(1)); // duplicate key
    EXPECT_THROW(rows.Update(), DbError);
    EXPECT_TRUE(rows.IsNewRecord()); // still pending: the caller can fix or cancel it
    rows.CancelUpdate();
    EXPECT_EQ(4, rows.RecordCount());
}

// Read, increment and write a counter under the pessimistic write lock, the identifier
// allocation pattern: another writer must wait until the set is closed.
TEST_F(EditTest, PessimisticSetHoldsTheWriteLockUntilClosed) {
    MakeCounter(41);
    RawDb other(path_);
    Recordset counter;
    counter.Open("select NextBugID from tNextID", connectionString_, CursorType::Dynamic,
                 LockType::Pessimistic);
    EXPECT_EQ(SQLITE_BUSY, other.Exec("UPDATE tNextID SET NextBugID = 0"));
    const LONG id = counter.GetValue(0).asInt();
    counter.SetValue(0, Value::Int(id + 1));
    counter.Update();
    EXPECT_EQ(SQLITE_BUSY, other.Exec("UPDATE tNextID SET NextBugID = 0"));
    counter.Close();
    EXPECT_EQ(41, id);
    EXPECT_EQ("42", other.Text("SELECT NextBugID FROM tNextID"));
    EXPECT_EQ(SQLITE_OK, other.Exec("UPDATE tNextID SET NextBugID = 50"));
}

LONG AllocateId(const std::string& connectionString) {
    Recordset counter;
    counter.Open("select NextBugID from tNextID", connectionString, CursorType::Dynamic,
                 LockType::Pessimistic);
    const LONG id = counter.GetValue(0).asInt();
    counter.SetValue(0, Value::Int(id + 1));
    counter.Update();
    counter.Close();
    return id;
}

TEST_F(EditTest, CounterAllocationIsAtomicAcrossProcesses) {
    constexpr int kEach = 40;
    MakeCounter(1);
    connection_.Close(); // no database handle may cross fork()
    int channel[2];
    ASSERT_EQ(0, pipe(channel));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(channel[0]);
        try {
            for (int i = 0; i < kEach; ++i) {
                const LONG id = AllocateId(connectionString_);
                if (write(channel[1], &id, sizeof id) != sizeof id) _exit(2);
            }
        } catch (const DbError&) {
            _exit(1);
        }
        _exit(0);
    }
    close(channel[1]);
    std::multiset<LONG> ids;
    for (int i = 0; i < kEach; ++i)
        ids.insert(AllocateId(connectionString_));
    LONG id = 0;
    while (read(channel[0], &id, sizeof id) == sizeof id)
        ids.insert(id);
    close(channel[0]);
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(2u * kEach, ids.size());
    EXPECT_EQ(2u * kEach, std::set<LONG>(ids.begin(), ids.end()).size()); // no id twice
    EXPECT_EQ(1, *ids.begin());
    EXPECT_EQ(2 * kEach, *ids.rbegin());
}

TEST_F(EditTest, PessimisticSetInsideATransactionFollowsIt) {
    MakeCounter(1);
    connection_.BeginTrans();
    {
        Recordset counter;
        counter.Open("select NextBugID from tNextID", connection_, CursorType::Dynamic,
                     LockType::Pessimistic);
        counter.SetValue(0, Value::Int(2));
        counter.Update();
    }
    EXPECT_EQ(1, connection_.TransactionDepth());
    connection_.RollbackTrans();
    RawDb raw(path_);
    EXPECT_EQ("1", raw.Text("SELECT NextBugID FROM tNextID"));
}

} // namespace
} // namespace velmora::db::test
