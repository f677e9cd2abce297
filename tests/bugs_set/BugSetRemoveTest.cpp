// Removing bugs with their attachments, by ID and at the cursor.
#include "tests/bugs_set/BugSetTestSupport.h"

namespace velmora::test {
namespace {

class BugSetRemoveTest : public BugSetTest {
  protected:
    void SetUp() override {
        BugSetTest::SetUp();
        InsertBug(1, "one");
        InsertBug(2, "two");
        InsertBug(3, "three");
        InsertAttachment(10, 2);
        InsertAttachment(11, 2);
        InsertAttachment(12, 2);
        InsertAttachment(13, 3);
    }
    std::string Attachments() {
        return Query("SELECT group_concat(AttachmentID, ',') FROM (SELECT AttachmentID FROM "
                     "tAttachment ORDER BY AttachmentID)");
    }
};

TEST_F(BugSetRemoveTest, RemoveByIDDeletesTheBugAndItsAttachmentsAndRerunsTheSet) {
    auto set = OpenAll();
    ASSERT_EQ(set->put_Position(2), S_OK);
    ASSERT_EQ(set->RemoveByID(2), S_OK);
    EXPECT_EQ(Attachments(), "13");
    EXPECT_EQ(Query("SELECT count(*) FROM tBugReport WHERE BugID = 2"), "0");
    EXPECT_EQ(CurrentID(set.Get()), 1); // re-run: back on the first row
    LONG count = 0;
    ASSERT_EQ(set->get_Count(&count), S_OK);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{1, 3}));
}

TEST_F(BugSetRemoveTest, RemoveByIDOfAnUnknownBugRollsBack) {
    InsertAttachment(14, 99); // left behind by some earlier failure
    auto set = OpenAll();
    EXPECT_EQ(set->RemoveByID(99), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Delete bug failed!");
    EXPECT_TRUE(Logged(2, "CBugSet::RealDeleteBug", "Bug(ID=99) does not exist"));
    EXPECT_EQ(Attachments(), "10,11,12,13,14");
}

TEST_F(BugSetRemoveTest, RemoveByIDIsOneTransaction) {
    Execute("CREATE TRIGGER keepBugs BEFORE DELETE ON tBugReport BEGIN SELECT RAISE(ABORT, "
            "'bugs are kept'); END");
    auto set = OpenAll();
    EXPECT_EQ(set->RemoveByID(2), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Delete bug failed!");
    EXPECT_NE(ErrLog().find("[ErrCode]: 2\r\n[Source]: CBugSet::RealDeleteBug"), std::string::npos);
    // The attachments deleted before the failure are back.
    EXPECT_EQ(Attachments(), "10,11,12,13");
    EXPECT_EQ(Query("SELECT count(*) FROM tBugReport"), "3");
}

TEST_F(BugSetRemoveTest, RemoveByIDZeroIsRefused) {
    auto set = OpenAll();
    EXPECT_EQ(set->RemoveByID(0), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Delete bug failed!");
    EXPECT_TRUE(Logged(0, "CBugSet::Remove", "Bug id is 0, cannot remove"));
}

TEST_F(BugSetRemoveTest, RemoveDeletesTheCurrentBugAndMovesToTheFollowingOne) {
    auto set = OpenAll();
    ASSERT_EQ(set->put_Position(1), S_OK);
    ASSERT_EQ(set->Remove(), S_OK);
    EXPECT_EQ(Query("SELECT group_concat(BugID, ',') FROM tBugReport"), "1,3");
    EXPECT_EQ(Attachments(), "13");
    EXPECT_EQ(CurrentID(set.Get()), 3);

    // Removing the last row leaves the cursor at the end.
    ASSERT_EQ(set->Remove(), S_OK);
    LONG end = 0;
    ASSERT_EQ(set->IsEnd(&end), S_OK);
    EXPECT_EQ(end, 1);
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{1}));
}

TEST_F(BugSetRemoveTest, RemoveKeepsToTheRowsTheFilterShows) {
    auto set = OpenAll();
    ASSERT_EQ(
        set->put_FilterSet(FilterSet({Filter("Description", NotEqual, TextValue("two"))}).Get()),
        S_OK);
    ASSERT_EQ(set->Remove(), S_OK); // bug 1
    EXPECT_EQ(CurrentID(set.Get()), 3);
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{3}));
}

TEST_F(BugSetRemoveTest, RemoveWithoutACurrentRowFails) {
    auto set = OpenAll();
    while (CurrentID(set.Get()) != 0)
        ASSERT_EQ(set->Next(), S_OK);
    EXPECT_EQ(set->Remove(), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Delete bug failed!");
    EXPECT_NE(ErrLog().find("[ErrCode]: 2\r\n[Source]: CBugSet::Remove"), std::string::npos);
    EXPECT_EQ(Query("SELECT count(*) FROM tBugReport"), "3");
}

} // namespace
} // namespace velmora::test
