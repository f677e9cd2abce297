// Adding bugs and writing changed bugs back column by column under the current right.
#include "tests/bugs_set/BugSetTestSupport.h"

namespace velmora::test {
namespace {

class BugSetChangeTest : public BugSetTest {
  protected:
    // Records in tWrites every column an UPDATE of tBugReport names.
    void WatchWrites(std::initializer_list<const char*> columns) {
        Execute("CREATE TABLE tWrites (ColumnName TEXT)");
        for (const char* column : columns) {
            Execute(std::string("CREATE TRIGGER watch") + column + " AFTER UPDATE OF " + column +
                    " ON tBugReport BEGIN INSERT INTO tWrites VALUES ('" + column + "'); END");
        }
    }
    std::string Written() {
        return Query("SELECT group_concat(ColumnName, ',') FROM (SELECT ColumnName FROM tWrites "
                     "ORDER BY ColumnName)");
    }

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
    bug->put_Reproductive(Bstr("Always").Get());
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
    ComPtr<IBug> second;
    ASSERT_EQ(set->Add(engine::CreateObject<CBug>().Get(), second.Put()), S_OK);
    LONG id = 0;
    second->get_ID(&id);
    EXPECT_EQ(id, 41);
}

TEST_F(BugSetChangeTest, AddWithoutAnIdentifierFails) {
    Execute("DROP TABLE tNextID");
    auto set = OpenAll();
    auto bug = engine::CreateObject<CBug>();
    ComPtr<IBug> stored;
    EXPECT_EQ(set->Add(bug.Get(), stored.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Add bug failed");
    EXPECT_TRUE(Logged(2, "CBugSet::RealAddBug", "GetNextID returns 0"));
    EXPECT_EQ(stored.Get(), nullptr);
    EXPECT_EQ(bug->Data().id, 0);
}

TEST_F(BugSetChangeTest, FailedAddLeavesNoRowBehindAndKeepsTheCallersID) {
    InsertBug(1, "taken");
    auto set = OpenAll();
    auto bug = engine::CreateObject<CBug>();
    bug->put_Description(Bstr("clashes").Get());
    // The counter hands out an ID that is already stored: the row is refused.
    ComPtr<IBug> stored;
    EXPECT_EQ(set->Add(bug.Get(), stored.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Add bug failed");
    EXPECT_NE(ErrLog().find("[ErrCode]: 2\r\n[Source]: CBugSet::RealAddBug"), std::string::npos);
    EXPECT_EQ(bug->Data().id, 0);
    // Moving on does not save the refused row after all.
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{1}));
    EXPECT_EQ(Query("SELECT count(*) FROM tBugReport"), "1");
}

TEST_F(BugSetChangeTest, UpdateWritesOnlyChangedColumns) {
    InsertBug(1, "same");
    WatchWrites({"Description", "StatusName", "PriorityName", "SeverityName"});
    auto set = OpenAll();
    auto bug = BugOne(set.Get());
    bug->put_Status(Bstr("Fixed").Get());
    ASSERT_EQ(set->Update(bug.Get()), S_OK);
    EXPECT_EQ(Written(), "StatusName");
    EXPECT_EQ(Query("SELECT StatusName || Description FROM tBugReport"), "Fixedsame");

    // Only the case changes: that is a change.
    bug->put_Status(Bstr("FIXED").Get());
    ASSERT_EQ(set->Update(bug.Get()), S_OK);
    EXPECT_EQ(Query("SELECT StatusName FROM tBugReport"), "FIXED");
}

TEST_F(BugSetChangeTest, UpdateStoresNullForAnEmptiedText) {
    InsertBug(1, "to be emptied");
    auto set = OpenAll();
    auto bug = BugOne(set.Get());
    bug->put_Description(Bstr("").Get());
    bug->put_FixedDate(38000.5);
    ASSERT_EQ(set->Update(bug.Get()), S_OK);
    EXPECT_EQ(Query("SELECT Description FROM tBugReport"), "NULL");
    EXPECT_EQ(Query("SELECT FixedDate FROM tBugReport"), "38000.5");
}

TEST_F(BugSetChangeTest, UpdateLeavesColumnsWhoseRightIsWithdrawn) {
    InsertBug(1, "old");
    SetRight("EditSeverity", false);
    SetRight("EditDescription", false);
    auto set = OpenAll();
    auto bug = BugOne(set.Get());
    bug->put_Severity(Bstr("Critical").Get());
    bug->put_Description(Bstr("new").Get());
    bug->put_Priority(Bstr("Urgent").Get());
    bug->put_Status(Bstr("Active").Get());
    ASSERT_EQ(set->Update(bug.Get()), S_OK);
    EXPECT_EQ(Query("SELECT SeverityName || '/' || Description || '/' || PriorityName || '/' || "
                    "StatusName FROM tBugReport"),
              "Minor/old/Urgent/Active");
}

TEST_F(BugSetChangeTest, UpdateOfAnUnknownOrUnstoredBugFails) {
    InsertBug(1, "one");
    auto set = OpenAll();
    auto unstored = engine::CreateObject<CBug>();
    EXPECT_EQ(set->Update(unstored.Get()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Update bug failed!");
    EXPECT_TRUE(Logged(0, "CBugSet::Update", "The updating bug's id is 0"));

    unstored->Data().id = 9;
    EXPECT_EQ(set->Update(unstored.Get()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Update bug failed!");
    EXPECT_TRUE(Logged(0, "CBugSet::Update", "Cannot find the bug in database"));
    EXPECT_EQ(CurrentID(set.Get()), 1);
}

TEST_F(BugSetChangeTest, UpdateOfARowChangedByAnotherClientOverwritesNothing) {
    InsertBug(1, "mine");
    auto set = OpenAll();
    auto bug = BugOne(set.Get());
    Execute("UPDATE tBugReport SET Description = 'theirs' WHERE BugID = 1");
    bug->put_Description(Bstr("edited").Get());
    EXPECT_EQ(set->Update(bug.Get()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Update bug failed!");
    EXPECT_NE(ErrLog().find("[ErrCode]: 2\r\n[Source]: CBugSet::Update\r\n"), std::string::npos);
    // The refused change is dropped, not saved by the next move.
    ASSERT_EQ(set->Refresh(), S_OK);
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{1}));
    EXPECT_EQ(Query("SELECT Description FROM tBugReport"), "theirs");
}

TEST_F(BugSetChangeTest, UpdateWithoutACurrentRoleWritesNothing) {
    InsertBug(1, "kept");
    auto set = OpenAll();
    auto bug = BugOne(set.Get());
    bug->put_Status(Bstr("Fixed").Get());
    Execute("DELETE FROM tRole");
    EXPECT_EQ(set->Update(bug.Get()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Update bug failed!");
    EXPECT_EQ(Query("SELECT StatusName FROM tBugReport"), "New");
}

} // namespace
} // namespace velmora::test
