// `velmora summary` on a demo database and on an empty one: products, users, roles and the
// bugs and features of each version by status.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "ToolTestSupport.h"

namespace velmora::test {
namespace {

class Summary : public ToolTest {};

// The number in "<caption> (N):" at the start of a line, or -1.
long CountInLine(const std::string& output, const std::string& caption) {
    std::smatch match;
    if (!std::regex_search(output, match, std::regex("(^|\n)" + caption + " \\((\\d+)\\):")))
        return -1;
    return std::stol(match[2]);
}

TEST_F(Summary, ListsTheTeamAndCountsEveryVersionByStatus) {
    const std::string file = MakeDemo("demo.mdb", "--bugs 60");
    const Outcome outcome = Run("summary '" + file + "'");
    ASSERT_EQ(outcome.status, 0) << outcome.errors;
    const std::string& text = outcome.output;
    // The lines the summary always printed come first, unchanged.
    EXPECT_EQ(
        text.rfind("Database: " + file +
                       "\nLogged in: Admin (user name \"Admin\", user ID "
                       "1)\nStatuses (10): New, Active, In Process, Waiting, Fixed, Verified, "
                       "Postponed, By Design, Cannot Reproduce, Will Not Fix\n",
                   0),
        0u)
        << text;
    EXPECT_EQ(CountInLine(text, "Products"), 3);
    EXPECT_NE(text.find("\n  Harbor Ledger: 4 versions (1.0, 1.1, 2.0, 2.1), 5 classifications\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(CountInLine(text, "Users"), 8);
    EXPECT_NE(text.find("mhart (Maya Hart)"), std::string::npos);
    EXPECT_EQ(CountInLine(text, "Roles"), 10);
    EXPECT_NE(text.find("Tidewater Sync tester"), std::string::npos);
    EXPECT_TRUE(std::regex_search(text, std::regex("\nBeacon Mobile 1\\.2: \\d+ bugs? .*; \\d+ "
                                                   "features?")))
        << text;

    Database db(file);
    EXPECT_EQ(CountInLine(text, "Bugs"),
              db.Count("SELECT count(*) FROM tBugReport WHERE BugType = 0"));
    EXPECT_EQ(CountInLine(text, "Features"),
              db.Count("SELECT count(*) FROM tBugReport WHERE BugType = 1"));
    const long verified = db.Count("SELECT count(*) FROM tBugReport WHERE BugType = 0 AND "
                                   "StatusName = 'Verified'");
    EXPECT_NE(text.find(", Verified " + std::to_string(verified) + ","), std::string::npos);
}

TEST_F(Summary, ShowsOnlyTheProductsInWhichTheUserHoldsARole) {
    const std::string file = MakeDemo("demo.mdb", "--bugs 20");
    const Outcome outcome = Run("summary '" + file + "' jbrennan jbrennan-demo");
    ASSERT_EQ(outcome.status, 0) << outcome.errors;
    EXPECT_NE(outcome.output.find("\nTidewater Sync: jbrennan holds no role in this product\n"),
              std::string::npos)
        << outcome.output;
    EXPECT_NE(outcome.output.find("\nHarbor Ledger 2.1: "), std::string::npos);
    EXPECT_EQ(outcome.output.find("\nTidewater Sync 3."), std::string::npos);
    EXPECT_EQ(outcome.errors, "");

    // A role that may not view bugs shows why instead of counts.
    Execute(file, "UPDATE tRight SET \"Read\" = 0 WHERE RoleID = "
                  "(SELECT RoleID FROM tRole WHERE RoleName = 'Beacon Mobile tester')");
    const Outcome refused = Run("summary '" + file + "' jbrennan jbrennan-demo");
    ASSERT_EQ(refused.status, 0) << refused.errors;
    EXPECT_NE(refused.output.find("\nBeacon Mobile 1.0: the role of jbrennan may not view bugs\n"),
              std::string::npos)
        << refused.output;
    EXPECT_NE(refused.output.find("\nHarbor Ledger 1.0: "), std::string::npos);
}

TEST_F(Summary, DescribesAnEmptyDatabase) {
    const std::string file = dir_.File("empty.mdb");
    ASSERT_EQ(Run("newdb '" + file + "'").status, 0);
    const Outcome outcome = Run("summary '" + file + "'");
    ASSERT_EQ(outcome.status, 0) << outcome.errors;
    EXPECT_NE(
        outcome.output.find("\nProducts (0):\nUsers (1): Admin\nRoles (0):\nBugs (0): New 0,"),
        std::string::npos)
        << outcome.output;
}

TEST_F(Summary, ReportsAFileThatIsNoDatabase) {
    const std::string file = dir_.File("notes.txt");
    std::ofstream(file) << "not a database";
    const Outcome outcome = Run("summary '" + file + "'");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.errors.find("velmora: opening the database failed: "), std::string::npos)
        << outcome.errors;
    EXPECT_EQ(Run("summary").status, 2);
}

} // namespace
} // namespace velmora::test
