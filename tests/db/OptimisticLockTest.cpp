// Optimistic locking: a row changed or removed by another writer since it was read is never
// overwritten.
#include "DbTestSupport.h"

#include <functional>

namespace velmora::db::test {
namespace {

class OptimisticLockTest : public SampleDatabase {
  protected:
    void SetUp() override {
        SampleDatabase::SetUp();
        connection_.Open(connectionString_);
        rows_.Open("SELECT * FROM tProduct WHERE ProductID = 2", connection_, CursorType::Keyset,
                   LockType::Optimistic);
    }

    void ExpectConflict(const std::function<void()>& change) {
        try {
            change();
            FAIL() << "the change went through";
        } catch (const DbError& error) {
            EXPECT_EQ(static_cast<int32_t>(0x80040E38), error.Code());
            EXPECT_NE(std::string::npos, error.Description().find("Row cannot be located"));
        }
    }

    std::string Stored(const std::string& column) {
        RawDb raw(path_);
        return raw.Text("SELECT coalesce(" + column +
                        ", '<null>') FROM tProduct WHERE ProductID = 2");
    }

    Connection connection_;
    Recordset rows_;
};

TEST_F(OptimisticLockTest, SecondConnectionOfTheProcessLoses) {
    Connection otherConnection;
    otherConnection.Open(connectionString_);
    Recordset other;
    other.Open("SELECT * FROM tProduct WHERE ProductID = 2", otherConnection, CursorType::Keyset,
               LockType::Optimistic);
    other.SetValue("ProductName", Value::Text("first"));
    other.Update();
    rows_.SetValue("ProductName", Value::Text("second"));
    ExpectConflict([&] { rows_.Update(); });
    EXPECT_EQ("first", Stored("ProductName"));
    // After reading the row again the change goes through.
    rows_.CancelUpdate();
    rows_.Requery();
    rows_.SetValue("ProductName", Value::Text("second"));
    rows_.Update();
    EXPECT_EQ("second", Stored("ProductName"));
}

TEST_F(OptimisticLockTest, ChangeByAnotherProcessIsDetected) {
    RawDb other(path_);
    // Also a change of an unrelated column, from NULL, and a change of case only.
    ASSERT_EQ(SQLITE_OK, other.Exec("UPDATE tProduct SET ProductDesp = 'x' WHERE ProductID = 2"));
    rows_.SetValue("ProductName", Value::Text("mine"));
    ExpectConflict([&] { rows_.Update(); });
    EXPECT_EQ("beta", Stored("ProductName"));

    rows_.CancelUpdate();
    rows_.Requery();
    ASSERT_EQ(SQLITE_OK,
              other.Exec("UPDATE tProduct SET ProductName = 'BETA' WHERE ProductID = 2"));
    rows_.SetValue("ProductDesp", Value::Text("mine"));
    ExpectConflict([&] { rows_.Update(); });
    EXPECT_EQ("x", Stored("ProductDesp"));

    // Writing the value a row already holds is no change: the update goes through.
    rows_.CancelUpdate();
    rows_.Requery();
    ASSERT_EQ(SQLITE_OK,
              other.Exec("UPDATE tProduct SET ProductName = 'BETA' WHERE ProductID = 2"));
    rows_.SetValue("ProductDesp", Value::Text("mine"));
    rows_.Update();
    EXPECT_EQ("mine", Stored("ProductDesp"));
}

TEST_F(OptimisticLockTest, DeleteOfAChangedOrRemovedRowIsRefused) {
    RawDb other(path_);
    ASSERT_EQ(SQLITE_OK,
              other.Exec("UPDATE tProduct SET ProductName = 'theirs' WHERE ProductID = 2"));
    ExpectConflict([&] { rows_.Delete(); });
    EXPECT_EQ("theirs", Stored("ProductName"));
    EXPECT_EQ(1, rows_.RecordCount());

    ASSERT_EQ(SQLITE_OK, other.Exec("DELETE FROM tProduct WHERE ProductID = 2"));
    rows_.SetValue("ProductName", Value::Text("mine"));
    ExpectConflict([&] { rows_.Update(); });
    rows_.CancelUpdate();
    ExpectConflict([&] { rows_.Delete(); });
    EXPECT_EQ("", Stored("ProductName"));
}

// Long texts are not kept in memory with their page; a change is still noticed, even one that
// keeps the length.
TEST_F(OptimisticLockTest, ChangedLongTextIsDetected) {
    std::string text(100000, 'a');
    RawDb other(path_);
    ASSERT_EQ(SQLITE_OK, other.Exec("UPDATE tProduct SET ProductDesp = '" + text + "'"));
    rows_.Requery();
    EXPECT_EQ(text, rows_.GetValue("ProductDesp").asText());
    EXPECT_EQ(100000, rows_.ActualSize("productdesp"));
    text[5000] = 'b';
    ASSERT_EQ(SQLITE_OK, other.Exec("UPDATE tProduct SET ProductDesp = '" + text + "'"));
    rows_.SetValue("ProductName", Value::Text("mine"));
    ExpectConflict([&] { rows_.Update(); });
    rows_.CancelUpdate();
    rows_.Requery();
    rows_.SetValue("ProductName", Value::Text("mine"));
    rows_.Update();
    EXPECT_EQ("mine", Stored("ProductName"));
}

} // namespace
} // namespace velmora::db::test
