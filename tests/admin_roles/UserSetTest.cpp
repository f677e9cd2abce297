// Adding, updating and removing users through a user set, with the removal's cascade.
#include "tests/admin_roles/RoleTestSupport.h"

namespace velmora::test {
namespace {

using UserSetTest = RoleTest;

TEST_F(UserSetTest, AddStoresTheUserAndRefusesADuplicateLogin) {
    auto set = engine::CreateObject<CUserSet>();
    auto user = NewUser("o'brien", "secret");
    ASSERT_EQ(set->Add(user.Get()), S_OK) << ErrorDescription();
    EXPECT_NE(user->Data().id, 0);
    EXPECT_EQ(Query("SELECT UserName FROM tUser WHERE UserID=" + Id(user->Data().id)),
              "Name of o'brien");

    const int next = Counter("NextUserID");
    auto again = NewUser("O'BRIEN"); // login names compare without regard to case
    EXPECT_EQ(set->Add(again.Get()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Login Name(O'BRIEN) is duplicated!");
    EXPECT_EQ(Counter("NextUserID"), next + 1); // the identifier is consumed
    EXPECT_EQ(again->Data().id, 0);
    EXPECT_EQ(Count("tUser"), 2);
    LONG count = 0;
    set->get_Count(&count);
    EXPECT_EQ(count, 1);

    auto overlong = NewUser("long", std::string(64, 'x'));
    EXPECT_EQ(set->Add(overlong.Get()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Add user failed");
    EXPECT_EQ(overlong->Data().id, 0);
    EXPECT_EQ(Count("tUser"), 2);
}

TEST_F(UserSetTest, RemoveByIDRefusesTheAdministrator) {
    ComPtr<IUserSet> all;
    ASSERT_EQ(admin_->get_UserSet(all.Put()), S_OK);
    EXPECT_EQ(all->RemoveByID(1), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Cannot delete Admin");
    EXPECT_EQ(Count("tUser", "UserID=1"), 1);
    // By position the administrator can go.
    EXPECT_EQ(all->RemoveByIndex(0), S_OK) << ErrorDescription();
    EXPECT_EQ(Count("tUser"), 0);
}

TEST_F(UserSetTest, RemoveByIDDeletesAssignmentsAndSystemInformation) {
    const LONG id = StoreUser("ann");
    Execute("INSERT INTO tUserRole VALUES (" + Id(id) +
            ", 3), (1, 3); INSERT INTO "
            "tUserClassification (UserID) VALUES (" +
            Id(id) + "); INSERT INTO tUserSystemInfo (UserSystemInfoID, UserID) VALUES (9, " +
            Id(id) + ")");
    auto set = engine::CreateObject<CUserSet>();
    ASSERT_EQ(set->RemoveByID(id), S_OK) << ErrorDescription();
    EXPECT_EQ(Count("tUser", "UserID=" + Id(id)), 0);
    EXPECT_EQ(Count("tUserRole", "UserID=" + Id(id)), 0);
    EXPECT_EQ(Count("tUserRole"), 1);
    EXPECT_EQ(Count("tUserClassification"), 0);
    EXPECT_EQ(Count("tUserSystemInfo"), 0);
}

TEST_F(UserSetTest, RemovingAMissingUserRollsTheCascadeBack) {
    Execute("INSERT INTO tUserRole VALUES (40, 3)");
    auto set = engine::CreateObject<CUserSet>();
    EXPECT_EQ(set->RemoveByID(40), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Delete user failed!");
    EXPECT_TRUE(Logged(2, "CUserSet::RealRemove", "User(ID=40) does not exist!"));
    EXPECT_EQ(Count("tUserRole"), 1);
}

TEST_F(UserSetTest, UpdateWritesTheCurrentUser) {
    auto set = engine::CreateObject<CUserSet>();
    EXPECT_EQ(set->Update(), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Update User failed");
    EXPECT_TRUE(Logged(7, "CUserSet::RealUpdate", "No current user, cannot update"));

    auto user = NewUser("bob");
    ASSERT_EQ(set->Add(user.Get()), S_OK);
    ComPtr<IUser> item;
    ASSERT_EQ(set->get_Item(0, item.Put()), S_OK);
    item->put_Department(Bstr("R&D 'west'").Get());
    ASSERT_EQ(set->Update(), S_OK) << ErrorDescription();
    EXPECT_EQ(Query("SELECT Department FROM tUser WHERE UserID=" + Id(user->Data().id)),
              "R&D 'west'");
}

// The user set reports some failures under the role set's names; they are its own texts.
TEST_F(UserSetTest, FailuresKeepTheirOwnSourcesAndTexts) {
    auto set = engine::CreateObject<CUserSet>();
    ComPtr<IUser> item;
    EXPECT_EQ(set->get_Item(0, item.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Some error has occured, please see err.log!");
    EXPECT_TRUE(Logged(1, "CRoleSet::get_Item", "Exceed Array's bound"));
    ComPtr<IExeContext> context;
    EXPECT_EQ(set->get_ExeContext(context.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "RoleSet has no execute context object");
    EXPECT_TRUE(Logged(0, "CRoleSet::get_ExeContext", "RoleSet has no execute context object"));
    EXPECT_EQ(set->DeleteByIndex(-1), E_FAIL);
    EXPECT_TRUE(Logged(1, "CUserSet::RemoveByInde", "Exceed Array's bound"));
    EXPECT_EQ(set->DeleteByID(9), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "User(ID=9) does not exist");
    EXPECT_TRUE(Logged(0, "CUserSet::RemoveByID", "User(ID=9) does not exist"));

    // In memory the set takes the same user twice and gives each copy up by ID or position.
    auto user = NewUser("x");
    user->SetID(4);
    EXPECT_EQ(set->Append(user.Get()), S_OK);
    EXPECT_EQ(set->Append(user.Get()), S_OK);
    EXPECT_EQ(set->DeleteByID(4), S_OK);
    EXPECT_EQ(set->DeleteByIndex(1), E_FAIL);
    EXPECT_EQ(set->DeleteByIndex(0), S_OK);

    // A duplicated login is reported once, with its own source and not as "Add user failed".
    StoreUser("dup");
    auto again = NewUser("dup");
    EXPECT_EQ(set->Add(again.Get()), E_FAIL);
    EXPECT_TRUE(Logged(2, "CUserSet::RealAddUser", "Login Name(dup) is duplicated!"));
    EXPECT_FALSE(Logged(0, "CUserSet::Add", "Add user failed"));
    EXPECT_EQ(set->Add(nullptr), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Add user failed");
    EXPECT_TRUE(Logged(0, "CUserSet::Add", "Add user failed"));
}

// A user removed by position is no longer the target of Update, so its row is not written
// again; the other users of the set stay where they were.
TEST_F(UserSetTest, RemovedCurrentUserIsNoLongerUpdated) {
    const LONG first = StoreUser("first");
    const LONG second = StoreUser("second");
    ComPtr<IUserSet> all;
    ASSERT_EQ(admin_->get_UserSet(all.Put()), S_OK);
    CUserSet* set = engine::ImplementationOf<CUserSet>(all.Get());
    ASSERT_NE(set, nullptr);
    const LONG index = IndexOf(set->Items(), first);
    ASSERT_GE(index, 0);
    ComPtr<IUser> item;
    ASSERT_EQ(set->get_Item(index, item.Put()), S_OK);
    ASSERT_EQ(set->RemoveByIndex(index), S_OK) << ErrorDescription();
    EXPECT_EQ(Count("tUser", "UserID=" + Id(first)), 0);
    EXPECT_EQ(set->Update(), E_FAIL);
    EXPECT_TRUE(Logged(7, "CUserSet::RealUpdate", "No current user, cannot update"));
    EXPECT_EQ(Count("tUser", "UserID=" + Id(second)), 1);
    for (const auto& held : set->Items())
        EXPECT_NE(held->Data().id, first);
}

} // namespace
} // namespace velmora::test
