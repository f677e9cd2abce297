// The engine's statements in the server's dialect: names quoted in their letter case, numbered
// placeholders, blob literals and LIKE on numbers. No server is needed for these.
#include "engine/db/server/ServerSql.h"
#include "engine/db/DbError.h"
#include "engine/db/ErrorCodes.h"

#include <gtest/gtest.h>

namespace velmora::db {
namespace {

const NameDictionary kNames = {
    {"tbugreport", "tBugReport"}, {"bugid", "BugID"},       {"read", "Read"},
    {"delete", "Delete"},         {"position", "Position"}, {"productid", "ProductID"}};
const NumberColumns kNumbers = {"bugid", "productid"};

std::string Translated(const std::string& sql, size_t values = 0) {
    return TranslateForServer(sql, kNames, values, true, &kNumbers).text;
}

TEST(ServerSql, KnownNamesKeepTheirCaseKeywordsAndLiteralsStay) {
    EXPECT_EQ(Translated("SELECT * FROM TBUGREPORT WHERE bugid = 5 AND x = 'tbugreport'"),
              "SELECT * FROM \"tBugReport\" WHERE \"BugID\" = 5 AND x = 'tbugreport'");
    // A column spelt like a keyword is a column only where it is quoted.
    EXPECT_EQ(Translated("DELETE FROM tBugReport WHERE \"delete\" = 1 AND \"READ\" = 0"),
              "DELETE FROM \"tBugReport\" WHERE \"Delete\" = 1 AND \"Read\" = 0");
    // A table before "(" stays a table; a function stays a call.
    EXPECT_EQ(Translated("CREATE INDEX ix ON tBugReport (BugID)"),
              "CREATE INDEX ix ON \"tBugReport\" (\"BugID\")");
    EXPECT_EQ(Translated("SELECT position('a' IN 'ba'), Position FROM tBugReport"),
              "SELECT position('a' IN 'ba'), \"Position\" FROM \"tBugReport\"");
}

TEST(ServerSql, PlaceholdersAreNumberedAndCheckedLikeAFileChecksThem) {
    EXPECT_EQ(Translated("SELECT * FROM tBugReport WHERE BugID = ?1 OR BugID = ?2", 2),
              "SELECT * FROM \"tBugReport\" WHERE \"BugID\" = $1 OR \"BugID\" = $2");
    // A statement derived from a longer one uses some of the values, numbered anew.
    const ServerStatement derived =
        TranslateForServer("SELECT 1 WHERE ?3 = ?1", kNames, 3, false, nullptr);
    EXPECT_EQ(derived.text, "SELECT 1 WHERE $1 = $2");
    EXPECT_EQ(derived.parameterOrder, (std::vector<size_t>{2, 0}));
    try {
        Translated("SELECT ?1, ?2", 1);
        FAIL() << "a placeholder without a value was accepted";
    } catch (const DbError& error) {
        EXPECT_EQ(error.Code(), kErrParameter);
    }
    try {
        Translated("SELECT ?1", 2);
        FAIL() << "a value without a placeholder was accepted";
    } catch (const DbError& error) {
        EXPECT_EQ(error.Code(), kErrParameter);
    }
    EXPECT_THROW(Translated(std::string("DELETE FROM t\0 WHERE 1", 23)), DbError);
}

TEST(ServerSql, BlobLiteralsAndLikeOnNumbersReadAsOnAFile) {
    EXPECT_EQ(Translated("SELECT X'0A1b'"), "SELECT '\\x0A1b'::bytea");
    EXPECT_EQ(Translated("SELECT * FROM tBugReport WHERE BugID LIKE 5"),
              "SELECT * FROM \"tBugReport\" WHERE CAST(\"BugID\" AS text) LIKE '5'");
    EXPECT_EQ(Translated("SELECT * FROM tBugReport t WHERE t.ProductID LIKE '1%'"),
              "SELECT * FROM \"tBugReport\" t WHERE CAST(t.\"ProductID\" AS text) LIKE '1%'");
    EXPECT_EQ(Translated("SELECT * FROM tBugReport WHERE Position LIKE 'a%'"),
              "SELECT * FROM \"tBugReport\" WHERE \"Position\" LIKE 'a%'");
}

} // namespace
} // namespace velmora::db
