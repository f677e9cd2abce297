// A keyed set over a large table: opens, counts and positions without reading every row.
#include "DbTestSupport.h"

namespace velmora::db::test {
namespace {

class LargeSetTest : public SampleDatabase {
  protected:
    static constexpr int kRows = 100000;

    void SetUp() override {
        SampleDatabase::SetUp();
        RawDb raw(path_);
        ASSERT_EQ(
            SQLITE_OK,
            raw.Exec("CREATE TABLE tBugReport (BugID INTEGER PRIMARY KEY, BugType BYTE INTEGER,"
                     " Description TEXT COLLATE NOCASE, Report TEXT COLLATE NOCASE,"
                     " ReportedInVersionID INTEGER);"
                     "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                     " WHERE i < 100000)"
                     " INSERT INTO tBugReport SELECT i, i % 2, 'Bug ' || i,"
                     " printf('%.*c', 300, 'x'), i % 10 FROM n;"));
    }
};

TEST_F(LargeSetTest, OpensAndPositionsToTheLastRow) {
    Recordset bugs;
    bugs.Open("SELECT * FROM tBugReport ORDER BY BugID", connectionString_, CursorType::Dynamic,
              LockType::Optimistic);
    EXPECT_EQ(kRows, bugs.RecordCount());
    EXPECT_TRUE(bugs.SupportsPositioning());
    bugs.SetAbsolutePosition(kRows);
    EXPECT_EQ(kRows, bugs.GetValue("BugID").asInt());
    EXPECT_EQ("Bug 100000", bugs.GetValue("Description").asText());
    EXPECT_EQ(300u, bugs.GetValue("Report").asText().size());
    bugs.MovePrevious();
    EXPECT_EQ(kRows - 1, bugs.GetValue(0).asInt());
    bugs.MoveFirst();
    bugs.Find("BugID=54321");
    EXPECT_EQ(54321, bugs.AbsolutePosition());
    bugs.SetValue("Description", Value::Text("changed"));
    bugs.Update();
    bugs.SetFilter("ReportedInVersionID = 5 AND BugType = 1");
    EXPECT_EQ(kRows / 10, bugs.RecordCount());
    bugs.MoveLast();
    EXPECT_EQ(99995, bugs.GetValue(0).asInt());
}

TEST_F(LargeSetTest, DescendingOrderWithLimit) {
    Recordset bugs;
    bugs.SetPageSize(7);
    bugs.Open("SELECT BugID, Description FROM tBugReport WHERE BugType = 0 ORDER BY BugID DESC "
              "LIMIT 20",
              connectionString_, CursorType::Keyset, LockType::ReadOnly);
    EXPECT_EQ(20, bugs.RecordCount());
    bugs.MoveLast();
    EXPECT_EQ(kRows - 38, bugs.GetValue(0).asInt());
    bugs.SetAbsolutePosition(8);
    EXPECT_EQ(kRows - 14, bugs.GetValue(0).asInt());
}

} // namespace
} // namespace velmora::db::test
