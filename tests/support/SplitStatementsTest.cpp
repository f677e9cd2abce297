// Statement boundaries: only a ';' outside quotes and comments ends a statement.
#include <gtest/gtest.h>

#include "TestDataSource.h"

namespace velmora::test {
namespace {

using List = std::vector<std::string>;

TEST(SplitStatements, SplitsAtSemicolonsTrimmingAndDroppingEmptyStatements) {
    EXPECT_EQ(SplitStatements(" BEGIN;INSERT INTO t VALUES (1) ;\n; COMMIT; "),
              (List{"BEGIN", "INSERT INTO t VALUES (1)", "COMMIT"}));
    EXPECT_EQ(SplitStatements(""), List{});
    EXPECT_EQ(SplitStatements(" ; ;"), List{});
}

TEST(SplitStatements, SemicolonsInsideQuotesAndCommentsStay) {
    EXPECT_EQ(SplitStatements("INSERT INTO t VALUES ('a;b', 'it''s;'); SELECT \"odd;name\" FROM t"),
              (List{"INSERT INTO t VALUES ('a;b', 'it''s;')", "SELECT \"odd;name\" FROM t"}));
    EXPECT_EQ(SplitStatements("SELECT 1 -- one; two\n; SELECT /* a; b */ 2"),
              (List{"SELECT 1 -- one; two", "SELECT /* a; b */ 2"}));
}

TEST(SplitStatements, DollarQuotedBodiesStayWholeButPlaceholdersAreNoQuotes) {
    EXPECT_EQ(SplitStatements("CREATE FUNCTION f() RETURNS int AS $$ BEGIN x; y; END $$; SELECT 1"),
              (List{"CREATE FUNCTION f() RETURNS int AS $$ BEGIN x; y; END $$", "SELECT 1"}));
    EXPECT_EQ(SplitStatements("DO $b$ BEGIN x; $$; END $b$; SELECT 2"),
              (List{"DO $b$ BEGIN x; $$; END $b$", "SELECT 2"}));
    EXPECT_EQ(SplitStatements("UPDATE t SET a = $1; UPDATE t SET b = $2"),
              (List{"UPDATE t SET a = $1", "UPDATE t SET b = $2"}));
}

TEST(SplitStatements, AnUnterminatedQuoteRunsToTheEnd) {
    EXPECT_EQ(SplitStatements("SELECT 1; SELECT 'a; b"), (List{"SELECT 1", "SELECT 'a; b"}));
}

} // namespace
} // namespace velmora::test
