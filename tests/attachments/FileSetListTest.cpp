// The attachment list: Remove members change the table and the list, Delete members and Append
// the list alone; missing rights and indexes out of range are refused with their texts.
#include "AttachmentTestSupport.h"

namespace velmora::test {
namespace {

constexpr const char* kSeeLog = "Some error has occured, please see err.log!";

class FileSetList : public AttachmentTest {
  protected:
    void SetUp() override {
        AttachmentTest::SetUp();
        for (const char* name : {"one.txt", "two.txt", "three.txt"}) {
            WriteFile(files_ / name, {name[0]});
            ASSERT_TRUE(Attach(files_ / name)) << ErrorDescription();
        }
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
    std::string StoredIDs() {
        return QueryText("SELECT group_concat(AttachmentID) FROM "
                         "(SELECT AttachmentID FROM tAttachment ORDER BY AttachmentID)");
    }

    ComPtr<IFileSet> files;
};

TEST_F(FileSetList, ItemHandsOutTheListedObjectsInTableOrder) {
    EXPECT_EQ(Listed(), (std::vector<LONG>{1, 2, 3}));
    ComPtr<IFile> first, again;
    files->get_Item(0, first.Put());
    files->get_Item(0, again.Put());
    EXPECT_EQ(first.Get(), again.Get());
    EXPECT_EQ(NameOf(first.Get()), "one.txt");

    EXPECT_EQ(files->get_Item(3, first.Put()), E_FAIL);
    EXPECT_FALSE(first);
    EXPECT_EQ(ErrorDescription(), kSeeLog);
    EXPECT_TRUE(Logged(1, "CFileSet::get_Item", "Exceed Array's bound"));
    EXPECT_EQ(files->get_Item(-1, first.Put()), E_FAIL);
}

TEST_F(FileSetList, RemoveMembersDeleteTheRowAndTheListEntry) {
    ASSERT_EQ(files->RemoveByID(2), S_OK) << ErrorDescription();
    EXPECT_EQ(Listed(), (std::vector<LONG>{1, 3}));
    ASSERT_EQ(files->RemoveByIndex(1), S_OK) << ErrorDescription();
    EXPECT_EQ(Listed(), (std::vector<LONG>{1}));
    EXPECT_EQ(StoredIDs(), "1");
}

TEST_F(FileSetList, RemoveOfAnUnlistedFileOrIndexTouchesNothing) {
    EXPECT_EQ(files->RemoveByID(9), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Delelte file failed!");
    EXPECT_TRUE(Logged(0, "CFileSet::RemoveByID", "File(ID=9) is not in this set"));
    EXPECT_EQ(files->RemoveByIndex(3), E_FAIL);
    EXPECT_EQ(ErrorDescription(), kSeeLog);
    EXPECT_TRUE(Logged(1, "CFileSet::RemoveByIndex", "Exceed Array's bound"));
    EXPECT_EQ(StoredIDs(), "1,2,3");
    EXPECT_EQ(Listed().size(), 3u);
}

TEST_F(FileSetList, RemoveOfARowAlreadyGoneKeepsTheFileListed) {
    Execute("DELETE FROM tAttachment WHERE AttachmentID = 2");
    EXPECT_EQ(files->RemoveByID(2), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Delete file failed!");
    EXPECT_TRUE(Logged(0, "CFileSet::RealDeleteFile", "File(ID=2) does not exist"));
    EXPECT_EQ(files->RemoveByIndex(1), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Delelte file failed");
    EXPECT_EQ(Listed(), (std::vector<LONG>{1, 2, 3}));
}

TEST_F(FileSetList, RemovingWithoutTheRightIsRefusedWithItsLogLine) {
    ASSERT_EQ(session_->SetCurRole(8), S_OK);
    const std::string refusal =
        "You have no right to delete attachment, please contact your manager!";
    EXPECT_EQ(files->RemoveByID(1), E_FAIL);
    EXPECT_EQ(ErrorDescription(), refusal);
    EXPECT_TRUE(Logged(3, "CFileSet::RemoveByID", "Has no right to perform this action"));
    EXPECT_EQ(files->RemoveByIndex(0), E_FAIL);
    EXPECT_EQ(ErrorDescription(), refusal);
    EXPECT_TRUE(Logged(3, "CFileSet::RemoveByIndex", "Has no right to perform this action"));
    // A role without a stored right has no rights at all.
    ASSERT_EQ(session_->SetCurRole(7), S_OK);
    Execute("DELETE FROM tRight WHERE RoleID = 7");
    EXPECT_EQ(files->RemoveByID(1), E_FAIL);
    EXPECT_EQ(ErrorDescription(), refusal);
    EXPECT_EQ(StoredIDs(), "1,2,3");
    EXPECT_EQ(Listed().size(), 3u);
}

TEST_F(FileSetList, DeleteMembersAndAppendChangeTheListOnly) {
    ASSERT_EQ(files->DeleteByID(3), S_OK);
    ASSERT_EQ(files->DeleteByIndex(0), S_OK);
    EXPECT_EQ(Listed(), (std::vector<LONG>{2}));
    auto extra = engine::CreateObject<engine::CAttachFile>();
    extra->SetID(42);
    ASSERT_EQ(files->Append(extra.Get()), S_OK);
    EXPECT_EQ(Listed(), (std::vector<LONG>{2, 42}));
    EXPECT_EQ(files->Append(nullptr), E_POINTER);
    EXPECT_EQ(Listed().size(), 2u);
    EXPECT_EQ(StoredIDs(), "1,2,3");

    EXPECT_EQ(files->DeleteByID(7), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Remove file failed!");
    EXPECT_TRUE(Logged(0, "CFileSet::DeleteByID", "File(ID=7) is not in this set"));
    EXPECT_EQ(files->DeleteByIndex(5), E_FAIL);
    EXPECT_EQ(ErrorDescription(), kSeeLog);
    EXPECT_TRUE(Logged(1, "CFileSet::DeleteByIndex", "Exceed Array's bound"));
}

TEST_F(FileSetList, TheSetCarriesItsBugAndSession) {
    LONG bugID = 0;
    files->get_BugID(&bugID);
    EXPECT_EQ(bugID, 5);
    ComPtr<IExeContext> context;
    ASSERT_EQ(files->get_ExeContext(context.Put()), S_OK);
    EXPECT_EQ(context.Get(), static_cast<IExeContext*>(session_.Get()));
}

} // namespace
} // namespace velmora::test
