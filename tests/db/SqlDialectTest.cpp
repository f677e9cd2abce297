// Date literals, single-statement texts and the recognition of one-table SELECTs.
#include "engine/db/SqlDialect.h"
#include "engine/db/DbError.h"
#include "engine/db/SelectShape.h"

#include <gtest/gtest.h>

namespace velmora::db {
namespace {

TEST(DateLiteral, MonthComesFirstAndTimeIsTheFraction) {
    const std::pair<const char*, double> cases[] = {
        {"3/5/2004", 38051.0}, // 5 March 2004
        {"12/30/1899", 0.0},
        {"2004-03-05", 38051.0},
        {"3/5/2004 6:00 PM", 38051.75},
        {"3/5/2004 12:00 AM", 38051.0},
        {"6:00", 0.25},
        {"12/29/1899 6:00:00", -1.25}, // before the epoch
        {"2/29/2004", 38046.0},
    };
    for (const auto& [text, date] : cases)
        EXPECT_EQ(date, ParseDateLiteral(text)) << text;
    for (const char* text : {"13/1/2004", "2/30/2004", "2/29/2003", "3/5", "3/5/2004 24:00",
                             "3/5/2004 10:60", "3/5/2004 13:00 PM", "hello", ""})
        EXPECT_FALSE(ParseDateLiteral(text).has_value()) << text;
}

TEST(DateLiteral, TranslatedOutsideLiteralsOnly) {
    EXPECT_EQ(
        "SELECT * FROM t WHERE d >= 38051.0 AND d < 38052.5",
        TranslateDateLiterals("SELECT * FROM t WHERE d >= #3/5/2004# AND d < #3/6/2004 12:00:00#"));
    const std::string untouched =
        "SELECT '#3/5/2004#', [a#1/2/2000#], \"#1/1/2001#\" -- #1/1/2002#\nFROM t";
    EXPECT_EQ(untouched, TranslateDateLiterals(untouched));
    EXPECT_EQ("x = 'it''s #1/1/2000#' OR d = 36526.0",
              TranslateDateLiterals("x = 'it''s #1/1/2000#' OR d = #1/1/2000#"));
    EXPECT_THROW(TranslateDateLiterals("d = #13/13/2004#"), DbError);
}

TEST(SelectShapeTest, OnlyOneTableSelectsAreKeyed) {
    SelectShape shape =
        AnalyseSelect("select b.x, [y] from [my table] as b where x in (select 1 from u) limit 5;");
    EXPECT_TRUE(shape.singleTable);
    EXPECT_EQ("my table", shape.table);
    EXPECT_EQ("b", shape.reference);
    EXPECT_FALSE(shape.hasOrderBy);
    EXPECT_EQ(" [my table] as b where x in (select 1 from u) limit 5", shape.fromRest);
    EXPECT_EQ(shape.fromRest.find("limit"), shape.limitOffset);
    EXPECT_TRUE(AnalyseSelect("SELECT * FROM tBugReport WHERE (a = 1) ORDER BY BugID").hasOrderBy);

    for (const char* sql :
         {"SELECT DISTINCT a FROM t", "SELECT a FROM t, u", "SELECT a FROM t JOIN u ON t.x = u.x",
          "SELECT a FROM t LEFT JOIN u USING (x)", "SELECT a, count(*) FROM t GROUP BY a",
          "SELECT a FROM t UNION SELECT a FROM u", "SELECT a FROM (SELECT a FROM t)", "SELECT 1",
          "UPDATE t SET a = 1", "WITH c AS (SELECT 1) SELECT * FROM c"}) {
        EXPECT_FALSE(AnalyseSelect(sql).singleTable) << sql;
    }
}

} // namespace
} // namespace velmora::db
