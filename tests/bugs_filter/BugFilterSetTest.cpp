// A filter set: groups and joins of its text, shared and copied filters, and the failures of
// Remove and Item.
#include <gtest/gtest.h>

#include "FilterTestSupport.h"

namespace velmora::test {
namespace {

class BugFilterSet : public FilterTest {
  protected:
    ComPtr<IBugFilter> Item(LONG index) {
        ComPtr<IBugFilter> item;
        EXPECT_EQ(set_->get_Item(index, item.Put()), S_OK);
        return item;
    }
    void Add(const ComPtr<CBugFilter>& filter) { ASSERT_EQ(set_->Add(filter.Get()), S_OK); }

    ComPtr<CBugFilterSet> set_ = engine::CreateObject<CBugFilterSet>();
};

// Setting and clearing the flag leaves no grouping; the first filter's operator is never used.
TEST_F(BugFilterSet, WorkedExampleWithAndWithoutTheGroupBreak) {
    for (const bool grouped : {true, false}) {
        set_ = engine::CreateObject<CBugFilterSet>();
        EXPECT_EQ(SqlOf(set_), "");
        Add(MakeFilter("StatusName", Equal, Text("Open"), LogOr));
        Add(MakeFilter("ReportedDate", LargerEqual, Date(OleDate(2004, 3, 5)), LogAnd));
        set_->put_NewGroup(1);
        if (!grouped) set_->put_NewGroup(0);
        Add(MakeFilter("Description", Like, Text("%crash%"), LogOr));
        EXPECT_EQ(SqlOf(set_), grouped ? "(StatusName = 'Open' AND ReportedDate >= #3/5/2004#) "
                                         "OR (Description LIKE '%crash%')"
                                       : "StatusName = 'Open' AND ReportedDate >= #3/5/2004# "
                                         "OR Description LIKE '%crash%'");
    }
    // A group begun on an empty set spans everything.
    set_ = engine::CreateObject<CBugFilterSet>();
    set_->put_NewGroup(1);
    Add(MakeFilter("ReportedInVersionID", Equal, Variant(5)));
    EXPECT_EQ(SqlOf(set_), "(ReportedInVersionID = 5)");
}

TEST_F(BugFilterSet, AddSharesTheFilterAndAFailingFilterFailsTheSet) {
    auto filter = MakeFilter("BugID", Equal, Variant(1));
    Add(filter);
    EXPECT_EQ(Item(0).Get(), static_cast<IBugFilter*>(filter.Get()));
    filter->put_Value(Variant(9));
    EXPECT_EQ(SqlOf(set_), "BugID = 9");
    EXPECT_EQ(set_->Add(nullptr), E_POINTER);

    Add(engine::CreateObject<CBugFilter>()); // no field, no text
    EXPECT_EQ(SqlOf(set_), std::nullopt);
    EXPECT_EQ(Logged(), 1); // only the filter's own entry
    EXPECT_EQ(ErrorDescription(), "<none>");
}

// Conditions and operators arrive as any 32-bit value, not only the named ones (found by the
// filter fuzz target with "F|BugID|3|1|3|2" and "F|BugTyp|31|2|9|1"): an unknown condition fails
// the set, an unknown operator joins with nothing.
TEST_F(BugFilterSet, ConditionsAndOperatorsMayHoldAnyThirtyTwoBitValue) {
    Add(MakeFilter("BugID", LargerThan, Variant(2)));
    auto odd = MakeFilter("BugType", Equal, Byte(1), LogOr);
    Add(odd);
    odd->put_Condition(static_cast<eLogCondition>(31));
    EXPECT_EQ(SqlOf(set_), std::nullopt);
    EXPECT_EQ(Logged(Entry(0, "CBugFilter::GetSQL", "Filter's parameter error")), 1);

    odd->put_Condition(Equal);
    odd->put_AndOr(static_cast<eLogOperation>(1000));
    EXPECT_EQ(SqlOf(set_), "BugID > 2BugType = 1");
    Bstr name;
    ASSERT_EQ(odd->GetAndOrStr(name.Put()), S_OK);
    EXPECT_EQ(name.Utf8(), "Or");
    eLogOperation andOr = LogAnd;
    odd->get_AndOr(&andOr);
    EXPECT_EQ(andOr, 1000);
}

TEST_F(BugFilterSet, RemoveClosesTheGapAndRefusesIndexesOutsideTheList) {
    for (LONG id : {1, 2, 3, 4}) {
        Add(MakeFilter("BugID", Equal, Variant(id)));
        if (id == 2) set_->put_NewGroup(1);
    }
    ASSERT_EQ(set_->Remove(0), S_OK);
    EXPECT_EQ(SqlOf(set_), "(BugID = 2 AND BugID = 3) AND (BugID = 4)");
    ASSERT_EQ(set_->Remove(2), S_OK); // the group start now lies past the end
    for (LONG index : {2, -1}) {
        EXPECT_EQ(set_->Remove(index), E_FAIL);
        EXPECT_EQ(ErrorDescription(), "Remove Filter failed");
        ComPtr<IBugFilter> item;
        EXPECT_EQ(set_->get_Item(index, item.Put()), E_FAIL);
        EXPECT_EQ(item.Get(), nullptr);
        EXPECT_EQ(ErrorDescription(), "Some error has occured, please see err.log!");
    }
    EXPECT_EQ(SqlOf(set_), "(BugID = 2 AND BugID = 3)");
    EXPECT_EQ(Logged(Entry(1, "CBugFilterSet::Remove", "Exceed Array's bound")), 2);
    EXPECT_EQ(Logged(Entry(1, "CBugFilterSet::Item", "Exceed boundary")), 2);
}

TEST_F(BugFilterSet, AddBatchAppendsCopiesJoinedWithAndFirst) {
    Add(MakeFilter("BugID", Equal, Variant(1)));
    set_->put_NewGroup(1);
    auto source = engine::CreateObject<CBugFilterSet>();
    auto first = MakeFilter("StatusName", NotEqual, Text("Closed"), LogOr);
    source->Add(first.Get());
    auto stale = MakeFilter("BugType", Equal, Byte(1), LogOr);
    stale->put_Field(Bstr("ClassID").Get()); // copied without the value check
    source->Add(stale.Get());
    source->put_NewGroup(1);

    ASSERT_EQ(set_->AddBatch(source.Get()), S_OK);
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

} // namespace
} // namespace velmora::test
