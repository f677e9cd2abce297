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
        Execute("INSERT INTO tAttachment (AttachmentID, BugID, FileName) VALUES (10, 2, 'a'), "
                "(11, 2, 'b'), (12, 2, 'c'), (13, 3, 'd')");
    }
    std::string Attachments() {
        return QueryList("SELECT AttachmentID FROM tAttachment ORDER BY AttachmentID");
    }
};

TEST_F(BugSetRemoveTest, RemoveByIDDeletesTheBugAndItsAttachmentsAndRerunsTheSet) {
    auto set = OpenAll();
    ASSERT_EQ(set->put_Position(2), S_OK);
    ASSERT_EQ(set->RemoveByID(2), S_OK);
    EXPECT_EQ(Attachments(), "13");
    EXPECT_EQ(QueryList("SELECT BugID FROM tBugReport ORDER BY BugID"), "1,3");
    EXPECT_EQ(CurrentID(set.Get()), 1); // re-run: back on the first row
    LONG count = 0;
    ASSERT_EQ(set->get_Count(&count), S_OK);
    EXPECT_EQ(count, 2);
}

TEST_F(BugSetRemoveTest, RemoveByIDOfAnUnknownBugRollsBack) {
    Execute("INSERT INTO tAttachment (AttachmentID, BugID) VALUES (14, 99)"); // left behind
    auto set = OpenAll();
    EXPECT_TRUE(Refused(set->RemoveByID(99), "Delete bug failed!",
                        Entry(2, "CBugSet::RealDeleteBug", "Bug(ID=99) does not exist")));
    EXPECT_EQ(Attachments(), "10,11,12,13,14");
    EXPECT_TRUE(Refused(set->RemoveByID(0), "Delete bug failed!",
                        Entry(0, "CBugSet::Remove", "Bug id is 0, cannot remove")));
}

TEST_F(BugSetRemoveTest, RemoveByIDIsOneTransaction) {
    RefuseWrites("keepBugs", "tBugReport", "DELETE", "", "bugs are kept");
    auto set = OpenAll();
    EXPECT_TRUE(
        Refused(set->RemoveByID(2), "Delete bug failed!", Head(2, "CBugSet::RealDeleteBug")));
    // The attachments deleted before the failure are back.
    EXPECT_EQ(Attachments(), "10,11,12,13");
    EXPECT_EQ(Query("SELECT count(*) FROM tBugReport"), "3");
}

TEST_F(BugSetRemoveTest, RemoveDeletesTheCurrentBugAndMovesToTheFollowingOne) {
    auto set = OpenAll();
    ASSERT_EQ(set->put_Position(1), S_OK);
    ASSERT_EQ(set->Remove(), S_OK);
    EXPECT_EQ(QueryList("SELECT BugID FROM tBugReport ORDER BY BugID"), "1,3");
    EXPECT_EQ(Attachments(), "13");
    EXPECT_EQ(CurrentID(set.Get()), 3);

    // Removing the last row leaves the cursor at the end, and then there is nothing to remove.
    ASSERT_EQ(set->Remove(), S_OK);
    LONG end = 0;
    ASSERT_EQ(set->IsEnd(&end), S_OK);
    EXPECT_EQ(end, 1);
    EXPECT_TRUE(Refused(set->Remove(), "Delete bug failed!", Head(2, "CBugSet::Remove")));
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{1}));
}

TEST_F(BugSetRemoveTest, RemoveKeepsToTheRowsTheFilterShows) {
    auto set = OpenAll();
    ASSERT_EQ(set->put_FilterSet(Filters({{"Description", NotEqual, "two"}}).Get()), S_OK);
    ASSERT_EQ(set->Remove(), S_OK); // bug 1
    EXPECT_EQ(CurrentID(set.Get()), 3);
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{3}));
}

} // namespace
} // namespace velmora::test
