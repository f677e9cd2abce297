// The administration object's listings and links between users, roles, products and rights.
#include "tests/admin_roles/RoleTestSupport.h"

namespace velmora::test {
namespace {

using AdminTest = RoleTest;

TEST_F(AdminTest, ListsEveryUserAndRole) {
    StoreRole("Dev");
    StoreRole("QA");
    StoreUser("ann");
    ComPtr<IRoleSet> roles;
    ComPtr<IUserSet> users;
    ComPtr<IProductSet> products;
    ASSERT_EQ(admin_->get_RoleSet(roles.Put()), S_OK);
    ASSERT_EQ(admin_->get_UserSet(users.Put()), S_OK);
    ASSERT_EQ(admin_->get_ProductSet(products.Put()), S_OK);
    LONG count = 0;
    roles->get_Count(&count);
    EXPECT_EQ(count, 2);
    users->get_Count(&count);
    EXPECT_EQ(count, 2);
    products->get_Count(&count);
    EXPECT_EQ(count, 0);
}

TEST_F(AdminTest, AssignAndFreeUsersPairByPair) {
    const LONG role = StoreRole("Dev");
    ASSERT_EQ(admin_->AssignUserToRole(1, role), S_OK) << ErrorDescription();
    ASSERT_EQ(admin_->AssignUserToRole(1, role), S_OK);
    EXPECT_EQ(Count("tUserRole", "UserID=1 AND RoleID=" + Id(role)), 2);
    ASSERT_EQ(admin_->FreeUserFromRole(1, role), S_OK);
    EXPECT_EQ(Count("tUserRole", "UserID=1 AND RoleID=" + Id(role)), 1);
    EXPECT_EQ(admin_->FreeUserFromRole(9, role), S_OK); // no such pair

    EXPECT_EQ(admin_->AssignUserToRole(9, role), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Assign use to role failed!");
    EXPECT_TRUE(Logged(0, "CAdmin::AssignUserToRole", "User(ID=9) does not exist"));
    EXPECT_EQ(admin_->AssignUserToRole(1, 99), E_FAIL);
    EXPECT_TRUE(Logged(0, "CAdmin::AssignUserToRole", "Role(ID=99) does not exist"));
}

TEST_F(AdminTest, BindsAndUnbindsRolesToProducts) {
    const LONG role = StoreRole("Dev");
    Execute("INSERT INTO tProduct (ProductID, ProductName) VALUES (7, 'A'), (8, 'B')");
    ASSERT_EQ(admin_->AssignProductToRole(7, role), S_OK) << ErrorDescription();
    EXPECT_EQ(Query("SELECT ProductID FROM tRole WHERE RoleID=" + Id(role)), "7");
    // Freeing through another existing product still unbinds.
    ASSERT_EQ(admin_->FreeProductFromRole(8, role), S_OK);
    EXPECT_EQ(Query("SELECT ProductID FROM tRole WHERE RoleID=" + Id(role)), "0");

    EXPECT_EQ(admin_->AssignProductToRole(70, role), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Assign product to role failed!");
    EXPECT_EQ(admin_->FreeProductFromRole(7, 99), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Free product from role failed!");
    EXPECT_TRUE(Logged(0, "CAdmin::FreeProductFromRole", "Role(ID=99) does not exist"));
}

TEST_F(AdminTest, SetRoleRightCreatesThenRewritesTheRow) {
    const LONG role = StoreRole("Dev");
    auto right = engine::CreateObject<engine::CRight>();
    right->SetFlag(engine::RightFlag::AddProduct, true);
    const int next = Counter("NextRightID");
    ASSERT_EQ(admin_->SetRoleRight(role, right.Get()), S_OK) << ErrorDescription();
    EXPECT_EQ(Counter("NextRightID"), next + 1);
    const LONG id = right->ID();
    EXPECT_NE(id, 0);
    EXPECT_EQ(Query("SELECT RoleID FROM tRight WHERE RightID=" + Id(id)), Id(role));
    EXPECT_EQ(Query("SELECT AddProduct FROM tRight WHERE RightID=" + Id(id)), "1");

    right->SetFlag(engine::RightFlag::AddProduct, false);
    ASSERT_EQ(admin_->SetRoleRight(role, right.Get()), S_OK);
    EXPECT_EQ(Counter("NextRightID"), next + 1);
    EXPECT_EQ(Count("tRight"), 1);
    EXPECT_EQ(Query("SELECT AddProduct FROM tRight WHERE RightID=" + Id(id)), "0");

    EXPECT_EQ(admin_->SetRoleRight(99, right.Get()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Set right to role failed!");
    EXPECT_TRUE(Logged(0, "CAdmin::SetRoleRight", "Role(ID=99) does not exist"));
}

TEST_F(AdminTest, SetStatusOfRoleReplacesTheList) {
    const LONG role = StoreRole("Dev");
    ASSERT_EQ(admin_->SetStatusOfRole(role, Statuses({"New", "Fixed"}).Get()), S_OK);
    ASSERT_EQ(admin_->SetStatusOfRole(role, Statuses({"Won't fix", ""}).Get()), S_OK);
    EXPECT_EQ(Count("tAvailableStatus", "RoleID=" + Id(role)), 2);
    EXPECT_EQ(Count("tAvailableStatus", "StatusName='Won''t fix'"), 1);
    ASSERT_EQ(admin_->SetStatusOfRole(role, Statuses({}).Get()), S_OK);
    EXPECT_EQ(Count("tAvailableStatus"), 0);

    EXPECT_EQ(admin_->SetStatusOfRole(0, Statuses({"New"}).Get()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Set Available Status to Role Failed!");
    EXPECT_TRUE(Logged(0, "CAdmin::SetStatusOfRole", "RoleID is 0, Set statua failed!"));
    EXPECT_EQ(admin_->SetStatusOfRole(99, Statuses({"New"}).Get()), E_FAIL);
}

TEST_F(AdminTest, SetStatusOfRoleFailingPartWayKeepsTheOldStatuses) {
    const LONG role = StoreRole("Dev");
    ASSERT_EQ(admin_->SetStatusOfRole(role, Statuses({"New", "Active"}).Get()), S_OK);
    Execute("CREATE TRIGGER refuseBad BEFORE INSERT ON tAvailableStatus WHEN NEW.StatusName = "
            "'Bad' BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_EQ(admin_->SetStatusOfRole(role, Statuses({"Fixed", "Bad"}).Get()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Set Available Status to Role Failed!");
    EXPECT_EQ(Count("tAvailableStatus", "RoleID=" + Id(role)), 2);
    EXPECT_EQ(Count("tAvailableStatus", "StatusName='Fixed'"), 0);
    EXPECT_EQ(Count("tAvailableStatus", "StatusName='Active'"), 1);
}

TEST_F(AdminTest, NewMDBCreatesNothing) {
    const std::string file = (dir_ / "new.mdb").string();
    EXPECT_EQ(admin_->NewMDB(Bstr(file).Get()), S_OK);
    EXPECT_FALSE(std::filesystem::exists(file));
}

} // namespace
} // namespace velmora::test
