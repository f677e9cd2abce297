// The statement a bug set runs: opened on a filter set, opened through the session's bug and
// feature lists, and re-sorted.
#include "engine/bugs/BugSetColumns.h"
#include "tests/bugs_set/BugSetTestSupport.h"

namespace velmora::test {
namespace {

class BugSetStatementTest : public BugSetTest {
  protected:
    // The statement of a list opened through the session.
    static std::string StatementOf(IBugSet* set) {
        auto* own = engine::ImplementationOf<CBugSet>(set);
        return own ? own->StatementText() : "<not an engine bug set>";
    }
    static ComPtr<IBugFilterSet> OpenOrHigh() {
        return Filters({{"StatusName", Equal, "Open"}, {"PriorityName", Equal, "High", LogOr}});
    }
};

TEST_F(BugSetStatementTest, StatementsOfTheSetAndOfTheSessionsLists) {
    auto own = OpenAll();
    EXPECT_EQ(own->StatementText(), "SELECT * FROM tBugReport ORDER BY BugID");
    ASSERT_EQ(own->Open(Filters({}).Get()), S_OK);
    EXPECT_EQ(own->StatementText(), "SELECT * FROM tBugReport ORDER BY BugID");

    ComPtr<IBugSet> set;
    ASSERT_EQ(session_->OpenBugSet(OpenOrHigh().Get(), set.Put()), S_OK);
    EXPECT_EQ(StatementOf(set.Get()),
              "SELECT * FROM tBugReport WHERE (StatusName = 'Open' OR PriorityName = 'High') AND "
              "(ReportedInVersionID = 5 AND BugType = 0) ORDER BY BugID");
    ASSERT_EQ(session_->OpenBugSet(nullptr, set.Put()), S_OK);
    EXPECT_EQ(StatementOf(set.Get()),
              "SELECT * FROM tBugReport WHERE (ReportedInVersionID = 5 AND BugType = 0) ORDER BY "
              "BugID");
    ASSERT_EQ(session_->OpenFeatureSet(nullptr, set.Put()), S_OK);
    EXPECT_EQ(StatementOf(set.Get()),
              "SELECT * FROM tBugReport WHERE (ReportedInVersionID = 5 AND BugType = 1) ORDER BY "
              "BugID");
}

TEST_F(BugSetStatementTest, ListsHoldOnlyTheirTypeInTheActiveVersionAndKeepCallerFilters) {
    InsertBug(1, "bug in 5");
    InsertBug(2, "feature in 5", 5, eFeature);
    InsertBug(3, "bug in 6", 6);
    InsertBug(4, "second bug in 5");
    ComPtr<IBugSet> features, bugs;
    ASSERT_EQ(session_->OpenFeatureSet(nullptr, features.Put()), S_OK);
    EXPECT_EQ(Walk(features.Get()), (std::vector<LONG>{2}));
    // The caller's filters are added to a copy: the set itself is not changed.
    auto callers = Filters({{"Description", Like, "%in%"}});
    ASSERT_EQ(session_->OpenBugSet(callers.Get(), bugs.Put()), S_OK);
    EXPECT_EQ(Walk(bugs.Get()), (std::vector<LONG>{1, 4}));
    Bstr sql;
    callers->GetSQL(sql.Put());
    EXPECT_EQ(sql.Utf8(), "Description LIKE '%in%'");
}

TEST_F(BugSetStatementTest, SortReplacesTheOrderClause) {
    ComPtr<IBugSet> set;
    ASSERT_EQ(session_->OpenBugSet(OpenOrHigh().Get(), set.Put()), S_OK);
    const std::string base = "SELECT * FROM tBugReport WHERE (StatusName = 'Open' OR PriorityName "
                             "= 'High') AND (ReportedInVersionID = 5 AND BugType = 0) ";
    ASSERT_EQ(set->Sort(ColSeverity, eDesc), S_OK);
    EXPECT_EQ(StatementOf(set.Get()), base + "ORDER BY SeverityName DESC");
    // Every field names a column the statement can sort by.
    for (LONG field = ColID; field <= ColBugType; ++field) {
        ASSERT_EQ(set->Sort(static_cast<eBugField>(field), eAsc), S_OK) << field;
        EXPECT_EQ(StatementOf(set.Get()), base + "ORDER BY " +
                                              std::string(engine::BugColumnName(field)) + " ASC");
    }
    // Any non-zero order sorts descending.
    ASSERT_EQ(set->Sort(ColID, static_cast<eOrder>(7)), S_OK);
    EXPECT_EQ(StatementOf(set.Get()), base + "ORDER BY BugID DESC");

    EXPECT_TRUE(Refused(set->Sort(static_cast<eBugField>(40), eAsc), "Set sort order failed!",
                        "[Source]: Sort\r\n"));
}

// A filter value that mentions ORDER BY is not taken for the order clause; the attached row
// filter stays through a sort.
TEST_F(BugSetStatementTest, SortOrdersRowsAndKeepsFilterValuesAndTheRowFilter) {
    InsertBug(1, "b: see ORDER BY clause");
    InsertBug(2, "c");
    InsertBug(3, "a: ORDER BY ");
    auto set = OpenAll();
    ASSERT_EQ(set->Sort(ColDescription, eAsc), S_OK);
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{3, 1, 2}));

    ASSERT_EQ(set->Open(Filters({{"Description", Like, "%ORDER BY %"}}).Get()), S_OK);
    ASSERT_EQ(set->Sort(ColDescription, eDesc), S_OK);
    EXPECT_EQ(set->StatementText(), "SELECT * FROM tBugReport WHERE Description LIKE '%ORDER BY "
                                    "%' ORDER BY Description DESC");
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{1, 3}));
    ASSERT_EQ(
        set->put_FilterSet(Filters({{"Description", NotEqual, "b: see ORDER BY clause"}}).Get()),
        S_OK);
    ASSERT_EQ(set->Sort(ColDescription, eAsc), S_OK);
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{3}));
}

TEST_F(BugSetStatementTest, OpenFailureIsReported) {
    Execute("DROP TABLE tBugReport");
    auto set = engine::CreateObject<CBugSet>();
    set->SetContext(session_.Get());
    EXPECT_TRUE(Refused(set->Open(nullptr), "Open bug set failed!", "[Source]: CBugSet::Open\r\n"));
    ComPtr<IBugSet> list;
    EXPECT_TRUE(Refused(session_->OpenBugSet(nullptr, list.Put()), "Open bug failed!"));
    EXPECT_TRUE(Refused(session_->OpenFeatureSet(nullptr, list.Put()), "Open Feature failed!"));
    EXPECT_EQ(list.Get(), nullptr);
}

} // namespace
} // namespace velmora::test
