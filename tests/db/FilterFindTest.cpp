// Filter and Find over keyed and materialised record sets.
#include "DbTestSupport.h"

namespace velmora::db::test {
namespace {

class FilterFindTest : public SampleDatabase {
  protected:
    void SetUp() override {
        SampleDatabase::SetUp();
        connection_.Open(connectionString_);
        connection_.Execute("CREATE TABLE tEvent (EventID INTEGER, Title TEXT COLLATE NOCASE, "
                            "Happened DATE REAL)");
        connection_.Execute("INSERT INTO tEvent VALUES (1, 'a', 38050.0), (2, 'b', 38051.25), "
                            "(3, 'c', 38052.0), (4, 'd', NULL)");
    }

    std::vector<LONG> Visible(Recordset& rows) {
        std::vector<LONG> ids;
        for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext())
            ids.push_back(rows.GetValue(0).asInt());
        return ids;
    }

    Connection connection_;
};

TEST_F(FilterFindTest, FilterHidesRowsUntilCleared) {
    Recordset rows;
    rows.Open("SELECT * FROM tProduct ORDER BY ProductID DESC", connection_, CursorType::Keyset,
              LockType::Optimistic);
    rows.MoveLast();
    rows.SetFilter("ProductID = 3");
    EXPECT_EQ(1, rows.RecordCount());
    EXPECT_EQ(1, rows.AbsolutePosition());
    rows.SetFilter("ProductName LIKE '%a%' OR (ProductDesp IS NULL)");
    EXPECT_EQ((std::vector<LONG>{3, 2, 1}), Visible(rows)); // order kept
    rows.SetFilter("productname = 'o''BRIEN'");             // texts compare without regard to case
    EXPECT_EQ((std::vector<LONG>{4}), Visible(rows));
    rows.SetFilter("");
    EXPECT_EQ(4, rows.RecordCount());
}

TEST_F(FilterFindTest, DateCriteria) {
    Recordset rows;
    rows.Open("SELECT * FROM tEvent", connection_, CursorType::Dynamic, LockType::Optimistic);
    rows.SetFilter("Happened >= #3/5/2004# AND Happened < #3/6/2004#");
    EXPECT_EQ((std::vector<LONG>{2}), Visible(rows));
    rows.SetFilter("(Happened >= #3/4/2004 0:00:00# AND Title <> 'c') OR Happened IS NULL");
    EXPECT_EQ((std::vector<LONG>{1, 2, 4}), Visible(rows));
}

TEST_F(FilterFindTest, FilterUsesTheSetsColumnNames) {
    Recordset rows;
    rows.Open("SELECT ProductID AS Id, ProductName AS Label FROM tProduct", connection_,
              CursorType::Keyset, LockType::Optimistic);
    rows.SetFilter("Label = 'alpha'");
    EXPECT_EQ((std::vector<LONG>{1}), Visible(rows));
    rows.Close();
    // Ordered by an alias: still a keyed, updatable set.
    rows.Open("SELECT ProductID AS Id, ProductName AS Label FROM tProduct ORDER BY Label DESC",
              connection_, CursorType::Keyset, LockType::Optimistic);
    EXPECT_EQ((std::vector<LONG>{4, 3, 2, 1}), Visible(rows));
    rows.MoveFirst();
    rows.SetValue("label", Value::Text("Omega"));
    rows.Update();
    RawDb raw(path_);
    EXPECT_EQ("Omega", raw.Text("SELECT ProductName FROM tProduct WHERE ProductID = 4"));
}

TEST_F(FilterFindTest, FaultyCriteriaLeaveTheFilterAlone) {
    Recordset rows;
    rows.Open("SELECT * FROM tProduct", connection_, CursorType::Keyset, LockType::Optimistic);
    rows.SetFilter("ProductID < 3");
    EXPECT_THROW(rows.SetFilter("NoSuchColumn = 1"), DbError);
    EXPECT_THROW(rows.SetFilter("1=1); DELETE FROM tProduct; --"), DbError);
    EXPECT_THROW(rows.SetFilter("Happened = #99/99/2004#"), DbError);
    EXPECT_EQ("ProductID < 3", rows.Filter());
    EXPECT_EQ(2, rows.RecordCount());
    RawDb raw(path_);
    EXPECT_EQ("4", raw.Text("SELECT count(*) FROM tProduct"));
}

TEST_F(FilterFindTest, FindSearchesForwardFromTheCurrentRow) {
    Recordset rows;
    rows.Open("SELECT * FROM tProduct ORDER BY ProductID", connection_, CursorType::Dynamic,
              LockType::Optimistic);
    rows.SetAbsolutePosition(2);
    rows.Find("ProductID=2"); // the current row counts
    EXPECT_EQ(2, rows.AbsolutePosition());
    rows.Find("ProductID=1"); // lies behind: not found
    EXPECT_TRUE(rows.IsEOF());
    rows.MoveFirst();
    rows.Find("ProductID=1");
    EXPECT_EQ(1, rows.AbsolutePosition());
    rows.Find("ProductName LIKE 'g%'");
    EXPECT_EQ(3, rows.GetValue(0).asInt());
    EXPECT_THROW(rows.Find("Nonsense ="), DbError);
    rows.SetFilter("ProductID <> 3"); // Find respects the filter
    rows.Find("ProductName = 'Gamma'");
    EXPECT_TRUE(rows.IsEOF());
}

TEST_F(FilterFindTest, MaterialisedSetsFilterTheRowsTheyHold) {
    Recordset rows;
    rows.Open("SELECT DISTINCT e.Title, e.Happened, p.ProductName FROM tEvent e "
              "JOIN tProduct p ON p.ProductID = e.EventID ORDER BY e.EventID",
              connection_, CursorType::Static, LockType::ReadOnly);
    ASSERT_EQ(4, rows.RecordCount());
    rows.SetFilter("Title = 'B' OR ProductName = 'o''brien'"); // NOCASE kept from the columns
    EXPECT_EQ(2, rows.RecordCount());
    EXPECT_EQ("b", rows.GetValue("Title").asText());
    rows.SetFilter("Happened >= #3/5/2004#");
    EXPECT_EQ(2, rows.RecordCount());
    rows.SetFilter("");
    rows.MoveFirst();
    rows.Find("ProductName = 'gamma'");
    EXPECT_EQ(3, rows.AbsolutePosition());
    // Filtering works on the rows already fetched, not on a re-run of the statement.
    connection_.Execute("UPDATE tEvent SET Title = 'zzz'");
    rows.SetFilter("Title = 'a'");
    EXPECT_EQ(1, rows.RecordCount());
    EXPECT_THROW(rows.SetFilter("Missing = 1"), DbError);
}

} // namespace
} // namespace velmora::db::test
