// A bug's AttachedFiles: a new list from tAttachment on every call.
#include "AttachmentTestSupport.h"

namespace velmora::test {
namespace {

using BugAttachments = AttachmentTest;

TEST_F(BugAttachments, ListsTheBugsRowsInNewObjectsOnEveryCall) {
    Execute("INSERT INTO tAttachment (AttachmentID, BugID, FileName, FileSize, FileDate) VALUES "
            "(10, 5, 'a.txt', 12, 38000.25), (11, 6, 'other bug.txt', 1, 1), "
            "(12, 5, NULL, NULL, NULL)");
    ComPtr<IFileSet> files = AttachedFiles();
    LONG count = 0;
    files->get_Count(&count);
    ASSERT_EQ(count, 2);
    ComPtr<IFile> file;
    for (LONG index : {0, 1}) {
        files->get_Item(index, file.Put());
        LONG size = -1;
        DATE date = -1;
        file->get_FileSize(&size);
        file->get_FileDate(&date);
        EXPECT_EQ(IdOf(file.Get()), index == 0 ? 10 : 12);
        EXPECT_EQ(NameOf(file.Get()), index == 0 ? "a.txt" : "");
        EXPECT_EQ(size, index == 0 ? 12 : 0);
        EXPECT_EQ(date, index == 0 ? 38000.25 : 0.0);
    }
    ComPtr<IFileSet> again = AttachedFiles();
    ComPtr<IFile> same;
    again->get_Item(1, same.Put());
    EXPECT_NE(again.Get(), files.Get());
    EXPECT_NE(same.Get(), file.Get());
    EXPECT_EQ(IdOf(same.Get()), 12);
}

TEST_F(BugAttachments, ANewBugHasAnEmptySetWithoutBug) {
    ComPtr<IFileSet> files = AttachedFiles(0);
    ASSERT_TRUE(files);
    LONG value = -1;
    files->get_Count(&value);
    EXPECT_EQ(value, 0);
    files->get_BugID(&value);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(engine::CreateObject<engine::CBug>()->get_AttachedFiles(nullptr), E_POINTER);
}

TEST_F(BugAttachments, ADatabaseErrorStillHandsOutASetWithoutBugOrSession) {
    Execute("DROP TABLE tAttachment");
    ComPtr<IFileSet> files = AttachedFiles();
    ASSERT_TRUE(files);
    EXPECT_EQ(ErrorDescription(), "Get bug's attachment failed");
    EXPECT_TRUE(LoggedStarting(2, "CBug::get_AttachedFiles", ""));
    LONG bugID = -1;
    files->get_BugID(&bugID);
    EXPECT_EQ(bugID, 0);
    ComPtr<IExeContext> context;
    files->get_ExeContext(context.Put());
    EXPECT_FALSE(context);
}

} // namespace
} // namespace velmora::test
