#include "SessionTestSupport.h"

namespace velmora::test {
namespace {

class CurrentObjects : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        Execute("UPDATE tUser SET UserDescrp = 'keeps the lights on' WHERE UserID = 1");
        Execute("INSERT INTO tRole VALUES (7, 'Tester', 'tests things', 0)");
        Execute("INSERT INTO tRight (RightID, RoleID, \"Read\", EditPriority, ViewStatistic, "
                "AddProduct) VALUES (3, 7, 1, NULL, 1, 0)");
        ASSERT_EQ(Open(), S_OK);
        ASSERT_EQ(Login("Admin", ""), S_OK);
    }
    static LONG Flag(IRight* right, HRESULT (IRight::*getter)(LONG*)) {
        LONG value = -1;
        EXPECT_EQ((right->*getter)(&value), S_OK);
        return value;
    }
};

// Every call hands out a fresh object carrying the current row.
TEST_F(CurrentObjects, CurUserIsAFreshObjectOfTheUserRow) {
    ComPtr<IUser> user, again;
    ASSERT_EQ(session_->get_CurUser(user.Put()), S_OK);
    ASSERT_TRUE(user);
    session_->get_CurUser(again.Put());
    EXPECT_NE(user.Get(), again.Get());
    Bstr text;
    user->get_Description(text.Put());
    EXPECT_EQ(text.Utf8(), "keeps the lights on");
    LONG id = 0;
    user->get_ID(&id);
    EXPECT_EQ(id, 1);
}

// Without a user or role the getters give null (the right: an empty one) with a log line.
TEST_F(CurrentObjects, NoRoleOrUserGivesNullWithALogLine) {
    ComPtr<IRole> role;
    EXPECT_EQ(session_->get_CurRole(role.Put()), S_OK);
    EXPECT_FALSE(role);
    EXPECT_TRUE(Logged(0, "CExeContext::get_CurRole", "Current Role's ID is 0"));
    ComPtr<IRight> right;
    ASSERT_EQ(session_->get_CurRight(right.Put()), S_OK);
    ASSERT_TRUE(right);
    EXPECT_EQ(Flag(right.Get(), &IRight::get_Read), 0);
    EXPECT_EQ(Flag(right.Get(), &IRight::get_ID), 0);
    EXPECT_TRUE(Logged(0, "CExeContext::get_CurRight", "Current Right's ID is 0"));

    ASSERT_EQ(Open(), S_OK); // starts over: nobody logged in
    ComPtr<IUser> user;
    EXPECT_EQ(session_->get_CurUser(user.Put()), S_OK);
    EXPECT_FALSE(user);
    EXPECT_TRUE(Logged(0, "CExeContext::get_CurUser", "Current User's ID is 0"));
}

TEST_F(CurrentObjects, SetCurRoleChoosesTheRoleAndItsRight) {
    ASSERT_EQ(session_->SetCurRole(7), S_OK);
    LONG id = 0;
    session_->get_CurRoleID(&id);
    EXPECT_EQ(id, 7);
    session_->get_CurRightID(&id);
    EXPECT_EQ(id, 3);
    session_->get_ActiveVersionID(&id);
    EXPECT_EQ(id, 0);

    ComPtr<IRole> role;
    ASSERT_EQ(session_->get_CurRole(role.Put()), S_OK);
    Bstr name;
    role->get_Name(name.Put());
    EXPECT_EQ(name.Utf8(), "Tester");

    ComPtr<IRight> right;
    ASSERT_EQ(session_->get_CurRight(right.Put()), S_OK);
    EXPECT_EQ(Flag(right.Get(), &IRight::get_ID), 3);
    EXPECT_EQ(Flag(right.Get(), &IRight::get_Read), 1);
    EXPECT_EQ(Flag(right.Get(), &IRight::get_Statistic), 1) << "read from ViewStatistic";
    EXPECT_EQ(Flag(right.Get(), &IRight::get_EditPriority), 0) << "NULL reads as false";
    EXPECT_EQ(Flag(right.Get(), &IRight::get_AddProduct), 0);
}

// An unknown role, or one without a right row, cannot be chosen; the old one stays.
TEST_F(CurrentObjects, SetCurRoleOfAnUnknownRoleKeepsTheOldOne) {
    Execute("INSERT INTO tRole VALUES (8, 'Idle', NULL, 0)");
    ASSERT_EQ(session_->SetCurRole(7), S_OK);
    for (LONG unknown : {99, 8}) {
        EXPECT_EQ(session_->SetCurRole(unknown), E_FAIL);
        EXPECT_EQ(ErrorDescription(), "Set Current Role Failed");
        EXPECT_TRUE(Logged(0, "CExeContext::SetCurRole",
                           "Role(ID=" + std::to_string(unknown) + ") does not exist!"));
    }
    LONG id = 0;
    session_->get_CurRoleID(&id);
    EXPECT_EQ(id, 7);
}

TEST_F(CurrentObjects, RightRowRemovedMeanwhileReadsAsAnEmptyRight) {
    ASSERT_EQ(session_->SetCurRole(7), S_OK);
    Execute("DELETE FROM tRight");
    ComPtr<IRight> right;
    ASSERT_EQ(session_->get_CurRight(right.Put()), S_OK);
    EXPECT_EQ(Flag(right.Get(), &IRight::get_Read), 0);
}

TEST_F(CurrentObjects, ProviderErrorReportsTheGetterMessage) {
    ASSERT_EQ(session_->SetCurRole(7), S_OK);
    Execute("DROP TABLE tRole");
    ComPtr<IRole> role;
    EXPECT_EQ(session_->get_CurRole(role.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Get current role failded");
    EXPECT_NE(ErrLog().find("[ErrCode]: 2\r\n[Source]: CExeContext::get_CurRole"),
              std::string::npos);
}

} // namespace
} // namespace velmora::test
