// Adding bugs and writing changed bugs back column by column under the current right.
#include "tests/bugs_set/BugSetTestSupport.h"

namespace velmora::test {
namespace {

class BugSetChangeTest : public BugSetTest {
  protected:
    // The bug of row 1, fetched through the set.
    ComPtr<CBug> BugOne(IBugSet* set) {
        ComPtr<IBug> bug;
        EXPECT_EQ(set->GetBugByID(1, bug.Put()), S_OK);
        return ComPtr<CBug>(engine::ImplementationOf<CBug>(bug.Get()));
    }
};

TEST_F(BugSetChangeTest, AddStoresTheBugUnderTheNextBugID) {
    Execute("UPDATE tNextID SET NextBugID = 40");
    auto set = OpenAll();
    auto bug = engine::CreateObject<CBug>();
    bug->put_Description(Bstr("crash on start").Get());
    bug->put_BugType(eFeature);
    ComPtr<IBug> stored;
    ASSERT_EQ(set->Add(bug.Get(), stored.Put()), S_OK);
    EXPECT_EQ(stored.Get(), static_cast<IBug*>(bug.Get()));
    EXPECT_EQ(bug->Data().id, 40);
    EXPECT_EQ(bug->Context().Get(), static_cast<IExeContext*>(session_.Get()));
    EXPECT_EQ(Query("SELECT NextBugID FROM tNextID"), "41");
    EXPECT_EQ(Query("SELECT Description || '/' || BugType FROM tBugReport WHERE BugID = 40"),
              "crash on start/1");
    // The new row is part of the cursor, whatever its statement selects.
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{40}));
}

// The counter hands out an ID that is already stored, then no ID at all.
TEST_F(BugSetChangeTest, FailedAddsLeaveNoRowBehindAndKeepTheCallersID) {
    InsertBug(1, "taken");
    auto set = OpenAll();
    auto bug = engine::CreateObject<CBug>();
    ComPtr<IBug> stored;
    EXPECT_TRUE(Refused(set->Add(bug.Get(), stored.Put()), "Add bug failed",
                        Head(2, "CBugSet::RealAddBug")));
    EXPECT_EQ(bug->Data().id, 0);
    // Moving on does not save the refused row after all.
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{1}));
    EXPECT_EQ(Query("SELECT count(*) FROM tBugReport"), "1");

    Execute("DROP TABLE tNextID");
    EXPECT_TRUE(Refused(set->Add(bug.Get(), stored.Put()), "Add bug failed",
                        Entry(2, "CBugSet::RealAddBug", "GetNextID returns 0")));
    EXPECT_EQ(stored.Get(), nullptr);
}

// Only the case changes: that is a change too. An emptied text is stored as NULL; a column whose
// edit right is withdrawn is left as it is.
TEST_F(BugSetChangeTest, UpdateWritesOnlyChangedColumnsItMayEdit) {
    InsertBug(1, "same");
    Execute("CREATE TABLE tWrites (ColumnName TEXT)");
    for (const std::string column : {"Description", "StatusName", "PriorityName", "SeverityName"})
        CreateTrigger("watch" + column, "AFTER", "UPDATE OF " + column, "tBugReport", "",
                      "INSERT INTO tWrites VALUES ('" + column + "')");
    auto set = OpenAll();
    auto bug = BugOne(set.Get());
    bug->put_Status(Bstr("Fixed").Get());
    ASSERT_EQ(set->Update(bug.Get()), S_OK);
    EXPECT_EQ(QueryList("SELECT ColumnName FROM tWrites ORDER BY ColumnName"), "StatusName");
    bug->put_Status(Bstr("FIXED").Get());
    bug->put_Description(Bstr("").Get());
    bug->put_FixedDate(38000.5);
    ASSERT_EQ(set->Update(bug.Get()), S_OK);
    EXPECT_EQ(
        Query("SELECT StatusName || '/' || FixedDate || '/' || COALESCE(Description, 'NULL') FROM "
              "tBugReport"),
        "FIXED/38000.5/NULL");

    SetRight("EditSeverity", false);
    SetRight("EditDescription", false);
    bug->put_Severity(Bstr("Critical").Get());
    bug->put_Description(Bstr("new").Get());
    bug->put_Priority(Bstr("Urgent").Get());
    ASSERT_EQ(set->Update(bug.Get()), S_OK);
    EXPECT_EQ(Query("SELECT SeverityName || '/' || COALESCE(Description, 'NULL') || '/' || "
                    "PriorityName FROM "
                    "tBugReport"),
              "Minor/NULL/Urgent");
}

TEST_F(BugSetChangeTest, UpdateOfAnUnknownOrUnstoredBugOrWithoutARoleFails) {
    InsertBug(1, "one");
    auto set = OpenAll();
    auto unstored = engine::CreateObject<CBug>();
    EXPECT_TRUE(Refused(set->Update(unstored.Get()), "Update bug failed!",
                        Entry(0, "CBugSet::Update", "The updating bug's id is 0")));
    unstored->Data().id = 9;
    EXPECT_TRUE(Refused(set->Update(unstored.Get()), "Update bug failed!",
                        Entry(0, "CBugSet::Update", "Cannot find the bug in database")));
    EXPECT_EQ(CurrentID(set.Get()), 1);

    auto bug = BugOne(set.Get());
    bug->put_Status(Bstr("Fixed").Get());
    Execute("DELETE FROM tRole");
    EXPECT_TRUE(Refused(set->Update(bug.Get()), "Update bug failed!"));
    EXPECT_EQ(Query("SELECT StatusName FROM tBugReport"), "New");
}

TEST_F(BugSetChangeTest, UpdateOfARowChangedByAnotherClientOverwritesNothing) {
    InsertBug(1, "mine");
    auto set = OpenAll();
    auto bug = BugOne(set.Get());
    Execute("UPDATE tBugReport SET Description = 'theirs' WHERE BugID = 1");
    bug->put_Description(Bstr("edited").Get());
    EXPECT_TRUE(Refused(set->Update(bug.Get()), "Update bug failed!", Head(2, "CBugSet::Update")));
    // The refused change is dropped, not saved by the next move.
    ASSERT_EQ(set->Refresh(), S_OK);
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{1}));
    EXPECT_EQ(Query("SELECT Description FROM tBugReport"), "theirs");
}

} // namespace
} // namespace velmora::test
