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

// A condition on the key is a lookup among the visible rows; any search starts at the current
// row, and a walk goes on from the row found.
TEST_F(LargeSetTest, FindByKeyAmongTheVisibleRows) {
    Recordset bugs;
    bugs.Open("SELECT * FROM tBugReport ORDER BY BugID", connectionString_, CursorType::Dynamic,
              LockType::Optimistic);
    bugs.Find("BugID=99999");
    EXPECT_EQ(99999, bugs.AbsolutePosition());
    bugs.Find("BugID = 99999"); // the current row counts
    EXPECT_EQ(99999, bugs.AbsolutePosition());
    bugs.MoveNext();
    EXPECT_EQ(kRows, bugs.GetValue(0).asInt());
    bugs.MovePrevious();
    bugs.MovePrevious();
    EXPECT_EQ(99998, bugs.GetValue(0).asInt());
    bugs.Find("BugType = 1"); // many matches: the first from the current row
    EXPECT_EQ(99999, bugs.GetValue(0).asInt());
    bugs.Find("BugID=12345"); // behind the current row
    EXPECT_TRUE(bugs.IsEOF());
    bugs.MoveFirst();
    bugs.Find("BugID=100001");
    EXPECT_TRUE(bugs.IsEOF());
    bugs.SetFilter("BugType = 1");
    bugs.Find("BugID=5000"); // hidden by the filter
    EXPECT_TRUE(bugs.IsEOF());
    bugs.MoveFirst();
    bugs.Find("BugID=5001");
    EXPECT_EQ(2501, bugs.AbsolutePosition());
    EXPECT_EQ("Bug 5001", bugs.GetValue("Description").asText());
    RawDb other(path_);
    ASSERT_EQ(SQLITE_OK, other.Exec("DELETE FROM tBugReport WHERE BugID = 7001"));
    bugs.Find("BugID=7001"); // deleted since the keys were read
    EXPECT_TRUE(bugs.IsEOF());
    bugs.MoveFirst();
    bugs.Find("BugID >= 7001");
    EXPECT_EQ(7003, bugs.GetValue(0).asInt());
}

TEST_F(LargeSetTest, FindInAnOrderOtherThanTheKeys) {
    Recordset bugs;
    bugs.Open("SELECT BugID, Description FROM tBugReport WHERE ReportedInVersionID = 3 "
              "ORDER BY Description DESC",
              connectionString_, CursorType::Keyset, LockType::ReadOnly);
    RawDb raw(path_);
    const auto positionOf = [&raw](const std::string& description) {
        return 1 + std::stoi(raw.Text("SELECT count(*) FROM tBugReport WHERE "
                                      "ReportedInVersionID = 3 AND Description > '" +
                                      description + "'"));
    };
    bugs.Find("BugID=50003");
    EXPECT_EQ(positionOf("Bug 50003"), bugs.AbsolutePosition());
    bugs.Find("Description LIKE 'Bug 1%'"); // forward in the set's order
    EXPECT_EQ(19993, bugs.GetValue(0).asInt());
    EXPECT_EQ(positionOf("Bug 19993"), bugs.AbsolutePosition());
    bugs.Find("BugID=50003"); // behind
    EXPECT_TRUE(bugs.IsEOF());
    bugs.MoveFirst();
    bugs.Find("BugID=50004"); // not in the set
    EXPECT_TRUE(bugs.IsEOF());
}

// Going back to the first row and finding a row again reads neither page anew, so a change that
// another client made meanwhile is a conflict instead of being overwritten.
TEST_F(LargeSetTest, ARowFoundAgainIsCheckedAgainstTheValuesFirstRead) {
    Recordset bugs;
    bugs.Open("SELECT * FROM tBugReport ORDER BY BugID", connectionString_, CursorType::Dynamic,
              LockType::Optimistic);
    bugs.Find("BugID=54321");
    RawDb other(path_);
    ASSERT_EQ(SQLITE_OK,
              other.Exec("UPDATE tBugReport SET Description = 'theirs' WHERE BugID = 54321"));
    bugs.MoveFirst();
    bugs.Find("BugID=54321");
    bugs.SetValue("Description", Value::Text("mine"));
    EXPECT_THROW(bugs.Update(), DbError);
    bugs.CancelUpdate();
    EXPECT_EQ("theirs", other.Text("SELECT Description FROM tBugReport WHERE BugID = 54321"));
    bugs.Requery();
    bugs.Find("BugID=54321");
    EXPECT_EQ("theirs", bugs.GetValue("Description").asText());
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
