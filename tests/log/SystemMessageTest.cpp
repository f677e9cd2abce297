// System texts of status codes and the message logged for a caught data-access error.
#include "LogTestSupport.h"
#include "engine/db/DbError.h"

namespace velmora::log {
namespace {

using test::LogDirectoryFixture;
using test::ReadFile;

TEST(SystemMessage, NamedStatusCodes) {
    EXPECT_EQ(SystemMessage(static_cast<int32_t>(0x80004005)), "Unspecified error");
    EXPECT_EQ(SystemMessage(static_cast<int32_t>(0x8007000E)),
              "Not enough storage is available to complete this operation.");
    EXPECT_EQ(SystemMessage(static_cast<int32_t>(0x80070057)), "The parameter is incorrect.");
    EXPECT_EQ(SystemMessage(static_cast<int32_t>(0x80004001)), "Not implemented");
    EXPECT_EQ(SystemMessage(static_cast<int32_t>(0x80004003)), "Invalid pointer");
    EXPECT_EQ(SystemMessage(static_cast<int32_t>(0x80004002)), "No such interface supported");
    EXPECT_EQ(SystemMessage(static_cast<int32_t>(0x80070005)), "Access is denied.");
    EXPECT_EQ(SystemMessage(static_cast<int32_t>(0x80040154)), "Class not registered");
}

TEST(SystemMessage, SystemErrorsAloneOrAsStatusCodes) {
    EXPECT_EQ(SystemMessage(2), "The system cannot find the file specified.");
    EXPECT_EQ(SystemMessage(static_cast<int32_t>(0x80070002)),
              "The system cannot find the file specified.");
    EXPECT_EQ(SystemMessage(static_cast<int32_t>(0x80070020)),
              "The process cannot access the file because it is being used by another process.");
}

TEST(SystemMessage, UnnamedDispatchRangeGivesIDispatchErrorNumbers) {
    EXPECT_EQ(SystemMessage(static_cast<int32_t>(0x80040E14)), "IDispatch error #3092");
    EXPECT_EQ(SystemMessage(static_cast<int32_t>(0x80040200)), "IDispatch error #0");
    EXPECT_EQ(SystemMessage(static_cast<int32_t>(0x8004FFFF)), "IDispatch error #65023");
}

TEST(SystemMessage, AnyOtherCodeIsUnknownInUpperCaseHex) {
    EXPECT_EQ(SystemMessage(static_cast<int32_t>(0x800401FF)), "Unknown error 0x800401FF");
    EXPECT_EQ(SystemMessage(static_cast<int32_t>(0x80050000)), "Unknown error 0x80050000");
    EXPECT_EQ(SystemMessage(static_cast<int32_t>(0x8007ABCD)), "Unknown error 0x8007ABCD");
    EXPECT_EQ(SystemMessage(0x1234), "Unknown error 0x1234");
}

TEST(ComposeComErrorMessage, JoinsDescriptionSourceAndSystemText) {
    EXPECT_EQ(ComposeComErrorMessage(static_cast<int32_t>(0x80004005), "Record is locked",
                                     "Velmora.SQLite"),
              "Record is locked\t(Source=Velmora.SQLite,\tMessage=Unspecified error)");
}

using LogComErrorTest = LogDirectoryFixture;

std::string DescriptionLine(const std::string& log) {
    const size_t start = log.find("[Description]: ");
    const size_t end = log.find("\r\n", start);
    return log.substr(start, end - start);
}

TEST_F(LogComErrorTest, UnspecifiedError) {
    LogComError(2, "CBugSet::Update", db::DbError(static_cast<int32_t>(0x80004005), "Busy"));
    const std::string log = ReadFile(LogPath());
    EXPECT_NE(log.find("[ErrCode]: 2\r\n[Source]: CBugSet::Update\r\n"), std::string::npos);
    EXPECT_EQ(DescriptionLine(log),
              "[Description]: Busy\t(Source=Velmora.SQLite,\tMessage=Unspecified error)");
}

TEST_F(LogComErrorTest, ErrorInCommandText) {
    LogComError(
        2, "CDBUtil::GetUserData",
        db::DbError(static_cast<int32_t>(0x80040E14), "near \"FORM\": syntax error", "Provider"));
    EXPECT_EQ(DescriptionLine(ReadFile(LogPath())),
              "[Description]: near \"FORM\": syntax error\t(Source=Provider,\tMessage=IDispatch "
              "error #3092)");
}

TEST_F(LogComErrorTest, UnknownCode) {
    LogComError(0, "CExeContext::ChangePsw", db::DbError(static_cast<int32_t>(0x80030001), ""));
    EXPECT_EQ(DescriptionLine(ReadFile(LogPath())),
              "[Description]: \t(Source=Velmora.SQLite,\tMessage=Unknown error 0x80030001)");
}

} // namespace
} // namespace velmora::log
