// The attachment list: Remove members change the table and the list, Delete members and Append
// the list alone; missing rights and indexes out of range are refused with their texts.
#include <vector>

#include "AttachmentTestSupport.h"

namespace velmora::test {
namespace {

constexpr const char* kSeeLog = "Some error has occured, please see err.log!";

class FileSetList : public AttachmentTest {
  protected:
    void SetUp() override {
        AttachmentTest::SetUp();
        for (const char* name : {"one.txt", "two.txt", "three.txt"}) {
            WriteFile(files_ / name, name);
            ASSERT_TRUE(Attach(files_ / name)) << ErrorDescription();
        }
        Execute("INSERT INTO tAttachment (AttachmentID, BugID, FileName) VALUES (4, 6, 'other')");
        files = AttachedFiles();
    }
    // The IDs of the listed files, in order.
    std::vector<LONG> Listed() {
        LONG count = 0;
        files->get_Count(&count);
        std::vector<LONG> ids;
        for (LONG i = 0; i < count; ++i) {
            ComPtr<IFile> file;
            EXPECT_EQ(files->get_Item(i, file.Put()), S_OK);
            ids.push_back(IdOf(file.Get()));
        }
        return ids;
    }
    Bytes StoredIDs() {
        return QueryList("SELECT AttachmentID FROM tAttachment ORDER BY AttachmentID");
    }

    ComPtr<IFileSet> files;
};

// The list holds the bug's own rows only; Item hands out the listed objects themselves.
TEST_F(FileSetList, ItemHandsOutTheListedObjectsOfTheBugInTableOrder) {
    EXPECT_EQ(Listed(), (std::vector<LONG>{1, 2, 3}));
    ComPtr<IFile> first, again;
    files->get_Item(0, first.Put());
    files->get_Item(0, again.Put());
    EXPECT_EQ(first.Get(), again.Get());
    for (LONG outside : {3, -1}) {
        EXPECT_EQ(files->get_Item(outside, first.Put()), E_FAIL);
        EXPECT_FALSE(first);
        EXPECT_EQ(ErrorDescription(), kSeeLog);
    }
    EXPECT_TRUE(Logged(1, "CFileSet::get_Item", "Exceed Array's bound"));
}

TEST_F(FileSetList, RemoveMembersDeleteTheRowAndTheListEntry) {
    ASSERT_EQ(files->RemoveByID(2), S_OK) << ErrorDescription();
    EXPECT_EQ(Listed(), (std::vector<LONG>{1, 3}));
    ASSERT_EQ(files->RemoveByIndex(1), S_OK) << ErrorDescription();
    EXPECT_EQ(Listed(), (std::vector<LONG>{1}));
    EXPECT_EQ(StoredIDs(), "1,4");
}

TEST_F(FileSetList, RemoveOfAnUnlistedFileOrARowAlreadyGoneTouchesNothing) {
    EXPECT_TRUE(Refused(files->RemoveByID(9), "Delelte file failed!", 0, "CFileSet::RemoveByID",
                        "File(ID=9) is not in this set"));
    EXPECT_TRUE(Refused(files->RemoveByIndex(3), kSeeLog, 1, "CFileSet::RemoveByIndex",
                        "Exceed Array's bound"));
    EXPECT_EQ(StoredIDs(), "1,2,3,4");

    Execute("DELETE FROM tAttachment WHERE AttachmentID = 2");
    EXPECT_TRUE(Refused(files->RemoveByID(2), "Delete file failed!", 0, "CFileSet::RealDeleteFile",
                        "File(ID=2) does not exist"));
    EXPECT_EQ(files->RemoveByIndex(1), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Delelte file failed");
    EXPECT_EQ(Listed(), (std::vector<LONG>{1, 2, 3}));
}

// A role whose right forbids it, and a role without a stored right, may not remove.
TEST_F(FileSetList, RemovingWithoutTheRightIsRefusedWithItsLogLine) {
    ASSERT_EQ(session_->SetCurRole(8), S_OK);
    const std::string refusal =
        "You have no right to delete attachment, please contact your manager!";
    EXPECT_TRUE(Refused(files->RemoveByID(1), refusal, 3, "CFileSet::RemoveByID",
                        "Has no right to perform this action"));
    EXPECT_TRUE(Refused(files->RemoveByIndex(0), refusal, 3, "CFileSet::RemoveByIndex",
                        "Has no right to perform this action"));
    ASSERT_EQ(session_->SetCurRole(7), S_OK);
    Execute("DELETE FROM tRight WHERE RoleID = 7");
    EXPECT_EQ(files->RemoveByID(1), E_FAIL);
    EXPECT_EQ(ErrorDescription(), refusal);
    EXPECT_EQ(StoredIDs(), "1,2,3,4");
    EXPECT_EQ(Listed().size(), 3u);
}

TEST_F(FileSetList, DeleteMembersAndAppendChangeTheListOnly) {
    ASSERT_EQ(files->DeleteByID(3), S_OK);
    ASSERT_EQ(files->DeleteByIndex(0), S_OK);
    auto extra = engine::CreateObject<engine::CAttachFile>();
    extra->SetID(42);
    ASSERT_EQ(files->Append(extra.Get()), S_OK);
    EXPECT_EQ(files->Append(nullptr), E_POINTER);
    EXPECT_EQ(Listed(), (std::vector<LONG>{2, 42}));
    EXPECT_EQ(StoredIDs(), "1,2,3,4");

    EXPECT_TRUE(Refused(files->DeleteByID(7), "Remove file failed!", 0, "CFileSet::DeleteByID",
                        "File(ID=7) is not in this set"));
    EXPECT_TRUE(Refused(files->DeleteByIndex(5), kSeeLog, 1, "CFileSet::DeleteByIndex",
                        "Exceed Array's bound"));
}

} // namespace
} // namespace velmora::test
