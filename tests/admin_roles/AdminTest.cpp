// The administration object's listings and links between users, roles, products and rights,
// and the current user's password change through the session.
#include "common/crypto/PasswordBlock.h"
#include "tests/admin_roles/RoleTestSupport.h"

namespace velmora::test {
namespace {

using AdminTest = RoleTest;

// The administration object and the session list the same rows.
TEST_F(AdminTest, AdminAndSessionListEveryUserAndRole) {
    StoreRole("Dev");
    StoreRole("QA");
    StoreUser("ann");
    ComPtr<IRoleSet> roles, allRoles;
    ComPtr<IUserSet> users, allUsers;
    ComPtr<IProductSet> products;
    ASSERT_EQ(admin_->get_RoleSet(roles.Put()), S_OK);
    ASSERT_EQ(admin_->get_UserSet(users.Put()), S_OK);
    ASSERT_EQ(admin_->get_ProductSet(products.Put()), S_OK);
    ASSERT_EQ(session_->get_AllRole(allRoles.Put()), S_OK);
    ASSERT_EQ(session_->get_AllUser(allUsers.Put()), S_OK);
    LONG counts[5] = {};
    roles->get_Count(&counts[0]);
    allRoles->get_Count(&counts[1]);
    users->get_Count(&counts[2]);
    allUsers->get_Count(&counts[3]);
    products->get_Count(&counts[4]);
    EXPECT_EQ(std::vector<LONG>(counts, counts + 5), (std::vector<LONG>{2, 2, 2, 2, 0}));
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
    RefuseWrites("refuseBad", "tAvailableStatus", "INSERT", "NEW.StatusName = 'Bad'", "refused");
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

class ChangePswTest : public RoleTest {
  protected:
    HRESULT Change(const std::string& from, const std::string& to) {
        return session_->ChangePsw(Bstr(from).Get(), Bstr(to).Get());
    }
};

// The new password replaces the old one only when the old one is given right and the new one
// fits the stored block.
TEST_F(ChangePswTest, OnlyARightOldPasswordAndAFittingNewOneChangeIt) {
    EXPECT_EQ(Change("guess", "other"), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "original password doesn't match");
    EXPECT_TRUE(Logged(0, "CExeContext::ChangePsw", "original password doesn't match"));
    EXPECT_EQ(Change("", std::string(64, 'p')), E_FAIL);
    EXPECT_EQ(ErrorDescription(), crypto::kPasswordTooLongMessage);
    EXPECT_EQ(Login("Admin", ""), S_OK);

    ASSERT_EQ(Change("", std::string(63, '\'')), S_OK) << ErrorDescription();
    EXPECT_EQ(Login("Admin", ""), E_FAIL);
    EXPECT_EQ(Login("Admin", std::string(63, '\'')), S_OK);
}

} // namespace
} // namespace velmora::test
