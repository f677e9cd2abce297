// A filter set: groups and joins of its text, shared and copied filters, and the failures of
// Remove, Item and AddBatch.
#include <gtest/gtest.h>

#include "FilterTestSupport.h"

namespace velmora::test {
namespace {

class BugFilterSet : public FilterTest {
  protected:
    LONG Count() {
        LONG count = -1;
        EXPECT_EQ(set_->get_Count(&count), S_OK);
        return count;
    }
    ComPtr<IBugFilter> Item(LONG index) {
        ComPtr<IBugFilter> item;
        EXPECT_EQ(set_->get_Item(index, item.Put()), S_OK);
        return item;
    }
    void Add(const ComPtr<CBugFilter>& filter) { ASSERT_EQ(set_->Add(filter.Get()), S_OK); }

    ComPtr<CBugFilterSet> set_ = engine::CreateObject<CBugFilterSet>();
};

TEST_F(BugFilterSet, WorkedExampleWithAndWithoutTheGroupBreak) {
    for (const bool grouped : {true, false}) {
        set_ = engine::CreateObject<CBugFilterSet>();
        Add(MakeFilter("StatusName", Equal, Text("Open")));
        Add(MakeFilter("ReportedDate", LargerEqual, Date(OleDate(2004, 3, 5)), LogAnd));
        if (grouped) set_->put_NewGroup(1);
        Add(MakeFilter("Description", Like, Text("%crash%"), LogOr));
        EXPECT_EQ(SqlOf(set_), grouped ? "(StatusName = 'Open' AND ReportedDate >= #3/5/2004#) "
                                         "OR (Description LIKE '%crash%')"
                                       : "StatusName = 'Open' AND ReportedDate >= #3/5/2004# "
                                         "OR Description LIKE '%crash%'");
    }
}

TEST_F(BugFilterSet, SessionSetGroupsTheCallersFiltersBeforeVersionAndType) {
    Add(MakeFilter("StatusName", Equal, Text("Open")));
    Add(MakeFilter("PriorityName", Equal, Text("High"), LogOr));
    set_->put_NewGroup(1);
    Add(MakeFilter("ReportedInVersionID", Equal, Int32(5)));
    Add(MakeFilter("BugType", Equal, Byte(0)));
    EXPECT_EQ(SqlOf(set_), "(StatusName = 'Open' OR PriorityName = 'High') AND "
                           "(ReportedInVersionID = 5 AND BugType = 0)");
    // Without caller filters the one group spans everything.
    set_ = engine::CreateObject<CBugFilterSet>();
    set_->put_NewGroup(1);
    EXPECT_EQ(SqlOf(set_), "()");
    Add(MakeFilter("ReportedInVersionID", Equal, Int32(5)));
    EXPECT_EQ(SqlOf(set_), "(ReportedInVersionID = 5)");
}

TEST_F(BugFilterSet, JoinsAndGroupingFollowTheFiltersAndTheFlag) {
    EXPECT_EQ(SqlOf(set_), "");
    Add(MakeFilter("BugID", Equal, Int32(1), LogOr)); // the first operator is never used
    Add(MakeFilter("BugID", Equal, Int32(2), LogOr));
    set_->put_NewGroup(1);
    set_->put_NewGroup(0); // clearing the flag removes the grouping
    Add(MakeFilter("BugID", Equal, Int32(3)));
    EXPECT_EQ(SqlOf(set_), "BugID = 1 OR BugID = 2 AND BugID = 3");
    // An operator other than And and Or joins with nothing.
    Item(2)->put_AndOr(static_cast<eLogOperation>(0));
    EXPECT_EQ(SqlOf(set_), "BugID = 1 OR BugID = 2BugID = 3");
}

TEST_F(BugFilterSet, AddSharesTheFilterAndAFailingFilterFailsTheSet) {
    auto filter = MakeFilter("BugID", Equal, Int32(1));
    Add(filter);
    EXPECT_EQ(Item(0).Get(), static_cast<IBugFilter*>(filter.Get()));
    filter->put_Value(Int32(9));
    EXPECT_EQ(SqlOf(set_), "BugID = 9");
    EXPECT_EQ(set_->Add(nullptr), E_POINTER);

    Add(engine::CreateObject<CBugFilter>()); // no field, no text
    EXPECT_EQ(SqlOf(set_), std::nullopt);
    EXPECT_EQ(Logged(), 1); // only the filter's own entry
    EXPECT_EQ(TakeCallerError(), std::nullopt);
}

TEST_F(BugFilterSet, RemoveClosesTheGapAndKeepsTheGroupStart) {
    for (LONG id : {1, 2, 3, 4}) {
        Add(MakeFilter("BugID", Equal, Int32(id)));
        if (id == 2) set_->put_NewGroup(1);
    }
    ASSERT_EQ(set_->Remove(0), S_OK);
    EXPECT_EQ(SqlOf(set_), "(BugID = 2 AND BugID = 3) AND (BugID = 4)");
    ASSERT_EQ(set_->Remove(2), S_OK); // the group start now lies past the end
    EXPECT_EQ(SqlOf(set_), "(BugID = 2 AND BugID = 3)");
}

TEST_F(BugFilterSet, IndexesOutsideTheListFail) {
    Add(MakeFilter("BugID", Equal, Int32(1)));
    for (LONG index : {1, -1}) {
        EXPECT_EQ(set_->Remove(index), E_FAIL);
        EXPECT_EQ(TakeCallerError(), "Remove Filter failed");
        ComPtr<IBugFilter> item;
        EXPECT_EQ(set_->get_Item(index, item.Put()), E_FAIL);
        EXPECT_EQ(item.Get(), nullptr);
        EXPECT_EQ(TakeCallerError(), "Some error has occured, please see err.log!");
    }
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(Logged(1, "CBugFilterSet::Remove", "Exceed Array's bound"), 2);
    EXPECT_EQ(Logged(1, "CBugFilterSet::Item", "Exceed boundary"), 2);
}

TEST_F(BugFilterSet, AddBatchAppendsCopiesJoinedWithAndFirst) {
    Add(MakeFilter("BugID", Equal, Int32(1)));
    set_->put_NewGroup(1);
    auto source = engine::CreateObject<CBugFilterSet>();
    auto first = MakeFilter("StatusName", NotEqual, Text("Closed"), LogOr);
    source->Add(first.Get());
    auto stale = MakeFilter("BugType", Equal, Byte(1), LogOr);
    stale->put_Field(Bstr("ClassID").Get()); // copied without the value check
    source->Add(stale.Get());
    source->put_NewGroup(1);

    ASSERT_EQ(set_->AddBatch(source.Get()), S_OK);
    EXPECT_EQ(Count(), 3);
    EXPECT_NE(Item(1).Get(), static_cast<IBugFilter*>(first.Get()));
    Variant value;
    Item(2)->get_Value(&value);
    EXPECT_EQ(value.vt, VT_UI1);
    Item(2)->put_Field(Bstr("BugType").Get());
    // This set's grouping stays; the copies do not follow the source's filters.
    first->put_Value(Text("Open"));
    EXPECT_EQ(SqlOf(set_), "(BugID = 1) AND (StatusName <> 'Closed' OR BugType = 1)");
    // Appending a set to itself copies its filters once; a null set appends nothing.
    ASSERT_EQ(source->AddBatch(source.Get()), S_OK);
    ASSERT_EQ(source->AddBatch(nullptr), S_OK);
    LONG count = 0;
    source->get_Count(&count);
    EXPECT_EQ(count, 4);
}

// A set whose Item fails from the second filter on.
class CFailingSet : public CBugFilterSet {
  public:
    HRESULT STDMETHODCALLTYPE get_Item(LONG index, IBugFilter** item) override {
        return index > 0 ? E_FAIL : CBugFilterSet::get_Item(index, item);
    }
};

TEST_F(BugFilterSet, AddBatchStopsAtAFailingItemAndKeepsWhatItAppended) {
    auto source = engine::CreateObject<CFailingSet>();
    source->Add(MakeFilter("BugID", Equal, Int32(8), LogOr).Get());
    source->Add(MakeFilter("BugID", Equal, Int32(9)).Get());
    EXPECT_EQ(set_->AddBatch(source.Get()), E_FAIL);
    EXPECT_EQ(TakeCallerError(), "Add batch failed!");
    EXPECT_EQ(Logged(0, "CBugFilterSet::AddBatch", "get_Item failed!"), 1);
    EXPECT_EQ(SqlOf(set_), "BugID = 8");
}

} // namespace
} // namespace velmora::test
