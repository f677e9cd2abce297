// The statement a bug set runs: opened on a filter set, opened through the session's bug and
// feature lists, and re-sorted.
#include "tests/bugs_set/BugSetTestSupport.h"

#include "engine/session/ExeContext.h"

namespace velmora::test {
namespace {

// A session whose active version is 5, as after choosing that version.
class SessionOnVersion5 : public engine::CExeContext {
  public:
    HRESULT STDMETHODCALLTYPE get_ActiveVersionID(LONG* pVal) override {
        *pVal = 5;
        return S_OK;
    }
};

class BugSetStatementTest : public BugSetTest {
  protected:
    void SetUp() override {
        BugSetTest::SetUp();
        versioned_ = engine::CreateObject<SessionOnVersion5>();
        ASSERT_EQ(versioned_->OpenAccessDB(Bstr(database_).Get()), S_OK);
        ASSERT_EQ(versioned_->Login(Bstr("Admin").Get(), Bstr("").Get()), S_OK);
        ASSERT_EQ(versioned_->SetCurRole(1), S_OK);
    }
    void TearDown() override {
        versioned_.Reset();
        BugSetTest::TearDown();
    }

    // The statement of a list opened through the session.
    static std::string StatementOf(IBugSet* set) {
        auto* own = engine::ImplementationOf<CBugSet>(set);
        return own ? own->StatementText() : "<not an engine bug set>";
    }

    ComPtr<IBugFilterSet> OpenOrHigh() {
        return FilterSet({Filter("StatusName", Equal, TextValue("Open")),
                          Filter("PriorityName", Equal, TextValue("High"), LogOr)});
    }

    ComPtr<SessionOnVersion5> versioned_;
};

TEST_F(BugSetStatementTest, OpenWithoutConditionsOrdersByID) {
    auto set = engine::CreateObject<CBugSet>();
    set->SetContext(session_.Get());
    ASSERT_EQ(set->Open(nullptr), S_OK);
    EXPECT_EQ(set->StatementText(), "SELECT * FROM tBugReport ORDER BY BugID");

    ASSERT_EQ(set->Open(FilterSet({}).Get()), S_OK);
    EXPECT_EQ(set->StatementText(), "SELECT * FROM tBugReport ORDER BY BugID");
}

TEST_F(BugSetStatementTest, BugListAddsVersionAndTypeGroup) {
    ComPtr<IBugSet> set;
    ASSERT_EQ(versioned_->OpenBugSet(OpenOrHigh().Get(), set.Put()), S_OK);
    EXPECT_EQ(StatementOf(set.Get()),
              "SELECT * FROM tBugReport WHERE (StatusName = 'Open' OR PriorityName = 'High') AND "
              "(ReportedInVersionID = 5 AND BugType = 0) ORDER BY BugID");

    ASSERT_EQ(versioned_->OpenBugSet(nullptr, set.Put()), S_OK);
    EXPECT_EQ(StatementOf(set.Get()),
              "SELECT * FROM tBugReport WHERE (ReportedInVersionID = 5 AND BugType = 0) ORDER BY "
              "BugID");

    ASSERT_EQ(versioned_->OpenFeatureSet(nullptr, set.Put()), S_OK);
    EXPECT_EQ(StatementOf(set.Get()),
              "SELECT * FROM tBugReport WHERE (ReportedInVersionID = 5 AND BugType = 1) ORDER BY "
              "BugID");
}

TEST_F(BugSetStatementTest, ListsHoldOnlyTheirTypeInTheActiveVersionAndKeepCallerFilters) {
    InsertBug(1, "bug in 5");
    InsertBug(2, "feature in 5", 5, eFeature);
    InsertBug(3, "bug in 6", 6);
    InsertBug(4, "second bug in 5");
    ComPtr<IBugSet> bugs, features;
    ASSERT_EQ(versioned_->OpenBugSet(nullptr, bugs.Put()), S_OK);
    ASSERT_EQ(versioned_->OpenFeatureSet(nullptr, features.Put()), S_OK);
    EXPECT_EQ(Walk(bugs.Get()), (std::vector<LONG>{1, 4}));
    EXPECT_EQ(Walk(features.Get()), (std::vector<LONG>{2}));

    // The caller's set is copied, not changed.
    auto onlyFour = FilterSet({Filter("Description", Like, TextValue("second%"))});
    ASSERT_EQ(versioned_->OpenBugSet(onlyFour.Get(), bugs.Put()), S_OK);
    EXPECT_EQ(Walk(bugs.Get()), (std::vector<LONG>{4}));
    LONG count = 0;
    onlyFour->get_Count(&count);
    EXPECT_EQ(count, 1);

    // The bugs handed out carry the session.
    ComPtr<IExeContext> context;
    ASSERT_EQ(bugs->get_ExeContext(context.Put()), S_OK);
    EXPECT_EQ(context.Get(), static_cast<IExeContext*>(versioned_.Get()));
}

TEST_F(BugSetStatementTest, SortReplacesTheOrderClause) {
    ComPtr<IBugSet> set;
    ASSERT_EQ(versioned_->OpenBugSet(OpenOrHigh().Get(), set.Put()), S_OK);
    const std::string base = "SELECT * FROM tBugReport WHERE (StatusName = 'Open' OR PriorityName "
                             "= 'High') AND (ReportedInVersionID = 5 AND BugType = 0) ";
    ASSERT_EQ(set->Sort(ColSeverity, eDesc), S_OK);
    EXPECT_EQ(StatementOf(set.Get()), base + "ORDER BY SeverityName DESC");
    ASSERT_EQ(set->Sort(ColWorkaround, eAsc), S_OK);
    EXPECT_EQ(StatementOf(set.Get()), base + "ORDER BY WorkAround ASC");
    // Any non-zero order sorts descending.
    ASSERT_EQ(set->Sort(ColID, static_cast<eOrder>(7)), S_OK);
    EXPECT_EQ(StatementOf(set.Get()), base + "ORDER BY BugID DESC");
}

TEST_F(BugSetStatementTest, SortKeepsFilterValuesThatMentionOrderBy) {
    InsertBug(1, "see ORDER BY clause");
    InsertBug(2, "other");
    auto set = engine::CreateObject<CBugSet>();
    set->SetContext(session_.Get());
    ASSERT_EQ(set->Open(FilterSet({Filter("Description", Like, TextValue("%ORDER BY %"))}).Get()),
              S_OK);
    ASSERT_EQ(set->Sort(ColDescription, eDesc), S_OK);
    EXPECT_EQ(set->StatementText(), "SELECT * FROM tBugReport WHERE Description LIKE '%ORDER BY "
                                    "%' ORDER BY Description DESC");
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{1}));
}

TEST_F(BugSetStatementTest, SortOrdersRowsAndKeepsTheAttachedRowFilter) {
    InsertBug(1, "b");
    InsertBug(2, "c");
    InsertBug(3, "a");
    auto set = OpenAll();
    ASSERT_EQ(set->Sort(ColDescription, eAsc), S_OK);
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{3, 1, 2}));

    auto notA = FilterSet({Filter("Description", NotEqual, TextValue("a"))});
    ASSERT_EQ(set->put_FilterSet(notA.Get()), S_OK);
    ASSERT_EQ(set->Sort(ColDescription, eDesc), S_OK);
    EXPECT_EQ(Walk(set.Get()), (std::vector<LONG>{2, 1}));
}

TEST_F(BugSetStatementTest, SortByAnUnknownFieldFails) {
    auto set = OpenAll();
    EXPECT_EQ(set->Sort(static_cast<eBugField>(40), eAsc), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Set sort order failed!");
    EXPECT_NE(ErrLog().find("[Source]: Sort\r\n"), std::string::npos);
}

TEST_F(BugSetStatementTest, OpenFailureIsReported) {
    Execute("DROP TABLE tBugReport");
    auto set = engine::CreateObject<CBugSet>();
    set->SetContext(session_.Get());
    EXPECT_EQ(set->Open(nullptr), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Open bug set failed!");
    EXPECT_NE(ErrLog().find("[Source]: CBugSet::Open\r\n"), std::string::npos);

    ComPtr<IBugSet> list;
    EXPECT_EQ(versioned_->OpenBugSet(nullptr, list.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Open bug failed!");
    EXPECT_EQ(versioned_->OpenFeatureSet(nullptr, list.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Open Feature failed!");
    EXPECT_EQ(list.Get(), nullptr);
}

} // namespace
} // namespace velmora::test
