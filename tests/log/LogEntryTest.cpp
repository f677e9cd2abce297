// The byte layout of log entries and the default descriptions.
#include "LogTestSupport.h"

#include <regex>

namespace velmora::log {
namespace {

using test::LogDirectoryFixture;
using test::ReadFile;

const std::string kRule = std::string(44, '-') + "\r\n";

// Splits one entry into the text before the time line, the time line, and the rest.
struct SplitEntry {
    std::string before;
    std::string time;
    std::string after;
};

SplitEntry Split(const std::string& entry) {
    const size_t timeStart = entry.find("[Time]: ");
    const size_t timeEnd = entry.find("\r\n", timeStart);
    if (timeStart == std::string::npos || timeEnd == std::string::npos) return {entry, "", ""};
    return {entry.substr(0, timeStart), entry.substr(timeStart, timeEnd + 2 - timeStart),
            entry.substr(timeEnd + 2)};
}

using LogEntryLayout = LogDirectoryFixture;

TEST_F(LogEntryLayout, EntryIsByteExact) {
    ASSERT_EQ(AppendEntry("Err.log", 2, "CBugSet::Open", "Syntax error"), std::nullopt);
    const SplitEntry entry = Split(ReadFile(LogPath()));
    EXPECT_EQ(entry.before, kRule);
    EXPECT_TRUE(std::regex_match(entry.time, std::regex("\\[Time\\]: [^\r\n]+,[^\r\n]+\r\n")))
        << entry.time;
    EXPECT_EQ(entry.after, "[ErrCode]: 2\r\n"
                           "[Source]: CBugSet::Open\r\n"
                           "[Description]: Syntax error\r\n"
                           "\r\n");
}

TEST_F(LogEntryLayout, TimeThenDateInTheCLocale) {
    ASSERT_EQ(AppendEntry("Err.log", 0, "S", "D"), std::nullopt);
    const SplitEntry entry = Split(ReadFile(LogPath()));
    EXPECT_TRUE(std::regex_match(
        entry.time, std::regex("\\[Time\\]: \\d\\d:\\d\\d:\\d\\d,\\d\\d/\\d\\d/\\d\\d\r\n")))
        << entry.time;
}

TEST_F(LogEntryLayout, LineBreaksInsideTextsBecomeCrLf) {
    ASSERT_EQ(AppendEntry("Err.log", 2, "S", "first\nsecond\r\nthird"), std::nullopt);
    EXPECT_EQ(Split(ReadFile(LogPath())).after, "[ErrCode]: 2\r\n"
                                                "[Source]: S\r\n"
                                                "[Description]: first\r\nsecond\r\nthird\r\n"
                                                "\r\n");
}

TEST_F(LogEntryLayout, TwoCallsAppendTwoEntries) {
    ASSERT_EQ(AppendEntry("Err.log", 0, "First::One", "one"), std::nullopt);
    ASSERT_EQ(AppendEntry("Err.log", 3, "Second::Two", "two"), std::nullopt);
    const std::string text = ReadFile(LogPath());

    const size_t second = text.find(kRule, 1);
    ASSERT_NE(second, std::string::npos);
    EXPECT_EQ(text.rfind(kRule, 0), 0u);
    EXPECT_EQ(text.find(kRule, second + 1), std::string::npos);
    EXPECT_EQ(Split(text.substr(0, second)).after,
              "[ErrCode]: 0\r\n[Source]: First::One\r\n[Description]: one\r\n\r\n");
    EXPECT_EQ(Split(text.substr(second)).after,
              "[ErrCode]: 3\r\n[Source]: Second::Two\r\n[Description]: two\r\n\r\n");
}

TEST_F(LogEntryLayout, EmptyDescriptionTakesTheCodesDefault) {
    ASSERT_EQ(AppendEntry("a.log", 0, "S", ""), std::nullopt);
    ASSERT_EQ(AppendEntry("b.log", 1, "S", ""), std::nullopt);
    ASSERT_EQ(AppendEntry("c.log", 5, "S", ""), std::nullopt);
    EXPECT_EQ(Split(ReadFile(LogPath("a.log"))).after,
              "[ErrCode]: 0\r\n[Source]: S\r\n[Description]: Unknown Error\r\n\r\n");
    EXPECT_EQ(Split(ReadFile(LogPath("b.log"))).after,
              "[ErrCode]: 1\r\n[Source]: S\r\n[Description]: Exceed Array's bound\r\n\r\n");
    EXPECT_EQ(Split(ReadFile(LogPath("c.log"))).after,
              "[ErrCode]: 5\r\n[Source]: S\r\n[Description]: \r\n\r\n");
}

using LogErrorRoutine = LogDirectoryFixture;

TEST_F(LogErrorRoutine, WritesToErrLog) {
    LogError(9, "CDBUtil::GetNextID", "");
    EXPECT_EQ(Split(ReadFile(LogPath("Err.log"))).after,
              "[ErrCode]: 9\r\n[Source]: CDBUtil::GetNextID\r\n[Description]: \r\n\r\n");
}

TEST(LogErrorFailure, IsSilentWhenTheLogCannotBeWritten) {
    test::TempDir dir;
    SetLogDirectoryForTesting((dir.Path() / "missing").string());
    EXPECT_NO_THROW(LogError(0, "S", "text"));
    SetLogDirectoryForTesting("");
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "missing"));
}

} // namespace
} // namespace velmora::log
