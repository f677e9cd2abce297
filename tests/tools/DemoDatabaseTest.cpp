// `velmora demo` run as a user would: what the database holds and that one seed always gives
// the same content.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DemoPlan.h"
#include "DemoTeam.h"
#include "ToolTestSupport.h"

namespace velmora::test {
namespace {

class DemoDatabase : public ToolTest {};

// One seed and size give the same file byte for byte, whatever the order of the options;
// another seed changes the bugs but not the team.
TEST_F(DemoDatabase, OneSeedAndSizeAlwaysGiveTheSameFile) {
    const std::string first = MakeDemo("first.mdb", "--bugs 40 --seed 7");
    EXPECT_TRUE(ReadFile(first) == ReadFile(MakeDemo("second.mdb", "--seed=7 --bugs=40")))
        << "the files differ byte for byte";
    const std::string other = MakeDemo("other.mdb", "--bugs 40 --seed 8");
    for (const char* table : {"tBugReport", "tUser", "tProduct", "tVersion"}) {
        const std::string all = std::string("SELECT * FROM ") + table + " ORDER BY 1";
        EXPECT_EQ(Database(first).Rows(all) == Database(other).Rows(all),
                  std::string(table) != "tBugReport")
            << table;
    }
}

TEST_F(DemoDatabase, HoldsTheRequestedNumberOfConsistentItems) {
    const std::string file = MakeDemo("demo.mdb", "--bugs 60");
    Database db(file);
    EXPECT_EQ(db.Value("PRAGMA integrity_check"), "ok");
    // Every demo user but the administrator has a password and system information.
    EXPECT_EQ(db.Count("SELECT count(*) FROM tUser WHERE LoginName <> 'Admin' AND "
                       "(Password IS NULL OR UserSystemInfoID = 0)"),
              0);
    EXPECT_EQ(db.Count("SELECT count(*) FROM tRole WHERE RoleID NOT IN (SELECT RoleID FROM "
                       "tRight) OR RoleID NOT IN (SELECT RoleID FROM tAvailableStatus)"),
              0);
    // Admin holds a role in every product, so it sees every list.
    EXPECT_EQ(db.Count("SELECT count(DISTINCT tRole.ProductID) FROM tRole, tUserRole "
                       "WHERE tRole.RoleID = tUserRole.RoleID AND tUserRole.UserID = 1 "
                       "AND tRole.ProductID <> 0"),
              db.Count("SELECT count(*) FROM tProduct"));

    EXPECT_EQ(db.Count("SELECT count(*) FROM tBugReport"), 60);
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

} // namespace
} // namespace velmora::test
