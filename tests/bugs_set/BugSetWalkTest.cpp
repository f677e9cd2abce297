// Walking a bug set, its position and count, finding a bug by ID, the row filter, Refresh, and
// how a cursor that fails reports itself.
#include "engine/bugs/BugSetRowCount.h"
#include "engine/db/ConnectionString.h"
#include "tests/bugs_set/BugSetTestSupport.h"

namespace velmora::test {
namespace {

class BugSetWalkTest : public BugSetTest {
  protected:
    void InsertThree() {
        InsertBug(1, "one");
        InsertBug(2, "two");
        InsertBug(3, "three");
    }
    static LONG Count(IBugSet* set) {
        LONG count = -1;
        EXPECT_EQ(set->get_Count(&count), S_OK);
        return count;
    }
    static LONG IsEnd(IBugSet* set) {
        LONG end = -1;
        EXPECT_EQ(set->IsEnd(&end), S_OK);
        return end;
    }
};

// An empty set has no current bug and is at its end; a full one hands out every row as a new
// bug of the session, which moving on leaves alone.
TEST_F(BugSetWalkTest, WalkHandsOutEveryRowAsANewBugOfTheSession) {
    auto set = OpenAll();
    EXPECT_EQ(CurrentID(set.Get()), 0);
    EXPECT_EQ(set->First(), S_OK);
    EXPECT_EQ(IsEnd(set.Get()), 1);
    EXPECT_EQ(Count(set.Get()), 0);

    InsertThree();
    set = OpenAll();
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{1, 2, 3}));
    EXPECT_EQ(CurrentID(set.Get()), 0);
    EXPECT_EQ(set->Next(), E_FAIL); // nothing after the end
    ASSERT_EQ(set->First(), S_OK);
    ComPtr<IBug> first, again;
    ASSERT_EQ(set->get_CurItem(first.Put()), S_OK);
    ASSERT_EQ(set->get_CurItem(again.Put()), S_OK);
    EXPECT_NE(first.Get(), again.Get());
    auto* bug = engine::ImplementationOf<CBug>(first.Get());
    EXPECT_EQ(bug->Context().Get(), static_cast<IExeContext*>(session_.Get()));
    ASSERT_EQ(set->Next(), S_OK);
    EXPECT_EQ(bug->Data().description, "one");
}

TEST_F(BugSetWalkTest, PositionIsZeroBasedAndIgnoredOffTheRows) {
    InsertThree();
    auto set = OpenAll();
    LONG position = -1;
    ASSERT_EQ(set->put_Position(2), S_OK);
    ASSERT_EQ(set->get_Position(&position), S_OK);
    EXPECT_EQ(position, 2);
    EXPECT_EQ(CurrentID(set.Get()), 3);
    EXPECT_TRUE(Refused(set->put_Position(3), "Set position failed!"));
    EXPECT_EQ(CurrentID(set.Get()), 3);

    ASSERT_EQ(set->Next(), S_OK); // at the end
    EXPECT_EQ(set->put_Position(0), S_OK);
    EXPECT_EQ(IsEnd(set.Get()), 1);
    ASSERT_EQ(set->get_Position(&position), S_OK);
    EXPECT_LT(position, 0);
}

// A found bug leaves the cursor on its row; an unknown one fails and returns to the first row.
TEST_F(BugSetWalkTest, GetBugByIDFindsRowsBeforeTheCurrentOne) {
    InsertThree();
    auto set = OpenAll();
    ASSERT_EQ(set->put_Position(2), S_OK);
    ComPtr<IBug> bug;
    ASSERT_EQ(set->GetBugByID(2, bug.Put()), S_OK);
    EXPECT_EQ(engine::ImplementationOf<CBug>(bug.Get())->Data().description, "two");
    EXPECT_EQ(CurrentID(set.Get()), 2);

    EXPECT_TRUE(Refused(set->GetBugByID(42, bug.Put()), "Get Bug Failed!",
                        Entry(0, "CBugSet::GetBugByID", "Get Bug(ID=42) Failed!")));
    EXPECT_EQ(bug.Get(), nullptr);
    EXPECT_EQ(CurrentID(set.Get()), 1);
}

// A row added by another client appears on Refresh, and only when it passes the filter, whose
// current conditions are used. A filter without a text is refused and changes nothing.
TEST_F(BugSetWalkTest, RowFilterHidesRowsWithoutRerunningAndRefreshReappliesIt) {
    InsertThree();
    auto set = OpenAll();
    auto notTwo = Filters({{"Description", NotEqual, "two"}});
    ASSERT_EQ(set->put_FilterSet(notTwo.Get()), S_OK);
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{1, 3}));
    EXPECT_EQ(Count(set.Get()), 2);

    InsertBug(4, "two");
    InsertBug(5, "five");
    ASSERT_EQ(set->Refresh(), S_OK);
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{1, 3, 5}));
    ComPtr<IBugFilter> condition;
    ASSERT_EQ(notTwo->get_Item(0, condition.Put()), S_OK);
    ASSERT_EQ(condition->put_Value(Text("one")), S_OK);
    ASSERT_EQ(set->Refresh(), S_OK);
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{2, 3, 4, 5}));

    auto broken = Filters({});
    ASSERT_EQ(broken->Add(engine::CreateObject<engine::CBugFilter>().Get()), S_OK); // no field
    EXPECT_TRUE(Refused(set->put_FilterSet(broken.Get()), "Set filter failed!"));
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{2, 3, 4, 5}));
    ASSERT_EQ(set->put_FilterSet(nullptr), S_OK);
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{1, 2, 3, 4, 5}));
}

// A cursor that failed to open is not an empty one: IsEnd reports the end, and the other members
// report their failure with their own texts.
TEST_F(BugSetWalkTest, FailedSetReportsEachFailureWithItsOwnText) {
    Execute("DROP TABLE tBugReport");
    auto set = OpenAll(E_FAIL);
    EXPECT_EQ(IsEnd(set.Get()), 1);
    EXPECT_NE(ErrLog().find(Head(2, "CBugSet::IsEnd")), std::string::npos);
    LONG count = 0;
    ComPtr<IBug> bug;
    EXPECT_TRUE(Refused(set->First(), "Move First Failed", Head(2, "CBugSet::First")));
    EXPECT_TRUE(Refused(set->get_Count(&count), "Get count of bugs failed!"));
    EXPECT_TRUE(Refused(set->get_CurItem(bug.Put()), "Get current item failed!"));
    EXPECT_EQ(bug.Get(), nullptr);
    // The Refresh entry runs description, {source} and the system message together.
    EXPECT_TRUE(Refused(set->Refresh(), "Refresh failed!",
                        "[Source]: CBugSet::Refresh\r\n[Description]: Operation is not allowed "
                        "when the object is closed.{Velmora.SQLite}"));
}

// A cursor without bookmarks is counted by walking it; the count leaves it where it was.
TEST_F(BugSetWalkTest, CountingWithoutBookmarksKeepsTheCursorWhereItWas) {
    InsertThree();
    db::Recordset rows;
    rows.Open("SELECT * FROM tBugReport ORDER BY BugID", db::ProcessConnectionString(),
              db::CursorType::ForwardOnly, db::LockType::ReadOnly);
    ASSERT_FALSE(rows.SupportsPositioning());
    rows.MoveNext();
    EXPECT_EQ(engine::CountRowsKeepingPosition(rows), 3);
    EXPECT_EQ(rows.GetValue("BugID").asInt(), 2);
    while (!rows.IsEOF())
        rows.MoveNext();
    EXPECT_EQ(engine::CountRowsKeepingPosition(rows), 3);
    EXPECT_TRUE(rows.IsEOF());
}

} // namespace
} // namespace velmora::test
