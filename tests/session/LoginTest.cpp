#include "SessionTestSupport.h"

#include <cstdio>

#include "common/crypto/PasswordBlock.h"

namespace velmora::test {
namespace {

// The stored form of a password as an SQL blob literal.
std::string PasswordLiteral(const std::string& password) {
    std::string literal = "X'";
    char hex[3];
    for (uint8_t byte : crypto::EncipherPassword(password)) {
        std::snprintf(hex, sizeof hex, "%02X", byte);
        literal += hex;
    }
    return literal + "'";
}

class LoginTest : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        Execute("INSERT INTO tUser (UserID, LoginName, UserName, Password) VALUES (2, 'O''Brien', "
                "'Pat O''Brien', " +
                PasswordLiteral("s3cret'; --") + ")");
        ASSERT_EQ(Open(), S_OK);
    }
    LONG CurUserID() {
        LONG id = -1;
        session_->get_CurUserID(&id);
        return id;
    }
    bool HasAdminStanding() {
        ComPtr<IAdmin> admin;
        return session_->get_Admin(admin.Put()) == S_OK && admin;
    }
};

TEST_F(LoginTest, AdminWithTheEmptyPasswordGetsAdministratorStanding) {
    ASSERT_EQ(Login("Admin", ""), S_OK);
    EXPECT_EQ(CurUserID(), 1);
    EXPECT_TRUE(HasAdminStanding());
    EXPECT_TRUE(Logged(0, "CExeContext::Login", "Admin login successfully!"));
}

// A wrong or differently cased password, an unknown name and crafted names are all refused with
// one message, logged, and leave nobody logged in.
TEST_F(LoginTest, RefusedLoginsAreLoggedAndLeaveNobodyLoggedIn) {
    const std::pair<const char*, const char*> refused[] = {
        {"Admin", "wrong"},   {"Nobody", ""},    {"O'Brien", "S3CRET'; --"},
        {"x' OR '1'='1", ""}, {"Admin' --", ""},
    };
    for (const auto& [name, password] : refused) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Login(name, password), E_FAIL);
        EXPECT_EQ(ErrorDescription(), "User Name or password is incorrect!");
        EXPECT_EQ(CurUserID(), 0);
    }
    EXPECT_TRUE(Logged(0, "CExeContext::Login", "User Name or password is incorrect!"));
}

TEST_F(LoginTest, NameAndPasswordWithQuotesLogIn) {
    ASSERT_EQ(Login("O'Brien", "s3cret'; --"), S_OK);
    EXPECT_EQ(CurUserID(), 2);
    EXPECT_FALSE(HasAdminStanding());
    EXPECT_EQ(ErrorDescription(), "You are not an admin");
    EXPECT_TRUE(Logged(0, "CExeContext::get_Admin", "You are not an admin"));
}

TEST_F(LoginTest, LowerCaseAdminLogsInWithoutAdministratorStanding) {
    ASSERT_EQ(Login("admin", ""), S_OK);
    EXPECT_EQ(CurUserID(), 1);
    EXPECT_FALSE(HasAdminStanding());
}

TEST_F(LoginTest, FailedLoginKeepsTheUserButClearsAdministratorStanding) {
    ASSERT_EQ(Login("Admin", ""), S_OK);
    EXPECT_EQ(Login("O'Brien", "wrong"), E_FAIL);
    EXPECT_EQ(CurUserID(), 1);
    EXPECT_FALSE(HasAdminStanding());
}

TEST_F(LoginTest, ClosedDatabaseFailsWithTheProviderText) {
    Execute("DROP TABLE tUser");
    EXPECT_EQ(Login("Admin", ""), E_FAIL);
    EXPECT_NE(ErrorDescription(), "User Name or password is incorrect!");
    EXPECT_NE(ErrLog().find("[ErrCode]: 2\r\n[Source]: CExeContext::Login"), std::string::npos);
}

} // namespace
} // namespace velmora::test
