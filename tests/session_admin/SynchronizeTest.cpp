// Synchronize: the names copied into tBugReport follow renames, all or nothing.
#include "tests/session_admin/SessionAdminTestSupport.h"

namespace velmora::test {
namespace {

class SynchronizeTest : public SessionAdminTest {
  protected:
    void SetUp() override {
        SessionAdminTest::SetUp();
        // Bug 1 holds stale copies everywhere; bug 2 is already current.
        Execute("INSERT INTO tBugReport (BugID, BugType, ClassID, Classification, ReportedByID,"
                " ReportedBy, ReportedInVersionID, ReportedInVersion, FixedByID, FixedBy,"
                " FixedInVersionID, FixedInVersion, VerifiedByID, VerifiedBy, LastModifiedByID,"
                " LastModifiedBy) VALUES"
                " (1, 0, 1000, 'Old UI', 2, 'Robert', 100, 'one', 2, 'Robert', 101, 'two', 2,"
                " 'Robert', 2, 'Robert'),"
                " (2, 0, 1001, 'Core', 1, 'Admin', 100, 'one', 0, NULL, 0, NULL, 0, NULL, 1,"
                " 'Admin')");
        Execute("UPDATE tUser SET UserName = 'Admin' WHERE UserID = 1");
        Execute("UPDATE tUser SET UserName = 'Bob O''Brien' WHERE UserID = 2");
        Execute("UPDATE tVersion SET VersionName = '1.0 ''beta''' WHERE VersionID = 100");
    }
    std::string Field(const std::string& column, int bug = 1) {
        return Query("SELECT " + column + " FROM tBugReport WHERE BugID = " + std::to_string(bug));
    }
};

TEST_F(SynchronizeTest, RewritesEveryStaleCopyButLastModifiedBy) {
    ASSERT_EQ(Login("Admin", ""), S_OK);
    ASSERT_EQ(session_->Synchronize(), S_OK) << ErrorDescription();
    EXPECT_EQ(Field("ReportedBy"), "Bob O'Brien");
    EXPECT_EQ(Field("FixedBy"), "Bob O'Brien");
    EXPECT_EQ(Field("VerifiedBy"), "Bob O'Brien");
    EXPECT_EQ(Field("LastModifiedBy"), "Robert");
    EXPECT_EQ(Field("ReportedInVersion"), "1.0 'beta'");
    EXPECT_EQ(Field("FixedInVersion"), "2.0");
    EXPECT_EQ(Field("Classification"), "UI");
    EXPECT_EQ(Field("ReportedInVersion", 2), "1.0 'beta'");
    EXPECT_EQ(Field("FixedBy", 2), "NULL");
}

TEST_F(SynchronizeTest, AFailingStepLeavesTheDatabaseAsItWas) {
    ASSERT_EQ(Login("Admin", ""), S_OK);
    FailWrites("tBugReport", "UPDATE OF Classification", "1=1");
    EXPECT_EQ(session_->Synchronize(), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Synchronization Failed!");
    EXPECT_NE(ErrLog().find("[Source]: CExeContext::SynClass"), std::string::npos);
    EXPECT_EQ(Field("ReportedBy"), "Robert");
    EXPECT_EQ(Field("ReportedInVersion"), "one");

    // The session's connection is still usable afterwards.
    AllowWrites("tBugReport");
    ASSERT_EQ(session_->Synchronize(), S_OK) << ErrorDescription();
    EXPECT_EQ(Field("ReportedBy"), "Bob O'Brien");
}

TEST_F(SynchronizeTest, NonAdministratorsNeedEditProduct) {
    ASSERT_EQ(Login("bob", ""), S_OK);
    ASSERT_EQ(session_->SetCurRole(22), S_OK);
    SetRight("EditProduct", false);
    EXPECT_EQ(session_->Synchronize(), E_FAIL);
    EXPECT_EQ(ErrorDescription(),
              "You have no right to synchronize the database, please contact your manager!");
    EXPECT_TRUE(Logged(3, "CExeContext::Synchronize", "Have no permission!"));
    EXPECT_EQ(Field("ReportedBy"), "Robert");

    SetRight("EditProduct", true);
    EXPECT_EQ(session_->Synchronize(), S_OK) << ErrorDescription();
    EXPECT_EQ(Field("ReportedBy"), "Bob O'Brien");
}

} // namespace
} // namespace velmora::test
