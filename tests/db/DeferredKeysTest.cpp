// A keyed set larger than one page reads the keys beyond its first page only when something needs
// them. Every case runs with a page smaller than the table (keys left unread at open) and with a
// page that holds it all (keys read at open): both must behave alike.
#include "DbTestSupport.h"

namespace velmora::db::test {
namespace {

class DeferredKeysTest : public SampleDatabase, public ::testing::WithParamInterface<LONG> {
  protected:
    void SetUp() override {
        SampleDatabase::SetUp();
        connection_.Open(connectionString_);
    }

    void Open(Recordset& rows, const std::string& sql = "SELECT * FROM tProduct") {
        rows.SetPageSize(GetParam());
        rows.Open(sql, connection_, CursorType::Keyset, LockType::Optimistic);
    }

    static void Add(Recordset& rows, LONG id, const std::string& name) {
        rows.AddNew();
        rows.SetValue(0, Value::Int(id));
        rows.SetValue(1, Value::Text(name));
        rows.Update();
    }

    static std::vector<LONG> Walk(Recordset& rows) {
        std::vector<LONG> ids;
        for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext())
            ids.push_back(rows.GetValue(0).asInt());
        return ids;
    }

    Connection connection_;
};

TEST_P(DeferredKeysTest, SetUsedOnlyToAddRows) {
    {
        Recordset rows;
        Open(rows);
        EXPECT_FALSE(rows.IsEOF());
        EXPECT_FALSE(rows.IsBOF());
        EXPECT_EQ(1, rows.GetValue(0).asInt()); // the first row is current at open
        Add(rows, 10, "ten");
        Add(rows, 11, "eleven");
        EXPECT_EQ("eleven", rows.GetValue(1).asText());
        rows.AddNew();
        rows.CancelUpdate();
        EXPECT_EQ(11, rows.GetValue(0).asInt());
        // The new row is current: changing it needs no other key.
        rows.SetValue(1, Value::Text("ELEVEN"));
        rows.Update();
        rows.Close();
    }
    RawDb raw(path_);
    EXPECT_EQ("1,2,3,4,10,11", raw.Text("SELECT group_concat(ProductID) FROM tProduct"));
    EXPECT_EQ("ELEVEN", raw.Text("SELECT ProductName FROM tProduct WHERE ProductID = 11"));
}

// Positions, counts and order after adding are those of a set that read all keys at open: the
// statement's rows in its order, then the added rows.
TEST_P(DeferredKeysTest, PositionsAndCountsAfterAdding) {
    Recordset rows;
    Open(rows, "SELECT * FROM tProduct ORDER BY ProductID DESC");
    Add(rows, 10, "ten");
    EXPECT_EQ(5, rows.AbsolutePosition());
    EXPECT_EQ(5, rows.RecordCount());
    rows.MovePrevious();
    EXPECT_EQ(1, rows.GetValue(0).asInt());
    EXPECT_EQ(4, rows.AbsolutePosition());
    EXPECT_EQ((std::vector<LONG>{4, 3, 2, 1, 10}), Walk(rows));

    Recordset other;
    Open(other);
    Add(other, 20, "twenty");
    rows.Requery(); // a requery reads every key in the statement's order
    EXPECT_EQ((std::vector<LONG>{20, 10, 4, 3, 2, 1}), Walk(rows));

    // Adding, then moving from a cancelled addition.
    Recordset third;
    Open(third);
    Add(third, 30, "thirty");
    third.AddNew();
    third.CancelUpdate();
    third.MoveNext();
    EXPECT_TRUE(third.IsEOF());
    third.MoveLast();
    EXPECT_EQ(7, third.AbsolutePosition());
    EXPECT_EQ(30, third.GetValue(0).asInt());
}

// Rows added by others after the set opened stay out of it until a requery, whether they come
// through this process's connections or from another process.
TEST_P(DeferredKeysTest, RowsAddedByOthersBeforeTheFirstMove) {
    Recordset rows;
    Open(rows);
    Add(rows, 10, "ten");
    Connection second;
    second.Open(connectionString_);
    EXPECT_EQ(1, second.Execute("INSERT INTO tProduct VALUES (5, 'five', NULL)"));
    RawDb other(path_);
    ASSERT_EQ(SQLITE_OK, other.Exec("INSERT INTO tProduct VALUES (6, 'six', NULL)"));
    EXPECT_EQ(5, rows.RecordCount());
    EXPECT_EQ((std::vector<LONG>{1, 2, 3, 4, 10}), Walk(rows));
    rows.Requery();
    EXPECT_EQ((std::vector<LONG>{1, 2, 3, 4, 5, 6, 10}), Walk(rows));
}

TEST_P(DeferredKeysTest, SearchesAndFiltersSeeEveryKey) {
    Recordset rows;
    Open(rows);
    Add(rows, 10, "ten");
    rows.MoveFirst();
    rows.Find("ProductName = 'O''Brien'");
    EXPECT_EQ(4, rows.AbsolutePosition());

    Recordset filtered;
    Open(filtered);
    Add(filtered, 11, "eleven");
    filtered.SetFilter("ProductID > 2");
    EXPECT_EQ((std::vector<LONG>{3, 4, 10, 11}), Walk(filtered));

    Recordset deleting;
    Open(deleting);
    Add(deleting, 12, "twelve");
    deleting.Delete();
    deleting.MoveFirst();
    EXPECT_EQ(6, deleting.RecordCount());
    deleting.SetAbsolutePosition(6);
    EXPECT_EQ(11, deleting.GetValue(0).asInt());
}

INSTANTIATE_TEST_SUITE_P(PageSizes, DeferredKeysTest, ::testing::Values(2, 3, 100));

} // namespace
} // namespace velmora::db::test
