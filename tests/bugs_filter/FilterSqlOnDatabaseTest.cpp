// Filter texts run against a seed database, as a statement's condition and as a row filter on an
// open cursor: dates match whole days, and quoted texts match only themselves.
#include <gtest/gtest.h>

#include <time.h>

#include <set>

#include "FilterTestSupport.h"
#include "engine/db/ConnectionString.h"
#include "engine/db/Database.h"
#include "engine/db/SqlDialect.h"

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
        connection_.Open(db::MakeConnectionString(database_));
        connection_.Execute(
            "INSERT INTO tBugReport (BugID, StatusName, Description, ReportedBy, ReportedDate) "
            "VALUES (1, 'Open', 'app crash on start', 'O''Brien', NULL), "
            "(2, 'Closed', 'typo in menu', 'Smith', #3/5/2004#), "
            "(3, 'Open', 'slow start', 'Jones', #3/4/2004 23:59:59#), "
            "(4, 'Open', 'Crash when saving', 'Smith', #3/6/2004#), (5, NULL, NULL, NULL, NULL), "
            "(6, 'Waiting', 'it''s broken', 'O''Brien', #3/5/2004 12:00#), "
            "(7, 'New', 'x'' OR ''1''=''1', 'Lee', #3/5/2004 23:59:59#)");
        connection_.Execute("UPDATE tBugReport SET ReportedDate = " +
                            db::FormatReal(TodayAt(23, 59)) + " WHERE BugID = 1");
    }

    static Ids Collect(db::Recordset& rows) {
        Ids ids;
        for (; !rows.IsEOF(); rows.MoveNext())
            ids.insert(rows.GetValue("BugID").asInt());
        return ids;
    }
    // The rows the filter's text selects; the statement and the row filter must agree.
    Ids Matching(const std::string& condition) {
        db::Recordset selected, filtered;
        selected.Open("SELECT * FROM tBugReport WHERE " + condition, connection_,
                      db::CursorType::Dynamic, db::LockType::Optimistic);
        filtered.Open("SELECT * FROM tBugReport", connection_, db::CursorType::Dynamic,
                      db::LockType::Optimistic);
        filtered.SetFilter(condition);
        const Ids ids = Collect(selected);
        EXPECT_EQ(Collect(filtered), ids) << condition;
        return ids;
    }
    Ids Matching(const std::string& field, eLogCondition condition, const Variant& value) {
        return Matching(SqlOf(MakeFilter(field, condition, value)).value_or("no text"));
    }

    db::Connection connection_;
};

// The value's time plays no part. A date holds no wildcards: Like means that day, Not any other.
TEST_F(FilterSqlOnDatabase, EveryDateConditionComparesWholeDays) {
    const auto expect = [&](eLogCondition condition, const std::string& text, const Ids& ids) {
        const auto sql =
            SqlOf(MakeFilter("ReportedDate", condition, Date(OleDate(2004, 3, 5, 15))));
        EXPECT_EQ(sql, text);
        EXPECT_EQ(Matching(sql.value_or("")), ids) << text;
    };
    const std::string day = "(ReportedDate >= #3/5/2004# AND ReportedDate < #3/6/2004#)";
    expect(Equal, day, {2, 6, 7});
    expect(Like, day, {2, 6, 7});
    expect(NotEqual, "NOT " + day, {1, 3, 4}); // 5 has no date
    expect(Not, "NOT " + day, {1, 3, 4});
    expect(LargerThan, "ReportedDate >= #3/6/2004#", {1, 4});
    expect(LargerEqual, "ReportedDate >= #3/5/2004#", {1, 2, 4, 6, 7});
    expect(LessThan, "ReportedDate < #3/5/2004#", {3});
    expect(LessEqual, "ReportedDate < #3/6/2004#", {2, 3, 6, 7});
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
    EXPECT_EQ(Matching("BugID", LargerThan, Variant(0)).size(), 7u); // nothing was deleted
    EXPECT_EQ(Matching("Description", Like, Text("%CRASH%")), (Ids{1, 4}));
}

TEST_F(FilterSqlOnDatabase, GroupedSetSelectsItsRows) {
    auto set = engine::CreateObject<CBugFilterSet>();
    set->Add(MakeFilter("StatusName", Equal, Text("Open")).Get());
    set->Add(MakeFilter("ReportedBy", Equal, Text("O'Brien"), LogOr).Get());
    set->put_NewGroup(1);
    set->Add(MakeFilter("ReportedDate", LessEqual, Date(OleDate(2004, 3, 5))).Get());
    set->Add(MakeFilter("BugID", LargerEqual, Variant(3)).Get());
    EXPECT_EQ(Matching(*SqlOf(set)), (Ids{3, 6}));
}

} // namespace
} // namespace velmora::test
