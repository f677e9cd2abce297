// What a role and a user read about themselves: holders, product, statuses, roles and system
// information.
#include "engine/admin/UserSysInfo.h"
#include "tests/admin_roles/RoleTestSupport.h"

namespace velmora::test {
namespace {

using MembersTest = RoleTest;

TEST_F(MembersTest, RoleReadsItsHoldersProductAndStatuses) {
    const LONG id = StoreRole("Dev");
    StoreRole("QA");
    ASSERT_EQ(admin_->AssignUserToRole(1, id), S_OK);
    ComPtr<IRoleSet> roles;
    ASSERT_EQ(admin_->get_RoleSet(roles.Put()), S_OK);
    ComPtr<IRole> role;
    ASSERT_EQ(roles->get_Item(0, role.Put()), S_OK);

    ComPtr<IUserSet> holders;
    ASSERT_EQ(role->get_UserSet(holders.Put()), S_OK);
    LONG count = 0;
    holders->get_Count(&count);
    EXPECT_EQ(count, 1);
    // And the holder reads its one role back.
    ComPtr<IUser> holder;
    ASSERT_EQ(holders->get_Item(0, holder.Put()), S_OK);
    ComPtr<IRoleSet> held;
    ASSERT_EQ(holder->get_RoleSet(held.Put()), S_OK);
    held->get_Count(&count);
    EXPECT_EQ(count, 1);

    ComPtr<IProduct> product;
    ASSERT_EQ(role->get_Product(product.Put()), S_OK);
    EXPECT_EQ(product.Get(), nullptr); // unbound
    Execute("INSERT INTO tProduct (ProductID, ProductName) VALUES (7, 'Tool'); INSERT INTO "
            "tVersion (VersionID, ProductID, VersionName) VALUES (3, 7, '1.0')");
    ASSERT_EQ(admin_->AssignProductToRole(7, id), S_OK);
    ASSERT_EQ(role->get_Product(product.Put()), S_OK) << ErrorDescription();
    ASSERT_NE(product.Get(), nullptr);
    LONG versions = 0;
    product->get_VersionCount(&versions);
    EXPECT_EQ(versions, 1);

    ASSERT_EQ(admin_->SetStatusOfRole(id, Statuses({"New", "Fixed"}).Get()), S_OK);
    ComPtr<IBugStatus> statuses;
    ASSERT_EQ(role->get_AvailableStatus(statuses.Put()), S_OK);
    statuses->get_Count(&count);
    EXPECT_EQ(count, 2);

    Execute("DELETE FROM tRole");
    EXPECT_EQ(role->get_AvailableStatus(statuses.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Get the role's bug status failed");
    EXPECT_EQ(role->get_Product(product.Put()), E_FAIL);
}

TEST_F(MembersTest, UnstoredRoleAndUserAnswerWithoutTheDatabase) {
    auto role = NewRole("x");
    ComPtr<IBugStatus> statuses;
    EXPECT_EQ(role->get_AvailableStatus(statuses.Put()), S_OK);
    EXPECT_EQ(statuses.Get(), nullptr);
    ComPtr<IUserSet> holders;
    EXPECT_EQ(role->get_UserSet(holders.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "RoleID is 0");
    auto user = NewUser("y");
    ComPtr<IRoleSet> roles;
    EXPECT_EQ(user->get_RoleSet(roles.Put()), E_FAIL);
    ComPtr<IUserSysInfo> info;
    EXPECT_EQ(user->get_SysInfo(info.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Get user's system infomation failed");
}

TEST_F(MembersTest, SysInfoIsCreatedOnceThenRewritten) {
    const LONG id = StoreUser("ann");
    ComPtr<IUserSet> users;
    ASSERT_EQ(admin_->get_UserSet(users.Put()), S_OK);
    ComPtr<IUser> user;
    ASSERT_EQ(users->get_Item(1, user.Put()), S_OK);
    ComPtr<IUserSysInfo> read;
    ASSERT_EQ(user->get_SysInfo(read.Put()), S_OK);
    EXPECT_EQ(read.Get(), nullptr);

    auto info = engine::CreateObject<engine::CUserSysInfo>();
    info->put_OS(Bstr("Debian 12").Get());
    const int next = Counter("NextSysInfoID");
    ASSERT_EQ(user->put_SysInfo(info.Get()), S_OK) << ErrorDescription();
    EXPECT_EQ(Counter("NextSysInfoID"), next + 1);
    const std::string stored = Query("SELECT UserSystemInfoID FROM tUser WHERE UserID=" + Id(id));
    EXPECT_EQ(stored, Id(info->Data().id));
    info->put_OS(Bstr("Debian 13").Get());
    ASSERT_EQ(user->put_SysInfo(info.Get()), S_OK);
    EXPECT_EQ(Count("tUserSystemInfo"), 1);
    ASSERT_EQ(user->get_SysInfo(read.Put()), S_OK);
    Bstr os;
    read->get_OS(os.Put());
    EXPECT_EQ(os.Utf8(), "Debian 13");
}

} // namespace
} // namespace velmora::test
