// The permission check: a role's right read from tRight, the refusal texts and log lines of the
// guarded bug operations, and why a right could not be read.
#include "engine/admin/Permission.h"
#include "engine/admin/Role.h"
#include "tests/bugs_set/BugSetTestSupport.h"

namespace velmora::test {
namespace {

class PermissionTest : public BugSetTest {
  protected:
    ComPtr<IRight> RightOfRole(LONG roleID, HRESULT expected = S_OK) {
        auto role = engine::CreateObject<engine::CRole>();
        role->SetID(roleID);
        ComPtr<IRight> right;
        EXPECT_EQ(role->get_Right(right.Put()), expected);
        return right;
    }
};

// NULL reads as false, any other non-zero value as true; a role without a stored right has no
// permission at all.
TEST_F(PermissionTest, RoleRightIsReadFromItsRow) {
    SetRight("EditSeverity", false);
    Execute("UPDATE tRight SET EditPriority = NULL, ViewStatistic = 7");
    auto right = RightOfRole(1);
    ASSERT_NE(right.Get(), nullptr);
    LONG id = 0, add = 0, severity = -1, priority = -1, statistic = 0;
    right->get_ID(&id);
    right->get_Add(&add);
    right->get_EditSeverity(&severity);
    right->get_EditPriority(&priority);
    right->get_Statistic(&statistic);
    EXPECT_EQ(std::vector<LONG>({id, add, severity, priority, statistic}),
              std::vector<LONG>({1, 1, 0, 0, 1}));

    Execute("INSERT INTO tRole VALUES (2, 'Guest', '', 1)");
    const auto guest = RightOfRole(2);
    auto* none = engine::ImplementationOf<engine::CRight>(guest.Get());
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->ID(), 0);
    for (const auto& column : engine::kRightColumns)
        EXPECT_FALSE(none->Flag(column.flag)) << column.column;
}

TEST_F(PermissionTest, RoleRightFailures) {
    EXPECT_EQ(RightOfRole(0, E_FAIL).Get(), nullptr);
    EXPECT_EQ(ErrorDescription(), "Some error has occured, please see err.log!");
    EXPECT_TRUE(Logged(0, "IRole::Right", "RoleID is 0, can't perform the action"));
    Execute("DROP TABLE tRight");
    EXPECT_EQ(RightOfRole(1, E_FAIL).Get(), nullptr);
    EXPECT_NE(ErrLog().find(Head(2, "IRole::Right")), std::string::npos);
}

// The right is read afresh at every check.
TEST_F(PermissionTest, RefusedBugOperationsSayWhatWasRefused) {
    InsertBug(7, "seven");
    auto set = OpenAll();
    ComPtr<IBug> stored;
    SetRight("Add", false);
    SetRight("Delete", false);
    EXPECT_TRUE(Refused(set->Add(engine::CreateObject<CBug>().Get(), stored.Put()),
                        NoRight("Add bug"), Entry(3, "CBugSet::Add", "No right to add bug")));
    EXPECT_TRUE(Refused(set->RemoveByID(7), NoRight("delete bug")));
    EXPECT_TRUE(Refused(set->Remove(), NoRight("delete bug"),
                        Entry(3, "CBugSet::Remove", "No right to perform this action")));
    EXPECT_EQ(Query("SELECT count(*) || '/' || (SELECT NextBugID FROM tNextID) FROM tBugReport"),
              "1/1");
    SetRight("Add", true);
    EXPECT_EQ(set->Add(engine::CreateObject<CBug>().Get(), stored.Put()), S_OK);
}

TEST_F(PermissionTest, ListsNeedTheReadRight) {
    SetRight("Read", false);
    ComPtr<IBugSet> set;
    EXPECT_TRUE(Refused(session_->OpenBugSet(nullptr, set.Put()), NoRight("view bug"),
                        Entry(3, "CExeContext::OpenBugSet", "No right to perform this action")));
    EXPECT_TRUE(
        Refused(session_->OpenFeatureSet(nullptr, set.Put()), NoRight("view feature"),
                Entry(3, "CExeContext::OpenFeatureSet", "You have no right to view features")));
    EXPECT_EQ(set.Get(), nullptr);
}

TEST_F(PermissionTest, WhyTheRightCouldNotBeRead) {
    auto orphan = engine::CreateObject<CBugSet>(); // no session
    ComPtr<IBug> stored;
    EXPECT_TRUE(Refused(orphan->Add(engine::CreateObject<CBug>().Get(), stored.Put()),
                        NoRight("Add bug"), Entry(0, "CBugSet::Add", "ExeContext is NULL")));

    auto noRole = engine::CreateObject<engine::CExeContext>();
    ASSERT_EQ(noRole->OpenAccessDB(Bstr(database_).Get()), S_OK);
    auto set = engine::CreateObject<CBugSet>();
    set->SetContext(noRole.Get());
    EXPECT_TRUE(Refused(set->RemoveByID(1), NoRight("delete bug"),
                        Entry(0, "CBugSet::Remove", "role is NULL")));

    Execute("DELETE FROM tRight"); // the current role keeps no right
    set->SetContext(session_.Get());
    EXPECT_TRUE(Refused(set->RemoveByID(1), NoRight("delete bug")));
    Execute("DROP TABLE tRight");
    EXPECT_TRUE(Refused(set->RemoveByID(1), NoRight("delete bug"),
                        Entry(3, "CBugSet::Remove", "get right failed")));
}

TEST_F(PermissionTest, SessionChecksThroughItsCurrentRight) {
    const engine::GuardedAction assign = {engine::RightFlag::AssignClassToUser,
                                          "assign classification to user",
                                          "CExeContext::AssignUserClassification",
                                          "you have no right to assign classification to user!"};
    const auto check = [&] {
        return engine::CheckSessionPermission(session_.Get(), engine::CExeContext::Info(), assign,
                                              engine::RightPath::CurrentRight,
                                              "get current right failed");
    };
    EXPECT_EQ(check(), S_OK);
    SetRight("AssignClassToUser", false);
    EXPECT_TRUE(Refused(check(), NoRight("assign classification to user"),
                        Entry(3, "CExeContext::AssignUserClassification",
                              "you have no right to assign classification to user!")));
    Execute("DROP TABLE tRight");
    EXPECT_TRUE(
        Refused(check(), NoRight("assign classification to user"),
                Entry(3, "CExeContext::AssignUserClassification", "get current right failed")));
}

} // namespace
} // namespace velmora::test
