// Failures of writing and removing log files, and Clear.
#include "LogTestSupport.h"

namespace velmora::log {
namespace {

using test::LogDirectoryFixture;
using test::ReadFile;
using test::TempDir;

using ClearLogTest = LogDirectoryFixture;

TEST_F(ClearLogTest, DeletesOnlyTheNamedLogAndTheNextEntryStartsAfresh) {
    ASSERT_EQ(AppendEntry("Err.log", 0, "S", "old"), std::nullopt);
    ASSERT_EQ(AppendEntry("Other.log", 0, "S", "b"), std::nullopt);
    EXPECT_EQ(ClearLog("Err.log"), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(LogPath()));
    EXPECT_TRUE(std::filesystem::exists(LogPath("Other.log")));

    ASSERT_EQ(AppendEntry("Err.log", 0, "S", "new"), std::nullopt);
    const std::string text = ReadFile(LogPath());
    EXPECT_EQ(text.find("old"), std::string::npos);
    EXPECT_NE(text.find("[Description]: new\r\n"), std::string::npos);
}

TEST_F(ClearLogTest, MissingLogOrFailedDeleteGivesAMessage) {
    EXPECT_EQ(ClearLog("Err.log"), "Can't open " + dir_.WithSlash() + "Err.log");

    std::filesystem::create_directory(LogPath());
    std::ofstream(LogPath() / "inside") << "x";
    EXPECT_EQ(ClearLog("Err.log"), std::generic_category().message(EISDIR));
    EXPECT_TRUE(std::filesystem::exists(LogPath() / "inside"));
}

// A file that cannot be opened, and a write that fails once the file is open: the file
// system's message comes back (LogError stays silent) and nothing is written.
TEST(AppendEntryFailure, GivesTheFileSystemsMessageAndWritesNothing) {
    TempDir dir;
    SetLogDirectoryForTesting((dir.Path() / "gone").string() + "/");
    EXPECT_EQ(AppendEntry("Err.log", 0, "S", "text"), std::generic_category().message(ENOENT));
    LogError(0, "S", "text"); // silent: logging never changes an operation's outcome
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
    if (std::filesystem::exists("/dev/full")) {
        SetLogDirectoryForTesting("/dev/");
        EXPECT_EQ(AppendEntry("full", 0, "S", "text"), std::generic_category().message(ENOSPC));
    }
    SetLogDirectoryForTesting("");
}

} // namespace
} // namespace velmora::log
