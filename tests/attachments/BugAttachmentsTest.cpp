// A bug's AttachedFiles: its rows of tAttachment, or an empty list.
#include "AttachmentTestSupport.h"

namespace velmora::test {
namespace {

using BugAttachments = AttachmentTest;

TEST_F(BugAttachments, ListsTheBugsRowsWithNullColumnsAsEmptyValues) {
    Execute("INSERT INTO tAttachment (AttachmentID, BugID, FileName, FileSize, FileDate) VALUES "
            "(10, 5, 'a.txt', 12, 38000.25), (12, 5, NULL, NULL, NULL)");
    ComPtr<IFileSet> files = AttachedFiles();
    LONG count = 0;
    files->get_Count(&count);
    ASSERT_EQ(count, 2);
    ComPtr<IFile> file;
    std::string listed;
    for (LONG index : {0, 1}) {
        files->get_Item(index, file.Put());
        LONG size = -1;
        DATE date = -1;
        Bstr name;
        file->get_FileSize(&size);
        file->get_FileDate(&date);
        file->get_FileName(name.Put());
        listed += std::to_string(IdOf(file.Get())) + "|" + name.Utf8() + "|" +
                  std::to_string(size) + "|" + std::to_string(date) + ";";
    }
    EXPECT_EQ(listed, "10|a.txt|12|38000.250000;12||0|0.000000;");
}

// A new bug, and a bug whose list cannot be read, still hand out an empty set without a bug.
TEST_F(BugAttachments, ANewBugOrADatabaseErrorGivesAnEmptySetWithoutBug) {
    LONG bugID = -1;
    AttachedFiles(0)->get_BugID(&bugID);
    EXPECT_EQ(bugID, 0);
    EXPECT_EQ(engine::CreateObject<engine::CBug>()->get_AttachedFiles(nullptr), E_POINTER);

    Execute("DROP TABLE tAttachment");
    ComPtr<IFileSet> files = AttachedFiles();
    ASSERT_TRUE(files);
    EXPECT_EQ(ErrorDescription(), "Get bug's attachment failed");
    EXPECT_NE(ErrLog().find("[ErrCode]: 2\r\n[Source]: CBug::get_AttachedFiles\r\n"),
              std::string::npos);
    LONG count = -1;
    files->get_BugID(&bugID);
    files->get_Count(&count);
    EXPECT_EQ(bugID, 0);
    EXPECT_EQ(count, 0);
    ComPtr<IExeContext> context;
    files->get_ExeContext(context.Put());
    EXPECT_FALSE(context);
}

} // namespace
} // namespace velmora::test
