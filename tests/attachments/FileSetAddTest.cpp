// Attaching files: the stored row and archive, restoring the bytes, and every way Add fails.
#include "AttachmentTestSupport.h"
#include "engine/db/OleDate.h"

namespace velmora::test {
namespace {

using FileSetAdd = AttachmentTest;

TEST_F(FileSetAdd, StoresARowAndAStandardArchiveOfOneEntry) {
    LocalZone zone;
    const fs::path source = files_ / "logs" / "crash report.txt";
    WriteFile(source, RandomBytes(5000, 10));
    SetModified(source, LocalMoment(2004, 2, 29, 23, 59, 58));
    ComPtr<IFileSet> files = AttachedFiles();
    ComPtr<IFile> file;
    ASSERT_EQ(files->Add(Bstr(source.string()).Get(), file.Put()), S_OK) << ErrorDescription();

    EXPECT_EQ(IdOf(file.Get()), 1); // the first NextAttachmentID
    EXPECT_EQ(NameOf(file.Get()), "crash report.txt");
    LONG size = 0;
    file->get_FileSize(&size);
    EXPECT_EQ(size, 5000);
    DATE date = 0;
    file->get_FileDate(&date);
    EXPECT_DOUBLE_EQ(date, *db::ToOleDate({2004, 2, 29, 23, 59, 58}));
    // The set's list is not extended; the next list read from the table holds the file.
    LONG count = -1;
    files->get_Count(&count);
    EXPECT_EQ(count, 0);
    AttachedFiles()->get_Count(&count);
    EXPECT_EQ(count, 1);

    EXPECT_EQ(QueryText("SELECT BugID || '|' || FileName || '|' || FileSize || '|' || "
                        "typeof(FileDate) FROM tAttachment WHERE AttachmentID = 1"),
              "5|crash report.txt|5000|real");
    const fs::path archive = StoredArchive(1);
    EXPECT_FALSE(UnzipToolRejects(archive));
    const EntryInfo entry = ReadFirstEntry(archive);
    EXPECT_EQ(entry.entries, 1);
    EXPECT_EQ(entry.name, "crash report.txt");
    EXPECT_EQ(entry.info.compression_method, 8u); // deflate
    EXPECT_EQ(entry.info.tmu_date.tm_mday, 29u);
    EXPECT_EQ(entry.info.tmu_date.tm_hour, 23u); // local time
}

TEST_F(FileSetAdd, GetFileRestoresSeveralMegabytesExactlyWithTheirTime) {
    const Bytes content = RandomBytes(3 * 1024 * 1024 + 17, 11);
    WriteFile(files_ / "big.bin", content);
    const time_t moment = LocalMoment(2019, 11, 3, 8, 30, 0);
    SetModified(files_ / "big.bin", moment);
    ASSERT_TRUE(Attach(files_ / "big.bin")) << ErrorDescription();

    // The copy is named as the target path says, whatever the stored name.
    ComPtr<IFile> stored;
    ASSERT_EQ(AttachedFiles()->get_Item(0, stored.Put()), S_OK);
    const fs::path target = dir_ / "copy.dat";
    ASSERT_EQ(stored->GetFile(Bstr(target.string()).Get()), S_OK) << ErrorDescription();
    EXPECT_TRUE(ReadFile(target) == content);
    EXPECT_EQ(Modified(target), moment);
}

TEST_F(FileSetAdd, EmptyFileIsStoredAndRestored) {
    WriteFile(files_ / "empty.log", {});
    ComPtr<IFile> file = Attach(files_ / "empty.log");
    ASSERT_TRUE(file) << ErrorDescription();
    LONG size = -1;
    file->get_FileSize(&size);
    EXPECT_EQ(size, 0);
    const EntryInfo entry = ReadFirstEntry(StoredArchive(IdOf(file.Get())));
    EXPECT_EQ(entry.entries, 1);
    EXPECT_EQ(entry.info.uncompressed_size, 0u);
    ASSERT_EQ(file->GetFile(Bstr((dir_ / "copy.log").string()).Get()), S_OK);
    EXPECT_TRUE(fs::exists(dir_ / "copy.log") && fs::file_size(dir_ / "copy.log") == 0);
}

TEST_F(FileSetAdd, NamesThatCouldCollideStayApart) {
    // Restoring writes "<name>.zip" and extracts the entry "<name>.zip": they must not meet.
    const Bytes zipped = RandomBytes(40000, 12);
    WriteFile(files_ / "bundle.zip", zipped);
    // One file name used twice.
    WriteFile(files_ / "a" / "notes.txt", {'1'});
    WriteFile(files_ / "b" / "notes.txt", {'2'});
    ComPtr<IFile> bundle = Attach(files_ / "bundle.zip");
    ComPtr<IFile> first = Attach(files_ / "a" / "notes.txt");
    ComPtr<IFile> second = Attach(files_ / "b" / "notes.txt");
    ASSERT_TRUE(bundle && first && second) << ErrorDescription();
    ASSERT_EQ(bundle->GetFile(Bstr((dir_ / "bundle.zip").string()).Get()), S_OK);
    EXPECT_TRUE(ReadFile(dir_ / "bundle.zip") == zipped);
    ASSERT_EQ(second->GetFile(Bstr((dir_ / "2.txt").string()).Get()), S_OK);
    ASSERT_EQ(first->GetFile(Bstr((dir_ / "1.txt").string()).Get()), S_OK);
    EXPECT_EQ(ReadFile(dir_ / "1.txt"), Bytes{'1'});
    EXPECT_EQ(ReadFile(dir_ / "2.txt"), Bytes{'2'});
}

TEST_F(FileSetAdd, ARelativeNameMeansTheCurrentFolder) {
    WriteFile(files_ / "relative.txt", {'r'});
    const fs::path previous = fs::current_path();
    fs::current_path(files_);
    ComPtr<IFile> file = Attach("relative.txt");
    fs::current_path(previous);
    ASSERT_TRUE(file) << ErrorDescription();
    EXPECT_EQ(ReadFirstEntry(StoredArchive(IdOf(file.Get()))).name, "relative.txt");
}

TEST_F(FileSetAdd, ASetWithoutABugRefuses) {
    auto files = engine::CreateObject<engine::CFileSet>();
    WriteFile(files_ / "x.txt", {'x'});
    ComPtr<IFile> file;
    EXPECT_EQ(files->Add(Bstr((files_ / "x.txt").string()).Get(), file.Put()), E_FAIL);
    EXPECT_FALSE(file);
    EXPECT_EQ(ErrorDescription(), "Add file to database failed!");
    EXPECT_TRUE(Logged(0, "CFileSet::Add", "BugID is 0, can not continue!"));
    EXPECT_EQ(AttachmentRows(), 0);
}

TEST_F(FileSetAdd, WithoutTheRightNothingIsStoredNorAnIdentifierTaken) {
    ASSERT_EQ(session_->SetCurRole(8), S_OK);
    WriteFile(files_ / "x.txt", {'x'});
    EXPECT_FALSE(Attach(files_ / "x.txt"));
    EXPECT_EQ(ErrorDescription(),
              "You have no right to add attachment, please contact your manager!");
    EXPECT_TRUE(Logged(3, "CFileSet::Add", "No right to perform this action"));
    EXPECT_EQ(AttachmentRows(), 0);
    EXPECT_EQ(QueryText("SELECT NextAttachmentID FROM tNextID"), "1");
}

TEST_F(FileSetAdd, AMissingSourceStoresNothingAndItsIdentifierIsNotReused) {
    EXPECT_FALSE(Attach(files_ / "gone.txt"));
    EXPECT_EQ(ErrorDescription(), "Add file to database failed!");
    EXPECT_TRUE(Logged(4, "CFileSet::SaveFileData", "Zip file failed"));
    EXPECT_FALSE(Attach(""));
    EXPECT_EQ(AttachmentRows(), 0);
    WriteFile(files_ / "here.txt", {'h'});
    ComPtr<IFile> next = Attach(files_ / "here.txt");
    ASSERT_TRUE(next);
    EXPECT_EQ(IdOf(next.Get()), 3);
}

TEST_F(FileSetAdd, AnArchiveAboveTheDatabasesValueLimitIsRefusedCleanly) {
    engine::CFileSet::SetLargestStoredArchiveForTesting(4096);
    WriteFile(files_ / "noise.bin", RandomBytes(20000, 13)); // does not compress
    EXPECT_FALSE(Attach(files_ / "noise.bin"));
    EXPECT_EQ(ErrorDescription(), "Add file to database failed!");
    EXPECT_TRUE(LoggedStarting(4, "CFileSet::SaveFileData", "The packed file takes "));
    EXPECT_EQ(AttachmentRows(), 0);
}

TEST_F(FileSetAdd, ADatabaseErrorIsLoggedAndReported) {
    WriteFile(files_ / "x.txt", {'x'});
    ComPtr<IFileSet> files = AttachedFiles();
    Execute("DROP TABLE tAttachment");
    ComPtr<IFile> file;
    EXPECT_EQ(files->Add(Bstr((files_ / "x.txt").string()).Get(), file.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Add file to database failed!");
    EXPECT_TRUE(LoggedStarting(2, "CFileSet::SaveFileData", ""));
}

} // namespace
} // namespace velmora::test
