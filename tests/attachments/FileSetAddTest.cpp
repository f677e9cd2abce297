// Attaching files: the stored row and archive, restoring the bytes, and every way Add fails.
#include "AttachmentTestSupport.h"
#include "engine/db/OleDate.h"

namespace velmora::test {
namespace {

using FileSetAdd = AttachmentTest;

TEST_F(FileSetAdd, StoresARowAndAStandardArchiveOfOneEntry) {
    const fs::path source = files_ / "logs" / "crash report.txt";
    WriteFile(source, RandomBytes(5000, 10));
    SetModified(source, "2004-02-29 23:59");
    ComPtr<IFileSet> files = AttachedFiles();
    ComPtr<IFile> file;
    ASSERT_EQ(files->Add(Bstr(source.string()).Get(), file.Put()), S_OK) << ErrorDescription();

    EXPECT_EQ(IdOf(file.Get()), 1); // the first NextAttachmentID
    Bstr name;
    file->get_FileName(name.Put());
    EXPECT_EQ(name.Utf8(), "crash report.txt");
    LONG size = 0;
    file->get_FileSize(&size);
    EXPECT_EQ(size, 5000);
    DATE date = 0;
    file->get_FileDate(&date);
    EXPECT_DOUBLE_EQ(date, *db::ToOleDate({2004, 2, 29, 23, 59, 0}));

    EXPECT_EQ(Query("SELECT BugID || '|' || FileName || '|' || FileSize FROM tAttachment "
                    "WHERE AttachmentID = 1"),
              "5|crash report.txt|5000");
    if (!TestDataSource::UsesServer()) { // the file's storage class: a date is kept as a number
        EXPECT_EQ(Query("SELECT typeof(FileDate) FROM tAttachment WHERE AttachmentID = 1"), "real");
    }
    const EntryInfo entry = ReadFirstEntry(StoredArchive(1)); // the archive's form: ZipperTest
    EXPECT_EQ(entry.entries, 1);
    EXPECT_EQ(entry.name, "crash report.txt");
}

// Several megabytes and an empty file come back byte for byte with their time, named as the
// target path says whatever the stored name.
TEST_F(FileSetAdd, GetFileRestoresTheBytesExactlyWithTheirTime) {
    for (const Bytes& content : {RandomBytes(3 * 1024 * 1024 + 17, 11), Bytes{}}) {
        const fs::path source = files_ / (content.empty() ? "empty.log" : "big.bin");
        WriteFile(source, content);
        const time_t moment = SetModified(source, "2019-11-03 08:30");
        ComPtr<IFile> file = Attach(source);
        ASSERT_TRUE(file) << ErrorDescription();
        const fs::path target = dir_ / ("copy of " + source.filename().string());
        ASSERT_EQ(GetFile(file.Get(), target), S_OK) << ErrorDescription();
        EXPECT_TRUE(ReadFile(target) == content);
        EXPECT_EQ(Modified(target), moment);
    }
}

// Restoring writes "<name>.zip" and extracts the entry "<name>.zip"; one file name may be used
// twice: they must not meet.
TEST_F(FileSetAdd, NamesThatCouldCollideStayApart) {
    const Bytes zipped = RandomBytes(40000, 12);
    WriteFile(files_ / "bundle.zip", zipped);
    WriteFile(files_ / "a" / "notes.txt", "1");
    WriteFile(files_ / "b" / "notes.txt", "2");
    ComPtr<IFile> bundle = Attach(files_ / "bundle.zip");
    ComPtr<IFile> first = Attach(files_ / "a" / "notes.txt");
    ComPtr<IFile> second = Attach(files_ / "b" / "notes.txt");
    ASSERT_TRUE(bundle && first && second) << ErrorDescription();
    ASSERT_EQ(GetFile(bundle.Get(), dir_ / "bundle.zip"), S_OK);
    EXPECT_TRUE(ReadFile(dir_ / "bundle.zip") == zipped);
    ASSERT_EQ(GetFile(second.Get(), dir_ / "2.txt"), S_OK);
    ASSERT_EQ(GetFile(first.Get(), dir_ / "1.txt"), S_OK);
    EXPECT_EQ(ReadFile(dir_ / "1.txt") + ReadFile(dir_ / "2.txt"), "12");
}

TEST_F(FileSetAdd, WithoutABugOrTheRightNothingIsStoredNorAnIdentifierTaken) {
    WriteFile(files_ / "x.txt", "x");
    EXPECT_TRUE(Refused(AddResult(files_ / "x.txt", engine::CreateObject<engine::CFileSet>().Get()),
                        "Add file to database failed!", 0, "CFileSet::Add",
                        "BugID is 0, can not continue!"));
    ASSERT_EQ(session_->SetCurRole(8), S_OK);
    EXPECT_TRUE(Refused(AddResult(files_ / "x.txt"),
                        "You have no right to add attachment, please contact your manager!", 3,
                        "CFileSet::Add", "No right to perform this action"));
    EXPECT_EQ(Query("SELECT (SELECT COUNT(*) FROM tAttachment) || '/' || NextAttachmentID FROM "
                    "tNextID"),
              "0/1");
}

TEST_F(FileSetAdd, AMissingSourceStoresNothingAndItsIdentifierIsNotReused) {
    EXPECT_TRUE(Refused(AddResult(files_ / "gone.txt"), "Add file to database failed!", 4,
                        "CFileSet::SaveFileData", "Zip file failed"));
    EXPECT_EQ(AddResult(""), E_FAIL);
    EXPECT_EQ(Query("SELECT COUNT(*) FROM tAttachment"), "0");
    WriteFile(files_ / "here.txt", "h");
    ComPtr<IFile> next = Attach(files_ / "here.txt");
    ASSERT_TRUE(next);
    EXPECT_EQ(IdOf(next.Get()), 3);
}

// The list was read while the bug existed; another client deleted the bug (with its
// attachments) before the file was added. Storing the file anyway would leave a row no bug owns.
TEST_F(FileSetAdd, ABugDeletedMeanwhileGetsNoAttachment) {
    WriteFile(files_ / "late.txt", "too late");
    ComPtr<IFileSet> files = AttachedFiles();
    Execute("DELETE FROM tBugReport WHERE BugID = 5");
    EXPECT_TRUE(Refused(AddResult(files_ / "late.txt", files.Get()), "Add file to database failed!",
                        0, "CFileSet::SaveFileData", "Bug(ID=5) does not exist"));
    EXPECT_EQ(Query("SELECT COUNT(*) FROM tAttachment"), "0");

    // Deleted while the identifier was being taken, after every earlier look at the bug.
    Execute("INSERT INTO tBugReport (BugID, BugType, Description) VALUES (6, 0, 'racing')");
    CreateTrigger("delete_racing_bug", "AFTER", "UPDATE OF NextAttachmentID", "tNextID", "",
                  "DELETE FROM tBugReport WHERE BugID = 6");
    EXPECT_TRUE(Refused(AddResult(files_ / "late.txt", AttachedFiles(6).Get()),
                        "Add file to database failed!", 0, "CFileSet::SaveFileData",
                        "Bug(ID=6) does not exist"));
    EXPECT_EQ(Query("SELECT COUNT(*) FROM tAttachment"), "0");
}

TEST_F(FileSetAdd, AnArchiveTooLargeOrADatabaseErrorIsRefusedCleanly) {
    engine::CFileSet::SetLargestStoredArchiveForTesting(4096);
    WriteFile(files_ / "noise.bin", RandomBytes(20000, 13)); // does not compress
    EXPECT_TRUE(Refused(AddResult(files_ / "noise.bin"), "Add file to database failed!", 4,
                        "CFileSet::SaveFileData", "The packed file takes ", false));
    EXPECT_EQ(Query("SELECT COUNT(*) FROM tAttachment"), "0");

    engine::CFileSet::SetLargestStoredArchiveForTesting(0);
    ComPtr<IFileSet> files = AttachedFiles();
    Execute("DROP TABLE tAttachment");
    EXPECT_TRUE(Refused(AddResult(files_ / "noise.bin", files.Get()),
                        "Add file to database failed!", 2, "CFileSet::SaveFileData", "", false));
}

} // namespace
} // namespace velmora::test
