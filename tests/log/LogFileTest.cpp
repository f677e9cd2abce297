// Failures of writing and removing log files, and Clear.
#include "LogTestSupport.h"

namespace velmora::log {
namespace {

using test::LogDirectoryFixture;
using test::ReadFile;
using test::TempDir;

using ClearLogTest = LogDirectoryFixture;

TEST_F(ClearLogTest, DeletesAnExistingLogAndTheNextEntryStartsAfresh) {
    ASSERT_EQ(AppendEntry("Err.log", 0, "S", "old"), std::nullopt);
    EXPECT_EQ(ClearLog("Err.log"), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(LogPath()));

    ASSERT_EQ(AppendEntry("Err.log", 0, "S", "new"), std::nullopt);
    const std::string text = ReadFile(LogPath());
    EXPECT_EQ(text.find("old"), std::string::npos);
    EXPECT_NE(text.find("[Description]: new\r\n"), std::string::npos);
}

TEST_F(ClearLogTest, MissingLogGivesCantOpenWithTheFullPath) {
    EXPECT_EQ(ClearLog("Err.log"), "Can't open " + dir_.WithSlash() + "Err.log");
}

TEST_F(ClearLogTest, FailedDeleteGivesTheFileSystemsMessage) {
    std::filesystem::create_directory(LogPath());
    std::ofstream(LogPath() / "inside") << "x";
    const auto message = ClearLog("Err.log");
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(*message, std::generic_category().message(EISDIR));
    EXPECT_TRUE(std::filesystem::exists(LogPath() / "inside"));
}

TEST_F(ClearLogTest, OnlyTheNamedFileIsDeleted) {
    ASSERT_EQ(AppendEntry("Err.log", 0, "S", "a"), std::nullopt);
    ASSERT_EQ(AppendEntry("Other.log", 0, "S", "b"), std::nullopt);
    EXPECT_EQ(ClearLog("Other.log"), std::nullopt);
    EXPECT_TRUE(std::filesystem::exists(LogPath()));
}

TEST(AppendEntryFailure, MissingDirectoryGivesTheMessageAndWritesNothing) {
    TempDir dir;
    SetLogDirectoryForTesting((dir.Path() / "gone").string() + "/");
    const auto message = AppendEntry("Err.log", 0, "S", "text");
    SetLogDirectoryForTesting("");
    EXPECT_EQ(message, std::generic_category().message(ENOENT));
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

TEST(AppendEntryFailure, ReadOnlyDirectoryGivesTheMessageAndWritesNothing) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    TempDir dir;
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_read |
                                                 std::filesystem::perms::owner_exec);
    SetLogDirectoryForTesting(dir.WithSlash());
    const auto message = AppendEntry("Err.log", 0, "S", "text");
    SetLogDirectoryForTesting("");
    EXPECT_EQ(message, std::generic_category().message(EACCES));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "Err.log"));
}

TEST(AppendEntryFailure, DirectoryInPlaceOfTheFileGivesTheMessage) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path() / "Err.log");
    SetLogDirectoryForTesting(dir.WithSlash());
    const auto message = AppendEntry("Err.log", 0, "S", "text");
    SetLogDirectoryForTesting("");
    EXPECT_EQ(message, std::generic_category().message(EISDIR));
}

TEST(AppendEntryFailure, FullDeviceGivesTheMessage) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    SetLogDirectoryForTesting("/dev/");
    const auto message = AppendEntry("full", 0, "S", "text");
    SetLogDirectoryForTesting("");
    EXPECT_EQ(message, std::generic_category().message(ENOSPC));
}

} // namespace
} // namespace velmora::log
