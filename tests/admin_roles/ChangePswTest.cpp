// The current user's password change through the session.
#include "common/crypto/PasswordBlock.h"
#include "tests/admin_roles/RoleTestSupport.h"

namespace velmora::test {
namespace {

class ChangePswTest : public RoleTest {
  protected:
    HRESULT Change(const std::string& from, const std::string& to) {
        return session_->ChangePsw(Bstr(from).Get(), Bstr(to).Get());
    }
};

TEST_F(ChangePswTest, RightOldPasswordStoresTheNewOne) {
    ASSERT_EQ(Change("", "n3w'pw"), S_OK) << ErrorDescription();
    EXPECT_EQ(Login("Admin", ""), E_FAIL);
    EXPECT_EQ(Login("Admin", "n3w'pw"), S_OK);
}

TEST_F(ChangePswTest, WrongOldPasswordChangesNothing) {
    EXPECT_EQ(Change("guess", "other"), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "original password doesn't match");
    EXPECT_TRUE(Logged(0, "CExeContext::ChangePsw", "original password doesn't match"));
    EXPECT_EQ(Login("Admin", ""), S_OK);
}

TEST_F(ChangePswTest, OverlongNewPasswordIsRefusedWithAClearMessage) {
    EXPECT_EQ(Change("", std::string(64, 'p')), E_FAIL);
    EXPECT_EQ(ErrorDescription(), crypto::kPasswordTooLongMessage);
    EXPECT_EQ(Login("Admin", ""), S_OK);
    EXPECT_EQ(Change("", std::string(63, 'p')), S_OK);
}

TEST_F(ChangePswTest, AllUserAndAllRoleListEveryRow) {
    StoreRole("Dev");
    StoreUser("ann");
    ComPtr<IUserSet> users;
    ComPtr<IRoleSet> roles;
    ASSERT_EQ(session_->get_AllUser(users.Put()), S_OK);
    ASSERT_EQ(session_->get_AllRole(roles.Put()), S_OK);
    LONG count = 0;
    users->get_Count(&count);
    EXPECT_EQ(count, 2);
    roles->get_Count(&count);
    EXPECT_EQ(count, 1);
}

} // namespace
} // namespace velmora::test
