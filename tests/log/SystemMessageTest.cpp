// System texts of status codes and the message logged for a caught data-access error.
#include "LogTestSupport.h"
#include "engine/db/DbError.h"

namespace velmora::log {
namespace {

using test::LogDirectoryFixture;
using test::ReadFile;

// One or two codes of each kind: named status codes, system errors alone or wrapped, the
// unnamed dispatch range at both ends, and codes just outside it.
TEST(SystemMessage, EachKindOfCodeGetsItsText) {
    const struct {
        uint32_t code;
        const char* text;
    } cases[] = {
        {0x80004005, "Unspecified error"},
        {0x80040154, "Class not registered"},
        {2, "The system cannot find the file specified."},
        {0x80070002, "The system cannot find the file specified."},
        {0x80040E14, "IDispatch error #3092"},
        {0x80040200, "IDispatch error #0"},
        {0x8004FFFF, "IDispatch error #65023"},
        {0x800401FF, "Unknown error 0x800401FF"},
        {0x80050000, "Unknown error 0x80050000"},
        {0x8007ABCD, "Unknown error 0x8007ABCD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SystemMessage(static_cast<int32_t>(c.code)), c.text) << std::hex << c.code;
}

using LogComErrorTest = LogDirectoryFixture;

TEST_F(LogComErrorTest, DescriptionJoinsTheErrorsTextSourceAndSystemText) {
    LogComError(2, "CBugSet::Update", db::DbError(static_cast<int32_t>(0x80004005), "Busy"));
    LogComError(0, "CDBUtil::GetUserData",
                db::DbError(static_cast<int32_t>(0x80040E14), "near \"FORM\"", "Provider"));
    const std::string log = ReadFile(LogPath());
    EXPECT_NE(log.find("[ErrCode]: 2\r\n[Source]: CBugSet::Update\r\n[Description]: Busy\t(Source="
                       "Velmora.SQLite,\tMessage=Unspecified error)\r\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("[Description]: near \"FORM\"\t(Source=Provider,\tMessage=IDispatch error "
                       "#3092)\r\n"),
              std::string::npos)
        << log;
}

} // namespace
} // namespace velmora::log
