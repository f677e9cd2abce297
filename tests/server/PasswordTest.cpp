// A password in a server's address never shows: not in Err.log, not in the description a failing
// member leaves for its caller, not in the text of a data-access error, whether the server is
// reached or not.
#include "ServerTestSupport.h"

#include <regex>

#include "engine/db/NextId.h"

namespace velmora::test {
namespace {

constexpr const char* kSecret = "s3cret";

class PasswordNeverShown : public ServerTest {
  protected:
    // The test database's address with a password for its user, given in the user information.
    std::string WithPassword(const std::string& password) const {
        std::string uri = database_;
        const size_t at = uri.find('@');
        EXPECT_NE(at, std::string::npos) << uri;
        return uri.insert(at, ":" + password);
    }
    // The same server on a port nothing listens on.
    static std::string OnDeadPort(const std::string& uri) {
        return std::regex_replace(uri, std::regex("port=[0-9]+"), "port=1");
    }
    HRESULT OpenSession(const std::string& uri) { return session_->OpenAccessDB(Bstr(uri).Get()); }
    // Nothing written or reported so far holds the password.
    void ExpectNoSecret(const std::string& where) {
        EXPECT_EQ(ErrLog().find(kSecret), std::string::npos) << where << "\n" << ErrLog();
        const std::string description = ErrorDescription();
        EXPECT_EQ(description.find(kSecret), std::string::npos) << where << ": " << description;
    }
    // What opening a connection on the address throws, or "" when it opens.
    static std::string OpenError(const std::string& uri) {
        db::Connection connection;
        try {
            connection.Open(db::MakeConnectionString(uri));
        } catch (const db::DbError& error) {
            return error.Description();
        }
        return "";
    }
};

TEST_F(PasswordNeverShown, AServerThatCannotBeReached) {
    for (const std::string& uri :
         {OnDeadPort(WithPassword(kSecret)), OnDeadPort(database_) + "&password=" + kSecret,
          "postgres" +
              OnDeadPort(WithPassword(kSecret)).substr(std::string("postgresql").size())}) {
        SCOPED_TRACE(db::MaskedDataSource(uri));
        EXPECT_EQ(OpenSession(uri), E_FAIL);
        const std::string description = ErrorDescription();
        EXPECT_EQ(description.find(kSecret), std::string::npos) << description;
        EXPECT_EQ(description, "Open database " + db::MaskedDataSource(uri) + " failed");
        EXPECT_NE(description.find("****"), std::string::npos) << description;
        EXPECT_EQ(ErrLog().find(kSecret), std::string::npos) << ErrLog();
        EXPECT_NE(ErrLog().find("[Source]: CExeContext::OpenAcessDB"), std::string::npos);

        const std::string error = OpenError(uri);
        EXPECT_NE(error, "");
        EXPECT_EQ(error.find(kSecret), std::string::npos) << error;
        EXPECT_NE(error.find("Cannot open database '" + db::MaskedDataSource(uri) + "'"),
                  std::string::npos)
            << error;
    }
    // An engine routine that opens a connection of its own on the session's address.
    EXPECT_EQ(db::GetNextID("NextBugID"), 0);
    ExpectNoSecret("GetNextID");
}

// libpq's own complaint about a password it cannot decode (a '%' that starts no escape) quotes
// the password.
TEST_F(PasswordNeverShown, AnAddressTheClientLibraryCannotRead) {
    for (const std::string& uri :
         {WithPassword(std::string(kSecret) + "%zz"), database_ + "&password=" + kSecret + "%zz"}) {
        SCOPED_TRACE(db::MaskedDataSource(uri));
        EXPECT_EQ(OpenSession(uri), E_FAIL);
        ExpectNoSecret("OpenAccessDB");
        const std::string error = OpenError(uri);
        EXPECT_NE(error, "");
        EXPECT_EQ(error.find(kSecret), std::string::npos) << error;
    }
}

// The server takes the password (the test cluster may trust every local user and ignore it):
// the session works, and whatever it logs afterwards holds no password either.
TEST_F(PasswordNeverShown, AServerThatIsReached) {
    const std::string uri = WithPassword(kSecret);
    ASSERT_EQ(OpenSession(uri), S_OK) << ErrorDescription();
    EXPECT_EQ(Login("Admin", ""), S_OK);
    EXPECT_EQ(Login("Nobody", "x"), E_FAIL);
    ExpectNoSecret("Login");
    // A provider error on that connection: the statement fails, the address stays out of it.
    Execute("DROP TABLE tUserRole");
    EXPECT_EQ(session_->SetCurRole(1), E_FAIL);
    ExpectNoSecret("SetCurRole");
    // Opening a second time, and an engine routine with a connection of its own.
    EXPECT_EQ(OpenSession(uri), S_OK);
    EXPECT_GT(db::GetNextID("NextBugID"), 0);
    db::Recordset rows;
    try {
        rows.Open("SELECT * FROM tNoSuchTable", db::MakeConnectionString(uri),
                  db::CursorType::Keyset, db::LockType::Optimistic);
        ADD_FAILURE() << "a missing table was opened";
    } catch (const db::DbError& error) {
        EXPECT_EQ(error.Description().find(kSecret), std::string::npos) << error.Description();
    }
    EXPECT_EQ(ErrLog().find(kSecret), std::string::npos) << ErrLog();
}

} // namespace
} // namespace velmora::test
