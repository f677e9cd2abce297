// Statements with bound values: Execute and record sets of both kinds, and what stays data.
#include "DbTestSupport.h"
#include "engine/db/ErrorCodes.h"

#include <functional>

namespace velmora::db::test {
namespace {

class ParameterTest : public SampleDatabase {
  protected:
    void SetUp() override {
        SampleDatabase::SetUp();
        connection_.Open(connectionString_);
    }

    std::vector<LONG> Ids(Recordset& rows) {
        std::vector<LONG> ids;
        for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext())
            ids.push_back(rows.GetValue(0).asInt());
        return ids;
    }

    int32_t ErrorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const DbError& error) {
            return error.Code();
        }
        return 0;
    }

    Connection connection_;
};

TEST_F(ParameterTest, EachKindIsStoredAsItsOwnValue) {
    EXPECT_EQ(1, connection_.Execute("INSERT INTO tItem VALUES (?, ?, ?, ?, ?, ?, ?)",
                                     {Value::Int(3), Value::Bool(true), Value::Byte(200),
                                      Value::Date(38051.75), Value::Text("Gadget"),
                                      Value::Double(-1.25), Value::Binary({0, 1, 2})}));
    EXPECT_EQ(1, connection_.Execute("INSERT INTO tItem VALUES (?, ?, ?, ?, ?, ?, ?)",
                                     {Value::Int(4), Value::Null(), Value::Null(), Value::Null(),
                                      Value::Null(), Value::Null(), Value::Binary({})}));
    Recordset rows;
    rows.Open("SELECT * FROM tItem WHERE ItemID = ?", {Value::Int(3)}, connection_,
              CursorType::Keyset, LockType::ReadOnly);
    ASSERT_FALSE(rows.IsEOF());
    EXPECT_EQ(Value::Bool(true), rows.GetValue("Flag"));
    EXPECT_EQ(Value::Byte(200), rows.GetValue("Kind"));
    EXPECT_EQ(Value::Date(38051.75), rows.GetValue("Stamp"));
    EXPECT_EQ(Value::Text("Gadget"), rows.GetValue("Name"));
    EXPECT_EQ(Value::Double(-1.25), rows.GetValue("Price"));
    EXPECT_EQ(Value::Binary({0, 1, 2}), rows.GetValue("Data"));
    rows.Close();

    // Null binds NULL: it matches nothing with '=', and is stored as NULL.
    rows.Open("SELECT ItemID FROM tItem WHERE Name = ?", {Value::Null()}, connection_,
              CursorType::Keyset, LockType::ReadOnly);
    EXPECT_TRUE(rows.IsEOF());
    rows.Close();
    RawDb raw(path_);
    EXPECT_EQ("null", raw.Text("SELECT typeof(Name) FROM tItem WHERE ItemID = 4"));
    EXPECT_EQ("blob", raw.Text("SELECT typeof(Data) FROM tItem WHERE ItemID = 4"));
}

TEST_F(ParameterTest, HostileTextStaysData) {
    const std::string hostile = "x' OR 1=1; -- ? \"q\" ?1 [y] #1/1/2000#";
    EXPECT_EQ(1, connection_.Execute("UPDATE tProduct SET ProductDesp = ? WHERE ProductID = ?",
                                     {Value::Text(hostile), Value::Int(2)}));
    for (const char* sql : {"SELECT * FROM tProduct WHERE ProductDesp = ?",
                            "SELECT ProductID, upper(ProductName) FROM tProduct "
                            "WHERE ProductDesp = ?"}) {
        Recordset rows;
        rows.Open(sql, {Value::Text(hostile)}, connection_, CursorType::Keyset, LockType::ReadOnly);
        EXPECT_EQ((std::vector<LONG>{2}), Ids(rows)) << sql;
    }
    // A text in the statement that looks like a placeholder is no placeholder.
    Recordset rows;
    rows.Open("SELECT ProductID FROM tProduct WHERE ProductName <> '?' AND ProductID = ? -- ?",
              {Value::Int(4)}, connection_, CursorType::Keyset, LockType::ReadOnly);
    EXPECT_EQ((std::vector<LONG>{4}), Ids(rows));
    EXPECT_EQ(4, connection_.Execute("UPDATE tProduct SET ProductName = ProductName WHERE "
                                     "ProductName <> ?",
                                     {Value::Text("' OR ''='")}));
}

TEST_F(ParameterTest, KeyedSetKeepsItsValuesForRequeryFindAndFilter) {
    Recordset rows;
    rows.Open("SELECT * FROM tProduct WHERE ProductID >= ? AND ProductName <> ? "
              "ORDER BY ProductID DESC",
              {Value::Int(2), Value::Text("Gamma")}, connection_, CursorType::Keyset,
              LockType::Optimistic);
    EXPECT_EQ((std::vector<LONG>{4, 2}), Ids(rows));
    connection_.Execute("INSERT INTO tProduct VALUES (?, ?, NULL)",
                        {Value::Int(5), Value::Text("Delta")});
    connection_.Execute("INSERT INTO tProduct VALUES (0, 'Zero', NULL)");
    rows.SetFilter("ProductName LIKE '%e%'");
    rows.Requery();
    EXPECT_EQ((std::vector<LONG>{5, 4, 2}), Ids(rows)); // filter kept, 0 still left out
    rows.SetFilter("");
    rows.MoveFirst();
    rows.Find("ProductID = 2");
    ASSERT_FALSE(rows.IsEOF());
    EXPECT_EQ(Value::Text("beta"), rows.GetValue("ProductName"));
    rows.Find("ProductID = 3"); // in the table, not in the set
    EXPECT_TRUE(rows.IsEOF());
    // The set stays updatable.
    rows.MoveFirst();
    rows.SetValue("ProductDesp", Value::Text("changed"));
    rows.Update();
    RawDb raw(path_);
    EXPECT_EQ("changed", raw.Text("SELECT ProductDesp FROM tProduct WHERE ProductID = 5"));
}

TEST_F(ParameterTest, OrderByAnAliasKeepsTheValues) {
    // Ordering by a result alias makes the key read carry the select list as well.
    Recordset rows;
    rows.Open("SELECT ProductID AS K, ProductName FROM tProduct WHERE ProductID < ? "
              "ORDER BY K DESC",
              {Value::Int(4)}, connection_, CursorType::Keyset, LockType::Optimistic);
    EXPECT_EQ((std::vector<LONG>{3, 2, 1}), Ids(rows));
    rows.MoveFirst();
    rows.SetValue("ProductName", Value::Text("Gamma2"));
    rows.Update();
    rows.Requery();
    EXPECT_EQ(3, rows.RecordCount());
    EXPECT_EQ(Value::Text("Gamma2"), rows.GetValue("ProductName"));
    // A computed column with a value of its own.
    Recordset tagged;
    tagged.Open("SELECT ProductID, ProductName || ? AS Tagged FROM tProduct WHERE ProductID = ?",
                {Value::Text("!"), Value::Int(1)}, connection_, CursorType::Keyset,
                LockType::ReadOnly);
    EXPECT_EQ(Value::Text("Alpha!"), tagged.GetValue("Tagged"));
}

TEST_F(ParameterTest, MaterialisedSetKeepsItsValues) {
    Recordset rows;
    rows.Open(
        "SELECT DISTINCT ProductID FROM tProduct WHERE ProductName IN (?, ?) ORDER BY ProductID",
        {Value::Text("alpha"), Value::Text("GAMMA")}, connectionString_, CursorType::Static,
        LockType::ReadOnly);
    EXPECT_EQ((std::vector<LONG>{1, 3}), Ids(rows));
    connection_.Execute("DELETE FROM tProduct WHERE ProductID = ?", {Value::Int(1)});
    rows.Requery();
    EXPECT_EQ((std::vector<LONG>{3}), Ids(rows));
    rows.SetFilter("ProductID > 1");
    EXPECT_EQ(1, rows.RecordCount());
}

TEST_F(ParameterTest, MismatchedCountsAreRefusedBeforeAnythingRuns) {
    EXPECT_EQ(kErrParameter, ErrorOf([&] {
                  connection_.Execute("DELETE FROM tProduct WHERE ProductID = ? OR ProductID = ?",
                                      {Value::Int(1)});
              }));
    EXPECT_EQ(kErrParameter, ErrorOf([&] {
                  connection_.Execute("DELETE FROM tProduct WHERE ProductID = ?",
                                      {Value::Int(1), Value::Int(2)});
              }));
    // A placeholder without any value is no silent NULL either.
    EXPECT_EQ(kErrParameter,
              ErrorOf([&] { connection_.Execute("DELETE FROM tProduct WHERE ProductID <> ?"); }));
    EXPECT_EQ(kErrParameter, ErrorOf([&] {
                  Recordset rows;
                  rows.Open("SELECT * FROM tProduct WHERE ProductID = ?", {}, connection_,
                            CursorType::Keyset, LockType::Pessimistic);
              }));
    EXPECT_EQ(kErrParameter, ErrorOf([&] {
                  Recordset rows;
                  rows.Open("SELECT * FROM tProduct", {Value::Int(1)}, connectionString_,
                            CursorType::Keyset, LockType::Optimistic);
              }));
    // Named placeholders would take their values by another rule than position.
    EXPECT_EQ(kErrParameter, ErrorOf([&] {
                  connection_.Execute("DELETE FROM tProduct WHERE ProductID = :id",
                                      {Value::Int(1)});
              }));
    RawDb raw(path_);
    EXPECT_EQ("4", raw.Text("SELECT count(*) FROM tProduct"));
    // No write lock was left behind by the refused pessimistic set.
    EXPECT_EQ(1, connection_.Execute("DELETE FROM tProduct WHERE ProductID = ?", {Value::Int(4)}));
}

} // namespace
} // namespace velmora::db::test
