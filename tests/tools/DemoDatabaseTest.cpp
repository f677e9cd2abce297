// `velmora demo` run as a user would: what the database holds, that one seed always gives the
// same content, and that the demo users can log in.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "DemoDate.h"
#include "DemoPlan.h"
#include "DemoTeam.h"
#include "ToolTestSupport.h"

namespace velmora::test {
namespace {

using Table = std::vector<std::vector<std::string>>;

// Every table of the file with all its rows, in a fixed order.
std::vector<std::pair<std::string, Table>> Dump(const std::string& file) {
    Database db(file);
    std::vector<std::pair<std::string, Table>> tables;
    for (const auto& name : db.Rows("SELECT name FROM sqlite_master WHERE type = 'table' "
                                    "ORDER BY name")) {
        const size_t columns = db.Rows("PRAGMA table_info(\"" + name[0] + "\")").size();
        std::string order;
        for (size_t i = 1; i <= columns; ++i)
            order += (i > 1 ? "," : "") + std::to_string(i);
        tables.emplace_back(name[0],
                            db.Rows("SELECT * FROM \"" + name[0] + "\" ORDER BY " + order));
    }
    return tables;
}

// Blobs are compared byte for byte but shown by size only.
std::string Shown(const std::string& cell) {
    return cell.rfind("blob:", 0) == 0 ? "<" + std::to_string(cell.size() - 5) + "-byte blob>"
                                       : cell;
}

// The first cell in which the two tables differ, or an empty text.
std::string FirstDifference(const Table& a, const Table& b) {
    if (a.size() != b.size())
        return std::to_string(a.size()) + " rows against " + std::to_string(b.size());
    for (size_t row = 0; row < a.size(); ++row)
        for (size_t column = 0; column < a[row].size(); ++column)
            if (column >= b[row].size() || a[row][column] != b[row][column])
                return "row " + std::to_string(row) + ", column " + std::to_string(column) + ": " +
                       Shown(a[row][column]) + " against " +
                       (column < b[row].size() ? Shown(b[row][column]) : "nothing");
    return {};
}

class DemoDatabase : public ToolTest {};

TEST_F(DemoDatabase, OneSeedAndSizeAlwaysGiveTheSameContent) {
    const std::string firstFile = MakeDemo("first.mdb", "--bugs 40 --seed 7");
    const std::string secondFile = MakeDemo("second.mdb", "--seed=7 --bugs=40");
    EXPECT_TRUE(ReadFile(firstFile) == ReadFile(secondFile)) << "the files differ byte for byte";
    const auto first = Dump(firstFile);
    const auto second = Dump(secondFile);
    ASSERT_EQ(first.size(), second.size());
    for (size_t t = 0; t < first.size(); ++t) {
        EXPECT_EQ(first[t].first, second[t].first);
        EXPECT_EQ(FirstDifference(first[t].second, second[t].second), "") << first[t].first;
    }
    EXPECT_GT(first.size(), 15u);

    const auto other = Dump(MakeDemo("other.mdb", "--bugs 40 --seed 8"));
    for (size_t t = 0; t < first.size(); ++t) {
        if (first[t].first == "tBugReport") {
            EXPECT_NE(FirstDifference(first[t].second, other[t].second), "");
        } else if (first[t].first == "tUser" || first[t].first == "tProduct") {
            EXPECT_EQ(FirstDifference(first[t].second, other[t].second), "")
                << "the team does not depend on the seed";
        }
    }
}

TEST_F(DemoDatabase, HoldsTheTeamAndTheRequestedNumberOfItems) {
    const std::string file = MakeDemo("demo.mdb", "--bugs 60");
    Database db(file);
    EXPECT_EQ(db.Value("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(db.Count("SELECT count(*) FROM tProduct"), 3);
    EXPECT_EQ(db.Count("SELECT count(*) FROM tVersion"), 11);
    EXPECT_EQ(db.Count("SELECT count(*) FROM tClassification"), 14);
    EXPECT_EQ(db.Count("SELECT count(*) FROM tUser"), 8);
    EXPECT_EQ(db.Count("SELECT count(*) FROM tUserSystemInfo"), 7);
    EXPECT_EQ(db.Count("SELECT count(*) FROM tUser WHERE LoginName <> 'Admin' AND "
                       "(Password IS NULL OR UserSystemInfoID = 0)"),
              0);
    EXPECT_EQ(db.Count("SELECT count(*) FROM tRole"), 10);
    EXPECT_EQ(db.Count("SELECT count(*) FROM tRight"), 10);
    EXPECT_EQ(db.Count("SELECT count(*) FROM tRole WHERE ProductID NOT IN "
                       "(SELECT ProductID FROM tProduct)"),
              1); // the administrator role belongs to no product
    EXPECT_EQ(db.Count("SELECT count(DISTINCT RoleID) FROM tAvailableStatus"), 10);
    // Admin holds a role in every product, so it sees every list.
    EXPECT_EQ(db.Count("SELECT count(DISTINCT tRole.ProductID) FROM tRole, tUserRole "
                       "WHERE tRole.RoleID = tUserRole.RoleID AND tUserRole.UserID = 1 "
                       "AND tRole.ProductID <> 0"),
              3);

    EXPECT_EQ(db.Count("SELECT count(*) FROM tBugReport"), 60);
    EXPECT_GT(db.Count("SELECT count(*) FROM tBugReport WHERE BugType = 1"), 0);
    EXPECT_GT(db.Count("SELECT count(*) FROM tBugReport WHERE BugType = 0"), 30);
    EXPECT_GT(db.Count("SELECT count(*) FROM tAttachment"), 0);
    EXPECT_EQ(db.Count("SELECT count(*) FROM tAttachment WHERE BugID NOT IN "
                       "(SELECT BugID FROM tBugReport)"),
              0);
    EXPECT_EQ(db.Count("SELECT count(*) FROM tAttachment WHERE substr(FileContent, 1, 4) <> "
                       "X'504B0304' OR FileSize <= 0"),
              0); // every attachment is a zip archive of a file that had content
    EXPECT_EQ(db.Count("SELECT count(*) FROM tBugReport WHERE substr(Report, 1, 6) <> '{\\rtf1' "
                       "OR substr(RecreateStep, 1, 6) <> '{\\rtf1' OR Description IS NULL"),
              0);
    EXPECT_EQ(db.Count("SELECT max(BugID) FROM tBugReport"), 60);
    // References are consistent: the classification belongs to the product of the version,
    // and the copied names are those of the referenced rows.
    EXPECT_EQ(db.Count("SELECT count(*) FROM tBugReport b, tVersion v, tClassification c "
                       "WHERE b.ReportedInVersionID = v.VersionID AND b.ClassID = "
                       "c.ClassificationID AND c.ProductID = v.ProductID AND "
                       "b.ReportedInVersion = v.VersionName AND b.Classification = c.ClassName"),
              60);
    EXPECT_EQ(db.Count("SELECT count(*) FROM tBugReport b JOIN tUser u ON b.ReportedByID = "
                       "u.UserID AND b.ReportedBy = u.UserName"),
              60);
}

// The rows follow the plan the tool worked out: the same order, people, dates and files, with
// every date written as planned (the attachment's date travels through the file's
// modification time).
TEST_F(DemoDatabase, RowsFollowThePlanForTheSeed) {
    const std::string file = MakeDemo("plan.mdb", "--bugs 60 --seed 3");
    const auto plan = demo::PlanBugs(60, 3);
    Database db(file);
    const auto bugs = db.Rows("SELECT Description, StatusName, ReportedDate, FixedDate, "
                              "VerifiedDate, LastModifiedDate, DateDue, EstimatedTime, "
                              "FixedByID, VerifiedByID, BugType FROM tBugReport ORDER BY BugID");
    ASSERT_EQ(bugs.size(), plan.size());
    for (size_t i = 0; i < plan.size(); ++i) {
        SCOPED_TRACE("bug " + std::to_string(i + 1));
        EXPECT_EQ(bugs[i][0], plan[i].texts.description);
        EXPECT_EQ(bugs[i][1], plan[i].status);
        const double dates[] = {plan[i].reportedDate,     plan[i].fixedDate, plan[i].verifiedDate,
                                plan[i].lastModifiedDate, plan[i].dateDue,   plan[i].estimatedTime};
        for (size_t d = 0; d < std::size(dates); ++d)
            EXPECT_DOUBLE_EQ(std::stod(bugs[i][2 + d]), dates[d]) << "date column " << d;
        EXPECT_EQ(bugs[i][8] != "0", plan[i].fixedBy != demo::kNobody);
        EXPECT_EQ(bugs[i][9] != "0", plan[i].verifiedBy != demo::kNobody);
        EXPECT_EQ(bugs[i][10], plan[i].feature ? "1" : "0");

        const auto files = db.Rows("SELECT FileName, FileSize, FileDate FROM tAttachment WHERE "
                                   "BugID = " +
                                   std::to_string(i + 1) + " ORDER BY AttachmentID");
        ASSERT_EQ(files.size(), plan[i].attachments.size());
        for (size_t f = 0; f < files.size(); ++f) {
            EXPECT_EQ(files[f][0], plan[i].attachments[f].fileName);
            EXPECT_EQ(files[f][1], std::to_string(plan[i].attachments[f].content.size()));
            EXPECT_NEAR(std::stod(files[f][2]), plan[i].attachments[f].fileDate, 0.5 / 86400);
        }
    }
}

TEST_F(DemoDatabase, DemoUsersLogInWithTheirPasswords) {
    const std::string file = MakeDemo("team.mdb", "--bugs 0");
    const std::string password = std::string("rsilva") + demo::kPasswordSuffix;
    Outcome outcome = Run("summary '" + file + "' rsilva " + password);
    EXPECT_EQ(outcome.status, 0) << outcome.errors;
    EXPECT_NE(outcome.output.find("Logged in: rsilva (user name \"Rafael Silva\", user ID "),
              std::string::npos)
        << outcome.output;
    EXPECT_NE(outcome.output.find("\nBugs (0): New 0, Active 0,"), std::string::npos);

    outcome = Run("summary '" + file + "' rsilva rsilva");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.errors.find("User Name or password is incorrect!"), std::string::npos)
        << outcome.errors;
    EXPECT_EQ(Run("summary '" + file + "' Admin ''").status, 0);
}

} // namespace
} // namespace velmora::test
