// CZipper and CUnzipper on their own: the archive a standard reader sees, round trips, and the
// paths and archives they refuse.
#include <minizip/zip.h>
#include <zlib.h>

#include "AttachmentTestSupport.h"
#include "engine/bugs/Unzipper.h"
#include "engine/bugs/Zipper.h"

namespace velmora::test {
namespace {

using engine::CUnzipper;
using engine::CZipper;

class Zipping : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "velmora-zip-XXXXXX");
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
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
    bool Zip(const fs::path& source, const fs::path& archive) {
        CZipper zipper;
        return zipper.OpenZip(archive) && zipper.AddFileToZip(source, true) && zipper.CloseZip();
    }
    bool Extract(const fs::path& archive, const fs::path& out, bool ignoreFolders) {
        CUnzipper unzipper;
        return unzipper.OpenZip(archive) && unzipper.SetOutputFolder(out) &&
               unzipper.UnzipAll(ignoreFolders);
    }

    fs::path dir_;
};

TEST_F(Zipping, OneDeflatedEntryWithTheFilesNameLocalTimeAndMode) {
    LocalZone zone;
    const fs::path source = dir_ / "docs" / "report.txt";
    WriteFile(source, RandomBytes(10000, 1));
    fs::permissions(source, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    SetModified(source, LocalMoment(2004, 7, 15, 13, 45, 30));
    CZipper zipper;
    ASSERT_TRUE(zipper.OpenZip(dir_ / "out.zip"));
    ASSERT_TRUE(zipper.AddFileToZip(source, true)) << zipper.LastError();
    ASSERT_TRUE(zipper.CloseZip());
    EXPECT_EQ(zipper.FilesAdded(), 1);
    EXPECT_EQ(zipper.BytesRead(), 10000u);

    EXPECT_FALSE(UnzipToolRejects(dir_ / "out.zip"));
    const EntryInfo entry = ReadFirstEntry(dir_ / "out.zip");
    EXPECT_EQ(entry.entries, 1);
    EXPECT_EQ(entry.name, "report.txt");
    EXPECT_EQ(entry.info.compression_method, static_cast<uLong>(Z_DEFLATED));
    EXPECT_EQ(entry.info.size_file_extra + entry.info.size_file_comment + entry.info.internal_fa,
              0u);
    // Local time (summer in CET: UTC+2), not universal time.
    const tm_unz& date = entry.info.tmu_date;
    EXPECT_EQ(std::vector<uInt>({date.tm_year, date.tm_mon, date.tm_mday, date.tm_hour, date.tm_min,
                                 date.tm_sec}),
              std::vector<uInt>({2004, 6, 15, 13, 45, 30}));
    EXPECT_EQ(entry.info.external_fa >> 16, static_cast<uLong>(S_IFREG | 0640));
    EXPECT_EQ(entry.info.version >> 8, 3u); // made on Unix: the mode is meaningful
}

TEST_F(Zipping, RoundTripRestoresBytesAndModificationTime) {
    const Bytes content = RandomBytes(300000, 2);
    WriteFile(dir_ / "in" / "data.bin", content);
    const time_t moment = LocalMoment(2011, 1, 2, 3, 4, 6);
    SetModified(dir_ / "in" / "data.bin", moment);
    ASSERT_TRUE(Zip(dir_ / "in" / "data.bin", dir_ / "a.zip"));
    ASSERT_TRUE(Extract(dir_ / "a.zip", dir_ / "out" / "deeper", true));
    EXPECT_TRUE(ReadFile(dir_ / "out" / "deeper" / "data.bin") == content);
    EXPECT_EQ(Modified(dir_ / "out" / "deeper" / "data.bin"), moment);
}

TEST_F(Zipping, KeptFoldersAreRelativeToTheRootAndNeverLeaveIt) {
    WriteFile(dir_ / "root" / "sub" / "a.txt", {'a'});
    WriteFile(dir_ / "root" / "b.txt", {'b'});
    WriteFile(dir_ / "elsewhere.txt", {'c'});
    const std::string root = (dir_ / "root").string();
    CZipper zipper;
    ASSERT_TRUE(zipper.OpenZip(dir_ / "k.zip", root));
    EXPECT_TRUE(zipper.AddFileToZip("sub/a.txt", false));
    EXPECT_TRUE(zipper.AddFileToZip(root + "/b.txt", false));
    EXPECT_FALSE(zipper.AddFileToZip((dir_ / "elsewhere.txt").string(), false));
    EXPECT_FALSE(zipper.AddFileToZip("..\\elsewhere.txt", false));
    EXPECT_FALSE(zipper.AddFileToZip("sub/../../elsewhere.txt", false));
    EXPECT_EQ(zipper.FilesAdded(), 2);
    ASSERT_TRUE(zipper.CloseZip());
    ASSERT_TRUE(Extract(dir_ / "k.zip", dir_ / "out", false));
    EXPECT_EQ(ReadFile(dir_ / "out" / "sub" / "a.txt"), Bytes{'a'});
    EXPECT_EQ(ReadFile(dir_ / "out" / "b.txt"), Bytes{'b'});
}

TEST_F(Zipping, MissingFileFolderOrArchiveFailsWithAReason) {
    CZipper zipper;
    EXPECT_FALSE(zipper.AddFileToZip(dir_ / "x.txt", true));
    EXPECT_FALSE(zipper.CloseZip());
    ASSERT_TRUE(zipper.OpenZip(dir_ / "m.zip"));
    EXPECT_FALSE(zipper.OpenZip(dir_ / "other.zip"));
    EXPECT_FALSE(zipper.AddFileToZip(dir_ / "missing.txt", true));
    EXPECT_NE(zipper.LastError().find("missing.txt"), std::string::npos);
    EXPECT_FALSE(zipper.AddFileToZip(dir_, true)); // a folder is not a file
    EXPECT_EQ(zipper.FilesAdded(), 0);
    EXPECT_TRUE(zipper.CloseZip());

    WriteFile(dir_ / "plain", {'p'});
    CUnzipper unzipper;
    EXPECT_FALSE(unzipper.SetOutputFolder((dir_ / "plain").string()));
    EXPECT_FALSE(unzipper.UnzipAll(true));
}

TEST_F(Zipping, EntryNamesNeverReachOutsideTheOutputFolder) {
    const fs::path out = dir_ / "out";
    EXPECT_FALSE(Extract(HandMadeArchive("../evil.txt", {'e'}), out, false));
    EXPECT_FALSE(Extract(HandMadeArchive((dir_ / "abs.txt").string(), {'a'}), out, false));
    EXPECT_FALSE(Extract(HandMadeArchive("a\\..\\..\\win.txt", {'w'}), out, false));
    EXPECT_FALSE(Extract(HandMadeArchive("sub/..", {'d'}), out, true));
    EXPECT_FALSE(fs::exists(dir_ / "evil.txt") || fs::exists(dir_ / "abs.txt") ||
                 fs::exists(dir_ / "win.txt"));
    // Ignoring folders keeps only the last part of the name, inside the output folder.
    ASSERT_TRUE(Extract(HandMadeArchive("../../inside.txt", {'i'}), out, true));
    EXPECT_EQ(ReadFile(out / "inside.txt"), Bytes{'i'});
}

TEST_F(Zipping, DamagedArchivesFailAndLeaveNoPartialFile) {
    WriteFile(dir_ / "junk.zip", RandomBytes(5000, 3));
    EXPECT_FALSE(Extract(dir_ / "junk.zip", dir_ / "out", true));

    // A sound directory over damaged compressed data: the inflater or the CRC catches it.
    const fs::path archive = HandMadeArchive("victim.bin", RandomBytes(200000, 4));
    Bytes bytes = ReadFile(archive);
    for (size_t i = 1000; i < 1100; ++i)
        bytes[i] = static_cast<char>(bytes[i] ^ 0x5a);
    WriteFile(archive, bytes);
    EXPECT_FALSE(Extract(archive, dir_ / "out", true));
    EXPECT_FALSE(fs::exists(dir_ / "out" / "victim.bin"));
}

} // namespace
} // namespace velmora::test
