#include "SessionTestSupport.h"

namespace velmora::test {
namespace {

using OpenAccessDb = SessionTest;

TEST_F(OpenAccessDb, OpensASeedDatabaseWithAllIdentifiersCleared) {
    ASSERT_EQ(Open(), S_OK);
    ASSERT_EQ(Login("Admin", ""), S_OK);
    ASSERT_EQ(Open(), S_OK); // opening again starts over
    LONG id = -1;
    session_->get_CurUserID(&id);
    EXPECT_EQ(id, 0);
    ComPtr<IAdmin> admin;
    EXPECT_EQ(session_->get_Admin(admin.Put()), E_FAIL);
}

TEST_F(OpenAccessDb, RefusesAnotherDatabaseVersionAndStaysClosed) {
    Execute("UPDATE tSystem SET DBVersion = '1.1'");
    EXPECT_EQ(Open(), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "version of database is not correct");
    EXPECT_TRUE(Logged(0, "CExeContext::OpenAcessDB", "version of database is not correct"));
    EXPECT_FALSE(session_->Connection().IsOpen());
}

TEST_F(OpenAccessDb, MissingFileNamesTheFile) {
    const std::string missing = (dir_ / "nowhere.mdb").string();
    EXPECT_EQ(session_->OpenAccessDB(Bstr(missing).Get()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Open database " + missing + " failed");
    EXPECT_NE(ErrLog().find("[Source]: CExeContext::OpenAcessDB"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(missing)) << "opening must never create a database";
}

TEST_F(OpenAccessDb, FileWithoutTheSystemTableFailsAndCloses) {
    Execute("DROP TABLE tSystem");
    EXPECT_EQ(Open(), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Open Database failed");
    EXPECT_FALSE(session_->Connection().IsOpen());
}

TEST_F(OpenAccessDb, CloseAlwaysSucceedsAndKeepsIdentifiers) {
    ASSERT_EQ(Open(), S_OK);
    ASSERT_EQ(Login("Admin", ""), S_OK);
    EXPECT_EQ(session_->Close(), S_OK);
    EXPECT_EQ(session_->Close(), S_OK);
    LONG id = 0;
    session_->get_CurUserID(&id);
    EXPECT_EQ(id, 1);
}

} // namespace
} // namespace velmora::test
