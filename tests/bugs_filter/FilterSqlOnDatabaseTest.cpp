// Filter texts run against a seed database, as a statement's condition and as a row filter on an
// open cursor: dates match whole days, and quoted texts match only themselves.
#include <gtest/gtest.h>

#include <time.h>

#include <set>

#include "FilterTestSupport.h"
#include "engine/db/ConnectionString.h"
#include "engine/db/Database.h"
#include "engine/db/Schema.h"
#include "engine/db/SqlDialect.h"
#include "engine/db/SqlText.h"

namespace velmora::test {
namespace {

using Ids = std::set<LONG>;

DATE TodayAt(int hour, int minute) {
    const time_t now = time(nullptr);
    tm local{};
    localtime_r(&now, &local);
    return OleDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, hour, minute);
}

class FilterSqlOnDatabase : public FilterTest {
  protected:
    void SetUp() override {
        FilterTest::SetUp();
        const std::string path = (dir_ / "team.mdb").string();
        ASSERT_EQ(db::CreateSeedDatabase(path), "");
        connection_.Open(db::MakeConnectionString(path));
        Insert(1, "Open", "app crash on start", "O'Brien", TodayAt(23, 59));
        Insert(2, "Closed", "typo in menu", "Smith", OleDate(2004, 3, 5));
        Insert(3, "Open", "slow start", "Jones", OleDate(2004, 3, 4, 23, 59, 59));
        Insert(4, "Open", "Crash when saving", "Smith", OleDate(2004, 3, 6));
        Insert(6, "Waiting", "it's broken", "O'Brien", OleDate(2004, 3, 5, 12));
        Insert(7, "New", "x' OR '1'='1", "Lee", OleDate(2004, 3, 5, 23, 59, 59));
        connection_.Execute("INSERT INTO tBugReport (BugID) VALUES (5)"); // no date at all
    }

    void Insert(LONG id, const std::string& status, const std::string& description,
                const std::string& reportedBy, DATE reported) {
        connection_.Execute("INSERT INTO tBugReport (BugID, StatusName, Description, ReportedBy, "
                            "ReportedDate) VALUES (" +
                            std::to_string(id) + ", '" + status + "', '" +
                            db::EscapeQuotes(description) + "', '" + db::EscapeQuotes(reportedBy) +
                            "', " + db::FormatReal(reported) + ")");
    }

    static Ids Collect(db::Recordset& rows) {
        Ids ids;
        for (; !rows.IsEOF(); rows.MoveNext())
            ids.insert(rows.GetValue("BugID").asInt());
        return ids;
    }
    // The rows the condition selects; the statement and the row filter must agree.
    Ids Matching(const std::string& condition) {
        db::Recordset selected;
        selected.Open("SELECT * FROM tBugReport WHERE " + condition + " ORDER BY BugID",
                      connection_, db::CursorType::Dynamic, db::LockType::Optimistic);
        const Ids ids = Collect(selected);
        db::Recordset filtered;
        filtered.Open("SELECT * FROM tBugReport ORDER BY BugID", connection_,
                      db::CursorType::Dynamic, db::LockType::Optimistic);
        filtered.SetFilter(condition);
        EXPECT_EQ(Collect(filtered), ids) << condition;
        return ids;
    }
    Ids Matching(const std::string& field, eLogCondition condition, const Variant& value) {
        const auto sql = SqlOf(MakeFilter(field, condition, value));
        EXPECT_TRUE(sql) << field;
        return sql ? Matching(*sql) : Ids{};
    }

    db::Connection connection_;
};

TEST_F(FilterSqlOnDatabase, EveryDateConditionComparesWholeDays) {
    const Variant day = Date(OleDate(2004, 3, 5, 15, 30));
    EXPECT_EQ(Matching("ReportedDate", Equal, day), (Ids{2, 6, 7}));
    EXPECT_EQ(Matching("ReportedDate", NotEqual, day), (Ids{1, 3, 4})); // 5 has no date
    EXPECT_EQ(Matching("ReportedDate", LargerThan, day), (Ids{1, 4}));
    EXPECT_EQ(Matching("ReportedDate", LargerEqual, day), (Ids{1, 2, 4, 6, 7}));
    EXPECT_EQ(Matching("ReportedDate", LessThan, day), (Ids{3}));
    EXPECT_EQ(Matching("ReportedDate", LessEqual, day), (Ids{2, 3, 6, 7}));
}

TEST_F(FilterSqlOnDatabase, EqualTodayFindsABugReportedAtOneMinuteToMidnight) {
    EXPECT_EQ(Matching("ReportedDate", Equal, Date(TodayAt(8, 0))), (Ids{1}));
}

TEST_F(FilterSqlOnDatabase, QuotedAndCraftedTextsMatchOnlyThemselves) {
    EXPECT_EQ(Matching("ReportedBy", Equal, Text("O'Brien")), (Ids{1, 6}));
    EXPECT_EQ(Matching("Description", Equal, Text("x' OR '1'='1")), (Ids{7}));
    EXPECT_EQ(Matching("Description", Equal, Text("none' OR '1'='1")), Ids{});
    EXPECT_EQ(Matching("Description", Like, Text("%' OR BugID > '0")), Ids{});
    EXPECT_EQ(Matching("StatusName", Equal, Text("x'); DELETE FROM tBugReport; SELECT ('")), Ids{});
    EXPECT_EQ(Matching("BugID", LargerThan, Int32(0)).size(), 7u); // nothing was deleted
    EXPECT_EQ(Matching("Description", Like, Text("%CRASH%")), (Ids{1, 4}));
}

TEST_F(FilterSqlOnDatabase, GroupedSetSelectsItsRows) {
    auto set = engine::CreateObject<CBugFilterSet>();
    set->Add(MakeFilter("StatusName", Equal, Text("Open")).Get());
    set->Add(MakeFilter("ReportedBy", Equal, Text("O'Brien"), LogOr).Get());
    set->put_NewGroup(1);
    set->Add(MakeFilter("ReportedDate", LessEqual, Date(OleDate(2004, 3, 5))).Get());
    set->Add(MakeFilter("BugID", LargerEqual, Int32(3)).Get());
    EXPECT_EQ(Matching(*SqlOf(set)), (Ids{3, 6}));
}

} // namespace
} // namespace velmora::test
