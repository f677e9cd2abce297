// Walking a bug set, its position and count, finding a bug by ID, the row filter, Refresh, and
// how a cursor that fails reports itself.
#include "tests/bugs_set/BugSetTestSupport.h"

#include "engine/bugs/BugSetRowCount.h"
#include "engine/db/ConnectionString.h"

namespace velmora::test {
namespace {

class BugSetWalkTest : public BugSetTest {
  protected:
    void InsertThree() {
        InsertBug(1, "one");
        InsertBug(2, "two");
        InsertBug(3, "three");
    }
};

TEST_F(BugSetWalkTest, EmptySetHasNoCurrentBug) {
    auto set = OpenAll();
    ComPtr<IBug> bug;
    EXPECT_EQ(set->get_CurItem(bug.Put()), S_OK);
    EXPECT_EQ(bug.Get(), nullptr);
    LONG end = 0;
    EXPECT_EQ(set->IsEnd(&end), S_OK);
    EXPECT_EQ(end, 1);
    EXPECT_EQ(set->First(), S_OK);
    EXPECT_EQ(set->IsEnd(&end), S_OK);
    EXPECT_EQ(end, 1);
    LONG count = -1;
    EXPECT_EQ(set->get_Count(&count), S_OK);
    EXPECT_EQ(count, 0);
}

TEST_F(BugSetWalkTest, WalkHandsOutEveryRowAsANewBugOfTheSession) {
    InsertThree();
    auto set = OpenAll();
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{1, 2, 3}));
    ComPtr<IBug> atEnd;
    EXPECT_EQ(set->get_CurItem(atEnd.Put()), S_OK);
    EXPECT_EQ(atEnd.Get(), nullptr);
    EXPECT_EQ(set->Next(), E_FAIL); // nothing after the end
    EXPECT_EQ(ErrorDescription(), "Move Next Failed");
    EXPECT_NE(ErrLog().find("[Source]: CBugSet::Next\r\n"), std::string::npos);

    ASSERT_EQ(set->First(), S_OK);
    ComPtr<IBug> first, again;
    ASSERT_EQ(set->get_CurItem(first.Put()), S_OK);
    ASSERT_EQ(set->get_CurItem(again.Put()), S_OK);
    EXPECT_NE(first.Get(), again.Get());
    auto* bug = engine::ImplementationOf<CBug>(first.Get());
    ASSERT_NE(bug, nullptr);
    EXPECT_EQ(bug->Data().description, "one");
    EXPECT_EQ(bug->Context().Get(), static_cast<IExeContext*>(session_.Get()));
    // Moving on does not change a bug already handed out.
    ASSERT_EQ(set->Next(), S_OK);
    EXPECT_EQ(bug->Data().id, 1);
}

TEST_F(BugSetWalkTest, PositionIsZeroBasedAndIgnoredOffTheRows) {
    InsertThree();
    auto set = OpenAll();
    LONG position = -1;
    ASSERT_EQ(set->get_Position(&position), S_OK);
    EXPECT_EQ(position, 0);
    ASSERT_EQ(set->put_Position(2), S_OK);
    EXPECT_EQ(CurrentID(set.Get()), 3);
    ASSERT_EQ(set->get_Position(&position), S_OK);
    EXPECT_EQ(position, 2);

    EXPECT_EQ(set->put_Position(3), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Set position failed!");
    EXPECT_EQ(set->put_Position(0x7fffffff), E_FAIL);
    EXPECT_EQ(CurrentID(set.Get()), 3);

    ASSERT_EQ(set->Next(), S_OK); // at the end
    EXPECT_EQ(set->put_Position(0), S_OK);
    LONG end = 0;
    set->IsEnd(&end);
    EXPECT_EQ(end, 1);
    ASSERT_EQ(set->get_Position(&position), S_OK);
    EXPECT_LT(position, 0);
}

TEST_F(BugSetWalkTest, GetBugByIDFindsRowsBeforeTheCurrentOne) {
    InsertThree();
    auto set = OpenAll();
    ASSERT_EQ(set->put_Position(2), S_OK);
    ComPtr<IBug> bug;
    ASSERT_EQ(set->GetBugByID(1, bug.Put()), S_OK);
    LONG id = 0;
    bug->get_ID(&id);
    EXPECT_EQ(id, 1);
    EXPECT_EQ(CurrentID(set.Get()), 1); // the cursor stays on the found row
    EXPECT_EQ(engine::ImplementationOf<CBug>(bug.Get())->Context().Get(),
              static_cast<IExeContext*>(session_.Get()));
}

TEST_F(BugSetWalkTest, GetBugByIDOfAnUnknownBugFailsAndReturnsToTheFirstRow) {
    InsertThree();
    auto set = OpenAll();
    ASSERT_EQ(set->put_Position(1), S_OK);
    ComPtr<IBug> bug;
    EXPECT_EQ(set->GetBugByID(42, bug.Put()), E_FAIL);
    EXPECT_EQ(bug.Get(), nullptr);
    EXPECT_EQ(ErrorDescription(), "Get Bug Failed!");
    EXPECT_TRUE(Logged(0, "CBugSet::GetBugByID", "Get Bug(ID=42) Failed!"));
    EXPECT_EQ(CurrentID(set.Get()), 1);
}

TEST_F(BugSetWalkTest, RowFilterHidesRowsWithoutRerunningAndRefreshReappliesIt) {
    InsertThree();
    auto set = OpenAll();
    auto notTwo = FilterSet({Filter("Description", NotEqual, TextValue("two"))});
    ASSERT_EQ(set->put_FilterSet(notTwo.Get()), S_OK);
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{1, 3}));
    LONG count = 0;
    ASSERT_EQ(set->get_Count(&count), S_OK);
    EXPECT_EQ(count, 2);
    ComPtr<IBugFilterSet> attached;
    ASSERT_EQ(set->get_FilterSet(attached.Put()), S_OK);
    EXPECT_EQ(attached.Get(), notTwo.Get());

    // A row added by another client appears on Refresh, and only when it passes the filter,
    // whose current conditions are used.
    InsertBug(4, "two");
    InsertBug(5, "five");
    ASSERT_EQ(set->Refresh(), S_OK);
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{1, 3, 5}));
    ASSERT_EQ(notTwo->Add(Filter("Description", NotEqual, TextValue("one")).Get()), S_OK);
    ASSERT_EQ(set->Refresh(), S_OK);
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{3, 5}));

    ASSERT_EQ(set->put_FilterSet(nullptr), S_OK);
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{1, 2, 3, 4, 5}));
    ASSERT_EQ(set->get_FilterSet(attached.Put()), S_OK);
    EXPECT_EQ(attached.Get(), nullptr);
}

TEST_F(BugSetWalkTest, FailingFilterSetLeavesTheFilterAsItWas) {
    InsertThree();
    auto set = OpenAll();
    auto broken = FilterSet({Filter("Description", Equal, TextValue("one"))});
    ASSERT_EQ(broken->Add(engine::CreateObject<engine::CBugFilter>().Get()), S_OK); // no field
    EXPECT_EQ(set->put_FilterSet(broken.Get()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Set filter failed!");
    ComPtr<IBugFilterSet> attached;
    ASSERT_EQ(set->get_FilterSet(attached.Put()), S_OK);
    EXPECT_EQ(attached.Get(), nullptr);
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{1, 2, 3}));
}

TEST_F(BugSetWalkTest, ClosedSetReportsEachFailureWithItsOwnText) {
    InsertThree();
    auto set = OpenAll();
    ASSERT_EQ(set->Close(), S_OK);
    struct Expected {
        HRESULT hr;
        const char* description;
        const char* source;
    };
    LONG value = 0;
    ComPtr<IBug> bug;
    const Expected results[] = {
        {set->First(), "Move First Failed", "CBugSet::First"},
        {set->Next(), "Move Next Failed", "CBugSet::Next"},
        {set->get_Count(&value), "Get count of bugs failed!", "CBugSet::get_Count"},
        {set->get_Position(&value), "Get position failed!", "CBugSet::get_Position"},
        {set->put_Position(0), "Set position failed!", "CBugSet::put_Position"},
        {set->put_FilterSet(nullptr), "Set filter failed!", "CBugSet::put_FilterSet"},
        {set->GetBugByID(1, bug.Put()), "Get Bug Failed!", "CBugSet::GetBugByID"},
        // A failing cursor is not an empty one: the failure is reported.
        {set->get_CurItem(bug.Put()), "Get current item failed!", "CBugSet::get_CurItem"},
    };
    for (const auto& result : results) {
        EXPECT_EQ(result.hr, E_FAIL) << result.description;
        EXPECT_NE(ErrLog().find(std::string("[ErrCode]: 2\r\n[Source]: ") + result.source),
                  std::string::npos)
            << result.source;
    }
    EXPECT_EQ(bug.Get(), nullptr);
    EXPECT_EQ(set->get_CurItem(bug.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Get current item failed!");

    EXPECT_EQ(set->Refresh(), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Refresh failed!");
    // The Refresh entry runs description, {source} and the system message together.
    EXPECT_NE(ErrLog().find("[Source]: CBugSet::Refresh\r\n[Description]: Operation is not "
                            "allowed when the object is closed.{Velmora.SQLite}"),
              std::string::npos);
}

TEST_F(BugSetWalkTest, IsEndReportsTheEndAfterADatabaseError) {
    InsertThree();
    Execute("DROP TABLE tBugReport");
    auto set = engine::CreateObject<CBugSet>();
    set->SetContext(session_.Get());
    EXPECT_EQ(set->Open(nullptr), E_FAIL);
    LONG end = 0;
    EXPECT_EQ(set->IsEnd(&end), S_OK);
    EXPECT_EQ(end, 1);
    EXPECT_NE(ErrLog().find("[ErrCode]: 2\r\n[Source]: CBugSet::IsEnd"), std::string::npos);
}

// A cursor without bookmarks is counted by walking it; the count leaves it where it was.
class RowCountTest : public BugSetWalkTest {
  protected:
    void OpenForwardOnly(db::Recordset& rows) {
        rows.Open("SELECT * FROM tBugReport ORDER BY BugID", db::ProcessConnectionString(),
                  db::CursorType::ForwardOnly, db::LockType::ReadOnly);
        ASSERT_FALSE(rows.SupportsPositioning());
    }
};

TEST_F(RowCountTest, CountingKeepsTheCursorWhereItWas) {
    db::Recordset rows;
    OpenForwardOnly(rows);
    EXPECT_EQ(engine::CountRowsKeepingPosition(rows), 0);
    EXPECT_TRUE(rows.IsEOF());

    InsertThree();
    rows.Close();
    OpenForwardOnly(rows);
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
