// Reading a row's fields by a list of names, and reading rows page by page while other
// connections write.
#include "DbTestSupport.h"

#include <string>
#include <vector>

namespace velmora::db::test {
namespace {

class FieldReadTest : public SampleDatabase {
  protected:
    void SetUp() override {
        SampleDatabase::SetUp();
        connection_.Open(connectionString_);
    }
    Connection connection_;
};

TEST_F(FieldReadTest, ListReadsWhatNamesRead) {
    // Names in another case and order than the columns, every kind of value and NULLs.
    const std::vector<std::string> names = {"data", "PRICE", "Name", "stamp", "Kind", "Flag",
                                            "ItemID"};
    const FieldList fields(names);
    Recordset rows;
    rows.Open("SELECT * FROM tItem", connection_, CursorType::Keyset, LockType::Optimistic);
    int seen = 0;
    for (; !rows.IsEOF(); rows.MoveNext(), ++seen) {
        for (size_t i = 0; i < names.size(); ++i) {
            const Value byList = rows.GetValue(fields, i);
            const Value byName = rows.GetValue(names[i]);
            EXPECT_EQ(byName.kind(), byList.kind()) << names[i];
            EXPECT_TRUE(byName == byList) << names[i];
        }
    }
    EXPECT_EQ(2, seen);
    rows.MoveFirst();
    EXPECT_EQ(Value::Kind::Bool, rows.GetValue(fields, 5).kind());
    EXPECT_EQ(Value::Kind::Byte, rows.GetValue(fields, 4).kind());
    EXPECT_EQ(Value::Kind::Date, rows.GetValue(fields, 3).kind());
    EXPECT_EQ("Widget", rows.GetValue(fields, 2).asText());
    rows.MoveNext();
    EXPECT_TRUE(rows.GetValue(fields, 2).isNull());
}

TEST_F(FieldReadTest, MissingNameFailsAtItsOwnField) {
    const FieldList fields({"ProductID", "NoSuchField"});
    Recordset rows;
    rows.Open("SELECT * FROM tProduct", connection_, CursorType::Keyset, LockType::ReadOnly);
    EXPECT_EQ(1, rows.GetValue(fields, 0).asInt());
    try {
        rows.GetValue(fields, 1);
        ADD_FAILURE() << "a missing field was read";
    } catch (const DbError& error) {
        EXPECT_NE(std::string::npos, error.Description().find("NoSuchField"));
    }
    EXPECT_THROW(rows.GetValue(fields, 2), DbError); // no such entry in the list
    rows.Close();
    EXPECT_THROW(rows.GetValue(fields, 0), DbError); // closed
}

TEST_F(FieldReadTest, PositionsFollowEveryOpenAndList) {
    const FieldList first({"ProductName", "ProductID"});
    const FieldList second({"ProductID"});
    Recordset rows;
    rows.Open("SELECT ProductID, ProductName FROM tProduct", connection_, CursorType::Keyset,
              LockType::ReadOnly);
    EXPECT_EQ("Alpha", rows.GetValue(first, 0).asText());
    EXPECT_EQ(1, rows.GetValue(second, 0).asInt());
    EXPECT_EQ(1, rows.GetValue(first, 1).asInt());
    rows.Close();
    // The same list on a set whose columns stand in another order.
    rows.Open("SELECT ProductName, ProductDesp, ProductID FROM tProduct", connection_,
              CursorType::Keyset, LockType::ReadOnly);
    EXPECT_EQ("Alpha", rows.GetValue(first, 0).asText());
    EXPECT_EQ(1, rows.GetValue(first, 1).asInt());
    EXPECT_EQ(1, rows.GetValue(second, 0).asInt());
    rows.Close();
    // A set the list does not fit fails instead of reading another column.
    rows.Open("SELECT ProductDesp FROM tProduct", connection_, CursorType::Keyset,
              LockType::ReadOnly);
    EXPECT_THROW(rows.GetValue(first, 0), DbError);
    EXPECT_THROW(rows.GetValue("ProductName"), DbError);
}

TEST_F(FieldReadTest, LongTextReadsWholeAndGuardsAnUpdate) {
    const std::string longText(70 * 1024, 'x');
    RawDb raw(path_);
    ASSERT_EQ(SQLITE_OK, raw.Exec("UPDATE tProduct SET ProductDesp = '" + longText +
                                  "' WHERE ProductID = 3"));
    Recordset rows;
    rows.Open("SELECT * FROM tProduct", connection_, CursorType::Keyset, LockType::Optimistic);
    rows.Find("ProductID = 3");
    ASSERT_FALSE(rows.IsEOF());
    EXPECT_EQ(longText, rows.GetValue("ProductDesp").asText());
    EXPECT_EQ(static_cast<LONG>(longText.size()), rows.ActualSize("ProductDesp"));
    rows.SetValue("ProductName", Value::Text("Delta"));
    rows.Update();
    EXPECT_EQ("Delta", raw.Text("SELECT ProductName FROM tProduct WHERE ProductID = 3"));

    // A change to the long text by someone else is noticed at the next update.
    ASSERT_EQ(SQLITE_OK, raw.Exec("UPDATE tProduct SET ProductDesp = '" + longText +
                                  "y' WHERE ProductID = 3"));
    rows.SetValue("ProductName", Value::Text("Epsilon"));
    EXPECT_THROW(rows.Update(), DbError);
    EXPECT_EQ("Delta", raw.Text("SELECT ProductName FROM tProduct WHERE ProductID = 3"));
}

TEST_F(FieldReadTest, PageReadsHoldNoLockAndSeeLaterWrites) {
    RawDb raw(path_);
    ASSERT_EQ(SQLITE_OK, raw.Exec("WITH RECURSIVE n(i) AS (SELECT 5 UNION ALL SELECT i + 1 FROM n "
                                  "WHERE i < 1000) INSERT INTO tProduct SELECT i, 'p' || i, NULL "
                                  "FROM n"));
    Recordset rows;
    rows.SetPageSize(50);
    rows.Open("SELECT * FROM tProduct", connection_, CursorType::Keyset, LockType::ReadOnly);
    for (int i = 0; i < 120; ++i)
        rows.MoveNext(); // three page reads
    EXPECT_EQ(121, rows.GetValue("ProductID").asInt());
    // Between page reads another connection can write, even exclusively.
    ASSERT_EQ(SQLITE_OK, raw.Exec("BEGIN EXCLUSIVE; UPDATE tProduct SET ProductName = 'new' "
                                  "WHERE ProductID >= 150; COMMIT"));
    for (int i = 0; i < 40; ++i)
        rows.MoveNext();
    EXPECT_EQ(161, rows.GetValue("ProductID").asInt());
    EXPECT_EQ("new", rows.GetValue("ProductName").asText());
    ASSERT_EQ(SQLITE_OK, raw.Exec("DELETE FROM tProduct WHERE ProductID BETWEEN 200 AND 220"));
    long walked = 0;
    for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext())
        ++walked;
    EXPECT_EQ(1000 - 21, walked);
    EXPECT_EQ(1000 - 21, rows.RecordCount());
}

} // namespace
} // namespace velmora::db::test
