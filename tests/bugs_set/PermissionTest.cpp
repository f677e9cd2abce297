// The permission check: a role's right read from tRight, the refusal texts and log lines of the
// guarded bug operations, and why a right could not be read.
#include "tests/bugs_set/BugSetTestSupport.h"

#include "engine/admin/Permission.h"
#include "engine/admin/Role.h"

namespace velmora::test {
namespace {

using engine::CRight;
using engine::RightFlag;

class PermissionTest : public BugSetTest {
  protected:
    ComPtr<IRight> RightOfRole(LONG roleID, HRESULT expected = S_OK) {
        auto role = engine::CreateObject<engine::CRole>();
        role->SetID(roleID);
        ComPtr<IRight> right;
        EXPECT_EQ(role->get_Right(right.Put()), expected);
        return right;
    }
    static LONG Flag(IRight* right, HRESULT (STDMETHODCALLTYPE IRight::*getter)(LONG*)) {
        LONG value = -1;
        EXPECT_EQ((right->*getter)(&value), S_OK);
        return value;
    }
};

TEST_F(PermissionTest, RoleRightIsReadFromItsRow) {
    SetRight("EditSeverity", false);
    Execute("UPDATE tRight SET EditPriority = NULL, ViewStatistic = 7");
    auto right = RightOfRole(1);
    ASSERT_NE(right.Get(), nullptr);
    LONG id = 0;
    right->get_ID(&id);
    EXPECT_EQ(id, 1);
    EXPECT_EQ(Flag(right.Get(), &IRight::get_Add), 1);
    EXPECT_EQ(Flag(right.Get(), &IRight::get_EditSeverity), 0);
    EXPECT_EQ(Flag(right.Get(), &IRight::get_EditPriority), 0); // NULL reads as false
    EXPECT_EQ(Flag(right.Get(), &IRight::get_Statistic), 1);
}

TEST_F(PermissionTest, RoleWithoutStoredRightHasNoPermissions) {
    Execute("INSERT INTO tRole VALUES (2, 'Guest', '', 1)");
    auto right = RightOfRole(2);
    ASSERT_NE(right.Get(), nullptr);
    auto* own = engine::ImplementationOf<CRight>(right.Get());
    EXPECT_EQ(own->ID(), 0);
    for (const auto& column : engine::kRightColumns)
        EXPECT_FALSE(own->Flag(column.flag)) << column.column;
}

TEST_F(PermissionTest, RoleRightFailures) {
    EXPECT_EQ(RightOfRole(0, E_FAIL).Get(), nullptr);
    EXPECT_EQ(ErrorDescription(), "Some error has occured, please see err.log!");
    EXPECT_TRUE(Logged(0, "IRole::Right", "RoleID is 0, can't perform the action"));

    Execute("DROP TABLE tRight");
    EXPECT_EQ(RightOfRole(1, E_FAIL).Get(), nullptr);
    EXPECT_NE(ErrLog().find("[ErrCode]: 2\r\n[Source]: IRole::Right"), std::string::npos);
}

TEST_F(PermissionTest, RoleRightWithMissingColumnIsNoRight) {
    // The table is rebuilt while no connection is open, so the engine reads the new shape.
    ASSERT_EQ(session_->Close(), S_OK);
    Execute("CREATE TABLE tRightNew (RightID INTEGER PRIMARY KEY, RoleID INTEGER, \"Add\" YESNO)");
    Execute("INSERT INTO tRightNew VALUES (1, 1, 1)");
    Execute("DROP TABLE tRight");
    Execute("ALTER TABLE tRightNew RENAME TO tRight");
    ASSERT_EQ(Open(), S_OK);
    EXPECT_EQ(RightOfRole(1, E_FAIL).Get(), nullptr);
    EXPECT_EQ(ErrorDescription(), "This role has no right");
    EXPECT_TRUE(Logged(3, "IRole::Right", "This role has no right"));
}

TEST_F(PermissionTest, RefusedBugOperationsSayWhatWasRefused) {
    InsertBug(1, "one");
    SetRight("Add", false);
    SetRight("Delete", false);
    auto set = OpenAll();
    ComPtr<IBug> stored;
    EXPECT_EQ(set->Add(engine::CreateObject<CBug>().Get(), stored.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), NoRight("Add bug"));
    EXPECT_TRUE(Logged(3, "CBugSet::Add", "No right to add bug"));
    EXPECT_EQ(set->RemoveByID(1), E_FAIL);
    EXPECT_EQ(ErrorDescription(), NoRight("delete bug"));
    EXPECT_EQ(set->Remove(), E_FAIL);
    EXPECT_EQ(ErrorDescription(), NoRight("delete bug"));
    EXPECT_TRUE(Logged(3, "CBugSet::Remove", "No right to perform this action"));
    EXPECT_EQ(Query("SELECT count(*) FROM tBugReport"), "1");
    EXPECT_EQ(Query("SELECT NextBugID FROM tNextID"), "1");
}

TEST_F(PermissionTest, TheRightIsReadAfreshAtEveryCheck) {
    auto set = OpenAll();
    ComPtr<IBug> stored;
    ASSERT_EQ(set->Add(engine::CreateObject<CBug>().Get(), stored.Put()), S_OK);
    SetRight("Add", false);
    EXPECT_EQ(set->Add(engine::CreateObject<CBug>().Get(), stored.Put()), E_FAIL);
    SetRight("Add", true);
    EXPECT_EQ(set->Add(engine::CreateObject<CBug>().Get(), stored.Put()), S_OK);
}

TEST_F(PermissionTest, ListsNeedTheReadRight) {
    SetRight("Read", false);
    ComPtr<IBugSet> set;
    EXPECT_EQ(session_->OpenBugSet(nullptr, set.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), NoRight("view bug"));
    EXPECT_TRUE(Logged(3, "CExeContext::OpenBugSet", "No right to perform this action"));
    EXPECT_EQ(session_->OpenFeatureSet(nullptr, set.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), NoRight("view feature"));
    EXPECT_TRUE(Logged(3, "CExeContext::OpenFeatureSet", "You have no right to view features"));
    EXPECT_EQ(set.Get(), nullptr);

    SetRight("Read", true);
    EXPECT_EQ(session_->OpenBugSet(nullptr, set.Put()), S_OK);
    EXPECT_NE(set.Get(), nullptr);
}

TEST_F(PermissionTest, ListsWithoutACurrentRole) {
    auto fresh = engine::CreateObject<engine::CExeContext>();
    ASSERT_EQ(fresh->OpenAccessDB(Bstr(database_).Get()), S_OK);
    ASSERT_EQ(fresh->Login(Bstr("Admin").Get(), Bstr("").Get()), S_OK);
    ComPtr<IBugSet> set;
    EXPECT_EQ(fresh->OpenBugSet(nullptr, set.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), NoRight("view bug"));
    EXPECT_TRUE(Logged(3, "CExeContext::OpenBugSet", "No right returned"));
    // The session's own operations do not log why the right was missing.
    EXPECT_FALSE(Logged(0, "CExeContext::OpenBugSet", "role is NULL"));
}

TEST_F(PermissionTest, WhyTheRightCouldNotBeRead) {
    auto orphan = engine::CreateObject<CBugSet>(); // no session
    ComPtr<IBug> stored;
    EXPECT_EQ(orphan->Add(engine::CreateObject<CBug>().Get(), stored.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), NoRight("Add bug"));
    EXPECT_TRUE(Logged(0, "CBugSet::Add", "ExeContext is NULL"));
    EXPECT_TRUE(Logged(3, "CBugSet::Add", "No right to add bug"));

    auto noRole = engine::CreateObject<engine::CExeContext>();
    ASSERT_EQ(noRole->OpenAccessDB(Bstr(database_).Get()), S_OK);
    auto set = engine::CreateObject<CBugSet>();
    set->SetContext(noRole.Get());
    EXPECT_EQ(set->RemoveByID(1), E_FAIL);
    EXPECT_TRUE(Logged(0, "CBugSet::Remove", "role is NULL"));

    Execute("DELETE FROM tRight"); // the current role keeps no right
    set->SetContext(session_.Get());
    EXPECT_EQ(set->RemoveByID(1), E_FAIL);
    EXPECT_EQ(ErrorDescription(), NoRight("delete bug"));

    Execute("DROP TABLE tRight");
    EXPECT_EQ(set->RemoveByID(1), E_FAIL);
    EXPECT_TRUE(Logged(3, "CBugSet::Remove", "get right failed"));

    Execute("DROP TABLE tRole");
    EXPECT_EQ(set->RemoveByID(1), E_FAIL);
    EXPECT_TRUE(Logged(0, "CBugSet::Remove", "Get role failed"));
}

TEST_F(PermissionTest, SessionChecksThroughItsCurrentRight) {
    const engine::GuardedAction assign = {RightFlag::AssignClassToUser,
                                          "assign classification to user",
                                          "CExeContext::AssignUserClassification",
                                          "you have no right to assign classification to user!"};
    const auto& cls = engine::CExeContext::Info();
    EXPECT_EQ(engine::CheckSessionPermission(session_.Get(), cls, assign,
                                             engine::RightPath::CurrentRight,
                                             "get current right failed"),
              S_OK);
    SetRight("AssignClassToUser", false);
    EXPECT_EQ(engine::CheckSessionPermission(session_.Get(), cls, assign,
                                             engine::RightPath::CurrentRight,
                                             "get current right failed"),
              E_FAIL);
    EXPECT_EQ(ErrorDescription(), NoRight("assign classification to user"));
    EXPECT_TRUE(Logged(3, "CExeContext::AssignUserClassification",
                       "you have no right to assign classification to user!"));

    Execute("DROP TABLE tRight");
    EXPECT_EQ(engine::CheckSessionPermission(session_.Get(), cls, assign,
                                             engine::RightPath::CurrentRight,
                                             "get current right failed"),
              E_FAIL);
    EXPECT_TRUE(Logged(3, "CExeContext::AssignUserClassification", "get current right failed"));
}

} // namespace
} // namespace velmora::test
