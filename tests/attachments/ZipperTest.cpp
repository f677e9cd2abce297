// CZipper and CUnzipper on their own: the entry a standard reader sees, and the entry names the
// unzipper refuses.
#include <minizip/zip.h>
#include <zlib.h>

#include <optional>

#include "AttachmentTestSupport.h"
#include "engine/bugs/Unzipper.h"
#include "engine/bugs/Zipper.h"

namespace velmora::test {
namespace {

using engine::CUnzipper;
using engine::CZipper;

// The session fixture's private directory, in a fixed local time zone away from UTC, so that
// local and universal times differ.
class Zipping : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        if (const char* tz = std::getenv("TZ")) savedZone_ = tz;
        setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        tzset();
    }
    void TearDown() override {
        savedZone_ ? setenv("TZ", savedZone_->c_str(), 1) : unsetenv("TZ");
        tzset();
        SessionTest::TearDown();
    }
    // An archive of one entry named as the test likes, written by minizip directly.
    fs::path HandMadeArchive(const std::string& entryName, const Bytes& content) {
        const fs::path archive = dir_ / "hand-made.zip";
        zipFile zip = zipOpen64(archive.c_str(), APPEND_STATUS_CREATE);
        zip_fileinfo info{};
        info.tmz_date = {0, 0, 0, 1, 0, 2010};
        zipOpenNewFileInZip(zip, entryName.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                            Z_DEFLATED, Z_DEFAULT_COMPRESSION);
        zipWriteInFileInZip(zip, content.data(), static_cast<unsigned>(content.size()));
        zipCloseFileInZip(zip);
        zipClose(zip, nullptr);
        return archive;
    }
    bool Extract(const fs::path& archive, const fs::path& out, bool ignoreFolders) {
        CUnzipper unzipper;
        return unzipper.OpenZip(archive) && unzipper.SetOutputFolder(out) &&
               unzipper.UnzipAll(ignoreFolders);
    }

    std::optional<std::string> savedZone_;
};

TEST_F(Zipping, OneDeflatedEntryWithTheFilesNameLocalTimeAndMode) {
    const fs::path source = dir_ / "docs" / "report.txt";
    WriteFile(source, RandomBytes(10000, 1));
    fs::permissions(source, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    SetModified(source, "2004-07-15 13:45");
    CZipper zipper;
    ASSERT_TRUE(zipper.OpenZip(dir_ / "out.zip"));
    ASSERT_TRUE(zipper.AddFileToZip(source, true)) << zipper.LastError();
    ASSERT_TRUE(zipper.CloseZip());
    EXPECT_EQ(zipper.FilesAdded(), 1);
    EXPECT_EQ(zipper.BytesRead(), 10000u);

    EXPECT_TRUE(UnzipToolAccepts(dir_ / "out.zip"));
    const EntryInfo entry = ReadFirstEntry(dir_ / "out.zip");
    EXPECT_EQ(entry.entries, 1);
    EXPECT_EQ(entry.name, "report.txt");
    EXPECT_EQ(entry.info.compression_method, static_cast<uLong>(Z_DEFLATED));
    EXPECT_EQ(entry.info.size_file_extra + entry.info.size_file_comment + entry.info.internal_fa,
              0u);
    // Local time (summer in CET: UTC+2), not universal time.
    const tm_unz& date = entry.info.tmu_date;
    EXPECT_EQ(
        std::vector<uInt>({date.tm_year, date.tm_mon, date.tm_mday, date.tm_hour, date.tm_min}),
        std::vector<uInt>({2004, 6, 15, 13, 45}));
    EXPECT_EQ(entry.info.external_fa >> 16, static_cast<uLong>(S_IFREG | 0640));
    EXPECT_EQ(entry.info.version >> 8, 3u); // made on Unix: the mode is meaningful
}

TEST_F(Zipping, EntryNamesNeverReachOutsideTheOutputFolder) {
    const fs::path out = dir_ / "out";
    EXPECT_FALSE(Extract(HandMadeArchive("../evil.txt", "e"), out, false));
    EXPECT_FALSE(Extract(HandMadeArchive((dir_ / "abs.txt").string(), "a"), out, false));
    EXPECT_FALSE(Extract(HandMadeArchive("a\\..\\..\\win.txt", "w"), out, false));
    EXPECT_FALSE(Extract(HandMadeArchive("sub/..", "d"), out, true));
    EXPECT_FALSE(fs::exists(dir_ / "evil.txt") || fs::exists(dir_ / "abs.txt") ||
                 fs::exists(dir_ / "win.txt"));
    // Ignoring folders keeps only the last part of the name, inside the output folder.
    ASSERT_TRUE(Extract(HandMadeArchive("../../inside.txt", "i"), out, true));
    EXPECT_EQ(ReadFile(out / "inside.txt"), "i");
}

} // namespace
} // namespace velmora::test
