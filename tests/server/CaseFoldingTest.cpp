// Text on a server compares as on a file: `=`, LIKE and sorting ignore letter case while the
// stored text keeps it; field names come back as the tables were made, without the hidden key of
// a table that has none of its own.
#include "ServerTestSupport.h"

#include <vector>

#include "engine/db/Schema.h"

namespace velmora::test {
namespace {

class CaseFolding : public ServerTest {
  protected:
    void SetUp() override {
        ServerTest::SetUp();
        if (IsSkipped()) return;
        Execute(kRows);
        connection_.Open(ConnectionString());
    }
    void TearDown() override {
        if (connection_.IsOpen()) connection_.Close();
        ServerTest::TearDown();
    }

    // The names of the rows a statement selects, in their order, as the set reads them.
    std::string Names(const std::string& sql, const std::vector<db::Value>& values = {}) {
        db::Recordset rows;
        rows.Open(sql, values, connection_, db::CursorType::Keyset, db::LockType::ReadOnly);
        return Names(rows);
    }
    static std::string Names(db::Recordset& rows) {
        std::string names;
        for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext())
            names += (names.empty() ? "" : ",") + rows.GetValue("ProductName").asText();
        return names;
    }

    // The names a condition selects, on the server and on a file with the same rows; an error
    // as its text.
    std::string Selected(const std::string& condition) {
        try {
            return Names("SELECT * FROM tProduct WHERE " + condition + " ORDER BY ProductID");
        } catch (const db::DbError& error) {
            return "error " + error.Description();
        }
    }
    std::string SelectedOnAFile(const std::string& condition) {
        const std::string file = (dir_ / "same.mdb").string();
        if (!std::filesystem::exists(file)) {
            EXPECT_EQ(db::CreateSeedDatabase(file), "");
            EXPECT_EQ(TestDataSource::Execute(file, kRows), "");
        }
        try {
            db::Connection connection;
            connection.Open(db::MakeConnectionString(file));
            db::Recordset rows;
            rows.Open("SELECT * FROM tProduct WHERE " + condition + " ORDER BY ProductID",
                      connection, db::CursorType::Keyset, db::LockType::ReadOnly);
            return Names(rows);
        } catch (const db::DbError& error) {
            return "error " + error.Description();
        }
    }

    static constexpr const char* kRows =
        "INSERT INTO tProduct VALUES (1, 'Alpha', 'First One'), (2, 'beta', NULL), "
        "(3, 'GAMMA', 'third'), (4, 'O''Brien', 'quoted')";
    db::Connection connection_;
};

TEST_F(CaseFolding, EqualsAndLikeIgnoreLetterCaseInAWhere) {
    EXPECT_EQ(Names("SELECT * FROM tProduct WHERE ProductName = 'ALPHA'"), "Alpha");
    EXPECT_EQ(Names("SELECT * FROM tProduct WHERE ProductName = 'gamma'"), "GAMMA");
    EXPECT_EQ(Names("SELECT * FROM tProduct WHERE ProductName = ?", {db::Value::Text("BeTa")}),
              "beta");
    EXPECT_EQ(Names("SELECT * FROM tProduct WHERE ProductName LIKE 'g%'"), "GAMMA");
    EXPECT_EQ(Names("SELECT * FROM tProduct WHERE ProductName LIKE '%ET%'"), "beta");
    EXPECT_EQ(Names("SELECT * FROM tProduct WHERE ProductName LIKE ?", {db::Value::Text("o'b%")}),
              "O'Brien");
    EXPECT_EQ(Names("SELECT * FROM tProduct WHERE ProductDesp LIKE 'first%' ORDER BY ProductID"),
              "Alpha");
    EXPECT_EQ(Names("SELECT * FROM tProduct WHERE ProductName <> 'ALPHA' AND ProductName <> "
                    "'o''brien' ORDER BY ProductID"),
              "beta,GAMMA");
    // Sorting ignores case as well; the stored text keeps its own.
    EXPECT_EQ(Names("SELECT * FROM tProduct ORDER BY ProductName"), "Alpha,beta,GAMMA,O'Brien");
    EXPECT_EQ(Names("SELECT * FROM tProduct ORDER BY ProductName DESC"),
              "O'Brien,GAMMA,beta,Alpha");
    // A count over a case-insensitive comparison, read whole (not a keyed set).
    db::Recordset count;
    count.Open("SELECT COUNT(*) FROM tProduct WHERE ProductName IN ('ALPHA', 'Beta')", connection_,
               db::CursorType::Static, db::LockType::ReadOnly);
    EXPECT_EQ(count.GetValue(0).asInt(), 2);
}

TEST_F(CaseFolding, FilterAndFindIgnoreLetterCase) {
    db::Recordset rows;
    rows.Open("SELECT * FROM tProduct ORDER BY ProductID", connection_, db::CursorType::Keyset,
              db::LockType::Optimistic);
    rows.SetFilter("ProductName = 'BETA'");
    EXPECT_EQ(rows.RecordCount(), 1);
    EXPECT_EQ(Names(rows), "beta");
    rows.SetFilter("ProductName LIKE 'a%' OR ProductName LIKE 'G%'");
    EXPECT_EQ(Names(rows), "Alpha,GAMMA");
    rows.SetFilter("ProductDesp = 'QUOTED'");
    EXPECT_EQ(Names(rows), "O'Brien");
    rows.SetFilter("");
    EXPECT_EQ(rows.RecordCount(), 4);

    rows.MoveFirst();
    rows.Find("ProductName = 'gAmMa'");
    ASSERT_FALSE(rows.IsEOF());
    EXPECT_EQ(rows.GetValue("ProductID").asInt(), 3);
    rows.Find("ProductName LIKE 'o''b%'");
    ASSERT_FALSE(rows.IsEOF());
    EXPECT_EQ(rows.GetValue("ProductID").asInt(), 4);
    rows.MoveFirst();
    rows.Find("ProductName = 'delta'");
    EXPECT_TRUE(rows.IsEOF());

    // A row changed through the set is found by its new text in any case.
    rows.MoveFirst();
    rows.SetValue("ProductName", db::Value::Text("Epsilon"));
    rows.Update();
    rows.SetFilter("ProductName = 'EPSILON'");
    EXPECT_EQ(Names(rows), "Epsilon");
}

// Conditions as bug filters and callers write them select the same rows on a file and on a
// server holding the same rows.
TEST_F(CaseFolding, TheSameConditionsSelectTheSameRowsAsOnAFile) {
    for (const std::string condition :
         {"ProductName LIKE 'a%'", "ProductName LIKE '_ETA'", "ProductName LIKE '%A'",
          "ProductName > 'b'", "ProductName BETWEEN 'a' AND 'C'",
          "ProductName IN ('ALPHA', 'gamma')", "'BETA' = ProductName", "ProductDesp IS NULL",
          "ProductName <> 'beta'", "ProductName = 'alpha '", "ProductDesp LIKE '%ONE'",
          "UPPER(ProductName) = 'ALPHA'", "LOWER(ProductName) LIKE 'o''%'",
          "ProductName || 'X' = 'alphax'", "ProductDesp = ProductName"}) {
        SCOPED_TRACE(condition);
        EXPECT_EQ(Selected(condition), SelectedOnAFile(condition));
    }
}

// A bug filter with the Include condition on a number field is written "BugID LIKE 5"; a file
// compares the number as text.
TEST_F(CaseFolding, LikeOnANumberColumnAsOnAFile) {
    for (const std::string condition : {"ProductID LIKE 1", "ProductID LIKE '1%'"}) {
        SCOPED_TRACE(condition);
        EXPECT_EQ(SelectedOnAFile(condition), "Alpha");
        EXPECT_EQ(Selected(condition), "Alpha");
    }
}

// Every table's field names as a file gives them, letter case included, and no hidden key.
TEST_F(CaseFolding, FieldNamesAreTheFilesNames) {
    const std::string file = (dir_ / "names.mdb").string();
    ASSERT_EQ(db::CreateSeedDatabase(file), "");
    db::Connection fileConnection;
    fileConnection.Open(db::MakeConnectionString(file));
    for (const std::string& table : db::TableNames()) {
        SCOPED_TRACE(table);
        db::Recordset onFile, onServer;
        onFile.Open("SELECT * FROM " + table, fileConnection, db::CursorType::Static,
                    db::LockType::ReadOnly);
        onServer.Open("SELECT * FROM " + table, connection_, db::CursorType::Keyset,
                      db::LockType::Optimistic);
        std::vector<std::string> fileNames, serverNames;
        for (db::LONG i = 0; i < onFile.FieldCount(); ++i)
            fileNames.push_back(onFile.FieldName(i));
        for (db::LONG i = 0; i < onServer.FieldCount(); ++i)
            serverNames.push_back(onServer.FieldName(i));
        EXPECT_EQ(serverNames, fileNames);
        EXPECT_FALSE(onServer.HasField("velmora_rowid"));
    }
    // The table of bugs names its columns in the order rows are read by position.
    db::Recordset bugs;
    bugs.Open("SELECT * FROM tBugReport", connection_, db::CursorType::Keyset,
              db::LockType::Optimistic);
    EXPECT_EQ(bugs.FieldName(0), "BugID");
    EXPECT_EQ(bugs.FieldName(bugs.FieldCount() - 1), "DateDue");
    EXPECT_TRUE(bugs.HasField("reportedinversionid"));

    // A table without a key of its own: added rows and SELECT * show only its own columns.
    db::Recordset statuses;
    statuses.Open("SELECT * FROM tStatus", connection_, db::CursorType::Keyset,
                  db::LockType::Optimistic);
    ASSERT_EQ(statuses.FieldCount(), 1);
    EXPECT_EQ(statuses.FieldName(0), "StatusName");
    statuses.AddNew();
    statuses.SetValue(0, db::Value::Text("Reopened"));
    statuses.Update();
    EXPECT_EQ(statuses.FieldCount(), 1);
    statuses.Requery();
    statuses.Find("StatusName = 'REOPENED'");
    ASSERT_FALSE(statuses.IsEOF());
    statuses.Delete();
    EXPECT_EQ(Query("SELECT COUNT(*) FROM tStatus WHERE StatusName = 'reopened'"), "0");
    db::Recordset joined;
    joined.Open("SELECT * FROM tUserRole, tRole", connection_, db::CursorType::Static,
                db::LockType::ReadOnly);
    for (db::LONG i = 0; i < joined.FieldCount(); ++i)
        EXPECT_NE(joined.FieldName(i).find("velmora"), 0u) << joined.FieldName(i);
}

} // namespace
} // namespace velmora::test
