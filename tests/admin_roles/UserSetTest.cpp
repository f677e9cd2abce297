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
}

TEST_F(UserSetTest, AddRefusesAnOverlongPasswordAndStoresNothing) {
    auto set = engine::CreateObject<CUserSet>();
    auto user = NewUser("long", std::string(64, 'x'));
    EXPECT_EQ(set->Add(user.Get()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Add user failed");
    EXPECT_EQ(user->Data().id, 0);
    EXPECT_EQ(Count("tUser"), 1);
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

TEST_F(UserSetTest, InMemoryMembers) {
    auto set = engine::CreateObject<CUserSet>();
    auto user = NewUser("x");
    user->SetID(4);
    EXPECT_EQ(set->Append(user.Get()), S_OK);
    EXPECT_EQ(set->Append(user.Get()), S_OK); // no duplicate check
    LONG count = 0;
    set->get_Count(&count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(set->DeleteByID(5), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "User(ID=5) does not exist");
    EXPECT_EQ(set->DeleteByID(4), S_OK);
    EXPECT_EQ(set->DeleteByIndex(3), E_FAIL);
    EXPECT_EQ(set->DeleteByIndex(0), S_OK);
    ComPtr<IExeContext> context;
    EXPECT_EQ(set->get_ExeContext(context.Put()), E_FAIL);
}

} // namespace
} // namespace velmora::test
