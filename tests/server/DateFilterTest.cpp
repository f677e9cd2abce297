// Dates on a server: #m/d/yyyy# literals in a statement's WHERE, in a Filter and in a Find select
// the rows they name, and every date reads back as the Date value that was written, to the last
// bit.
#include "ServerTestSupport.h"

#include <vector>

#include "engine/db/OleDate.h"

namespace velmora::test {
namespace {

double Ole(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return *db::ToOleDate({year, month, day, hour, minute, second});
}

class DateFilters : public ServerTest {
  protected:
    void SetUp() override {
        ServerTest::SetUp();
        if (IsSkipped()) return;
        connection_.Open(ConnectionString());
        db::Recordset rows;
        rows.Open("SELECT * FROM tVersion", connection_, db::CursorType::Keyset,
                  db::LockType::Optimistic);
        for (size_t i = 0; i < dates_.size(); ++i) {
            rows.AddNew();
            rows.SetValue("VersionID", db::Value::Int(static_cast<db::LONG>(i + 1)));
            rows.SetValue("ProductID", db::Value::Int(1));
            rows.SetValue("VersionName", db::Value::Text("v" + std::to_string(i + 1)));
            if (dates_[i] != 0.0) rows.SetValue("ReleaseDate", db::Value::Date(dates_[i]));
            rows.Update();
        }
    }
    void TearDown() override {
        if (connection_.IsOpen()) connection_.Close();
        ServerTest::TearDown();
    }

    static std::string Versions(db::Recordset& rows) {
        std::string names;
        for (rows.MoveFirst(); !rows.IsEOF(); rows.MoveNext())
            names += (names.empty() ? "" : ",") + rows.GetValue("VersionName").asText();
        return names;
    }
    std::string Where(const std::string& condition) {
        db::Recordset rows;
        rows.Open("SELECT * FROM tVersion WHERE " + condition + " ORDER BY VersionID", connection_,
                  db::CursorType::Keyset, db::LockType::Optimistic);
        return Versions(rows);
    }

    // v1 .. v6; v6 has no date.
    const std::vector<double> dates_ = {Ole(2023, 12, 31, 23, 59, 59),
                                        Ole(2024, 1, 15, 13, 31, 7),
                                        Ole(2024, 1, 16),
                                        Ole(2024, 2, 29),
                                        Ole(1899, 12, 30, 6),
                                        0.0};
    db::Connection connection_;
};

TEST_F(DateFilters, LiteralsInAWhereSelectTheRightDays) {
    EXPECT_EQ(Where("ReleaseDate >= #1/15/2024# AND ReleaseDate < #1/16/2024#"), "v2");
    EXPECT_EQ(Where("ReleaseDate = #1/16/2024#"), "v3");
    EXPECT_EQ(Where("ReleaseDate = #2/29/2024#"), "v4");
    EXPECT_EQ(Where("ReleaseDate < #1/1/2024#"), "v1,v5");
    EXPECT_EQ(Where("ReleaseDate > #12/31/2023 11:59:58 PM# AND ReleaseDate < #1/1/2024#"), "v1");
    EXPECT_EQ(Where("ReleaseDate BETWEEN #1/1/2024# AND #12/31/2024#"), "v2,v3,v4");
    EXPECT_EQ(Where("ReleaseDate IS NULL"), "v6");
    // A date literal inside a quoted text is text.
    EXPECT_EQ(Where("VersionName = '#1/16/2024#' OR ReleaseDate = #2/29/2024#"), "v4");
    // A literal that is no date is refused as a fault in the statement.
    try {
        Where("ReleaseDate = #2/30/2024#");
        ADD_FAILURE() << "an impossible date was accepted";
    } catch (const db::DbError& error) {
        EXPECT_EQ(error.Code(), static_cast<int32_t>(0x80040E14));
    }
}

TEST_F(DateFilters, LiteralsInAFilterAndAFindSelectTheRightDays) {
    db::Recordset rows;
    rows.Open("SELECT * FROM tVersion ORDER BY VersionID", connection_, db::CursorType::Keyset,
              db::LockType::Optimistic);
    rows.SetFilter("ReleaseDate >= #1/15/2024# AND ReleaseDate <= #2/29/2024#");
    EXPECT_EQ(rows.RecordCount(), 3);
    EXPECT_EQ(Versions(rows), "v2,v3,v4");
    rows.SetFilter("ReleaseDate < #1/1/1900#");
    EXPECT_EQ(Versions(rows), "v5");
    rows.SetFilter("");
    rows.MoveFirst();
    rows.Find("ReleaseDate > #1/15/2024 1:31 PM#");
    ASSERT_FALSE(rows.IsEOF());
    EXPECT_EQ(rows.GetValue("VersionName").asText(), "v2");
    rows.MoveNext();
    rows.Find("ReleaseDate > #1/15/2024 1:31 PM#");
    ASSERT_FALSE(rows.IsEOF());
    EXPECT_EQ(rows.GetValue("VersionName").asText(), "v3");
}

TEST_F(DateFilters, DatesReadBackAsWritten) {
    db::Recordset rows;
    rows.Open("SELECT * FROM tVersion ORDER BY VersionID", connection_, db::CursorType::Keyset,
              db::LockType::ReadOnly);
    for (const double written : dates_) {
        ASSERT_FALSE(rows.IsEOF());
        const db::Value read = rows.GetValue("ReleaseDate");
        if (written == 0.0) {
            EXPECT_TRUE(read.isNull());
        } else {
            EXPECT_EQ(read.kind(), db::Value::Kind::Date);
            EXPECT_EQ(read.asDouble(), written) << rows.GetValue("VersionName").asText();
        }
        rows.MoveNext();
    }
    // Also what a statement read whole (not a keyed set) gives, and a date written by another
    // client as a number.
    Execute("UPDATE tVersion SET ReleaseDate = 45306.56327546296 WHERE VersionID = 6");
    db::Recordset whole;
    whole.Open("SELECT DISTINCT VersionID, ReleaseDate FROM tVersion WHERE VersionID IN (2, 6) "
               "ORDER BY VersionID",
               connection_, db::CursorType::Static, db::LockType::ReadOnly);
    ASSERT_EQ(whole.RecordCount(), 2);
    EXPECT_EQ(whole.GetValue("ReleaseDate").kind(), db::Value::Kind::Date);
    EXPECT_EQ(whole.GetValue("ReleaseDate").asDouble(), dates_[1]);
    whole.MoveNext();
    EXPECT_EQ(whole.GetValue("ReleaseDate").asDouble(), 45306.56327546296);
}

} // namespace
} // namespace velmora::test
