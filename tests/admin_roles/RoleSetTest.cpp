// Adding, updating and removing roles through a role set, with the removal's cascade.
#include "tests/admin_roles/RoleTestSupport.h"

namespace velmora::test {
namespace {

using RoleSetTest = RoleTest;

// A refused insert leaves the role unstored and out of the set; a stored one is unbound.
TEST_F(RoleSetTest, AddStoresTheRoleUnboundOrLeavesItUnstored) {
    RefuseWrites("refuseRole", "tRole", "INSERT", "", "refused");
    auto set = engine::CreateObject<CRoleSet>();
    auto role = NewRole("Tester's 'lead'");
    EXPECT_EQ(set->Add(role.Get()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Add role Failed");
    EXPECT_TRUE(Logged(0, "CRoleSet::Add", "Add role Failed"));
    EXPECT_EQ(role->Data().id, 0);
    LONG count = -1;
    set->get_Count(&count);
    EXPECT_EQ(count, 0);

    DropTrigger("refuseRole", "tRole");
    const int next = Counter("NextRoleID");
    ASSERT_EQ(set->Add(role.Get()), S_OK) << ErrorDescription();
    const LONG id = role->Data().id;
    EXPECT_NE(id, 0);
    EXPECT_EQ(Counter("NextRoleID"), next + 1);
    EXPECT_EQ(Query("SELECT RoleName || '/' || ProductID FROM tRole WHERE RoleID=" + Id(id)),
              "Tester's 'lead'/0");
    set->get_Count(&count);
    EXPECT_EQ(count, 1);
}

TEST_F(RoleSetTest, UpdateWritesTheCurrentRoleAndNeedsOne) {
    auto set = engine::CreateObject<CRoleSet>();
    EXPECT_EQ(set->Update(), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "update role failed");
    EXPECT_TRUE(Logged(6, "CRoleSet::RealUpdateRole", "role interface is not valid"));

    auto role = NewRole("Dev");
    ASSERT_EQ(set->Add(role.Get()), S_OK);
    ComPtr<IRole> item;
    ASSERT_EQ(set->get_Item(0, item.Put()), S_OK);
    item->put_Name(Bstr("O'Dev").Get());
    ASSERT_EQ(set->Update(), S_OK) << ErrorDescription();
    EXPECT_EQ(Query("SELECT RoleName FROM tRole WHERE RoleID=" + Id(role->Data().id)), "O'Dev");

    Execute("DELETE FROM tRole");
    EXPECT_EQ(set->Update(), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "update role failed");
}

TEST_F(RoleSetTest, RemoveByIDDeletesStatusesRightAndHolders) {
    const LONG id = StoreRole("Dev");
    const LONG other = StoreRole("QA");
    Execute("INSERT INTO tAvailableStatus VALUES (" + Id(id) + ", 'New'), (" + Id(other) +
            ", 'New'); INSERT INTO tRight (RightID, RoleID) VALUES (50, " + Id(id) + "), (51, " +
            Id(other) + "); INSERT INTO tUserRole VALUES (1, " + Id(id) + "), (1, " + Id(other) +
            ")");
    auto set = engine::CreateObject<CRoleSet>();
    ASSERT_EQ(set->RemoveByID(id), S_OK) << ErrorDescription();
    EXPECT_EQ(Count("tRole", "RoleID=" + Id(id)), 0);
    EXPECT_EQ(Count("tAvailableStatus", "RoleID=" + Id(id)), 0);
    EXPECT_EQ(Count("tRight", "RoleID=" + Id(id)), 0);
    EXPECT_EQ(Count("tUserRole", "RoleID=" + Id(id)), 0);
    // The other role keeps everything.
    EXPECT_EQ(Count("tAvailableStatus", "RoleID=" + Id(other)), 1);
    EXPECT_EQ(Count("tRight", "RoleID=" + Id(other)), 1);
    EXPECT_EQ(Count("tUserRole", "RoleID=" + Id(other)), 1);
}

TEST_F(RoleSetTest, RemovingAMissingRoleRollsTheCascadeBack) {
    Execute("INSERT INTO tAvailableStatus VALUES (77, 'New'); INSERT INTO tRight (RightID, "
            "RoleID) VALUES (50, 77); INSERT INTO tUserRole VALUES (1, 77)");
    auto set = engine::CreateObject<CRoleSet>();
    EXPECT_EQ(set->RemoveByID(77), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Delete Role failed");
    EXPECT_TRUE(Logged(2, "CRoleSet::RealRemove", "Role(ID=77) does not exist!"));
    EXPECT_EQ(Count("tAvailableStatus", "RoleID=77"), 1);
    EXPECT_EQ(Count("tRight", "RoleID=77"), 1);
    EXPECT_EQ(Count("tUserRole", "RoleID=77"), 1);
}

TEST_F(RoleSetTest, RemoveByIndexChecksTheIndexThenRemoves) {
    ComPtr<IRoleSet> all;
    StoreRole("Dev");
    ASSERT_EQ(admin_->get_RoleSet(all.Put()), S_OK);
    EXPECT_EQ(all->RemoveByIndex(1), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Some error has occured, please see err.log!");
    ASSERT_EQ(all->RemoveByIndex(0), S_OK) << ErrorDescription();
    LONG count = -1;
    all->get_Count(&count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(Count("tRole"), 0);
}

TEST_F(RoleSetTest, InMemoryMembersLeaveTheDatabaseAlone) {
    auto set = engine::CreateObject<CRoleSet>();
    auto role = NewRole("Dev");
    role->SetID(5);
    EXPECT_EQ(set->Append(role.Get()), S_OK);
    EXPECT_EQ(set->Append(role.Get()), S_OK); // same ID: not appended twice
    EXPECT_EQ(set->Append(nullptr), S_OK);
    LONG count = 0;
    set->get_Count(&count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(set->DeleteByID(6), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Role(id=6) does not exist");
    EXPECT_EQ(set->DeleteByID(5), S_OK);
    EXPECT_EQ(set->DeleteByIndex(0), E_FAIL);
    ComPtr<IRole> item;
    EXPECT_EQ(set->get_Item(0, item.Put()), E_FAIL);
    ComPtr<IExeContext> context;
    EXPECT_EQ(set->get_ExeContext(context.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "RoleSet has no execute context object at present");
}

// A role removed by ID leaves the set (every copy of it) and stops being the target of Update,
// even when the set held it twice through Append of another object with its ID.
TEST_F(RoleSetTest, RemoveByIDForgetsTheRoleAndItsCurrentPlace) {
    const LONG id = StoreRole("Gone");
    const LONG kept = StoreRole("Kept");
    ComPtr<IRoleSet> all;
    ASSERT_EQ(admin_->get_RoleSet(all.Put()), S_OK);
    CRoleSet* set = engine::ImplementationOf<CRoleSet>(all.Get());
    ASSERT_NE(set, nullptr);
    auto twin = NewRole("Gone again");
    twin->SetID(id);
    set->AppendItem(twin);
    ComPtr<IRole> item;
    ASSERT_EQ(set->get_Item(IndexOf(set->Items(), id), item.Put()), S_OK);
    ASSERT_EQ(set->RemoveByID(id), S_OK) << ErrorDescription();
    ASSERT_EQ(set->Items().size(), 1u);
    EXPECT_EQ(set->Items()[0]->Data().id, kept);
    EXPECT_EQ(set->Update(), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "update role failed");
    EXPECT_TRUE(Logged(6, "CRoleSet::RealUpdateRole", "role interface is not valid"));

    // A second removal finds no row: it fails and the set stays as it is.
    EXPECT_EQ(set->RemoveByID(id), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Delete Role failed");
    EXPECT_TRUE(Logged(2, "CRoleSet::RealRemove", "Role(ID=" + Id(id) + ") does not exist!"));
    EXPECT_EQ(set->Items().size(), 1u);
}

} // namespace
} // namespace velmora::test
