#include "client/filters/FilterListBuilder.h"

#include "client/config/OleDate.h"
#include "client/filters/FilterFile.h"

namespace tarnwick {

namespace {

ComPtr<IBugFilterSet> NewFilterSet(const char* name) {
    auto set = Create<IBugFilterSet>(CLSID_BugFilterSet, IID_IBugFilterSet);
    Check(set->put_Name(ToBstr(QString::fromUtf8(name)).Get()));
    return set;
}

// Appends "field = value" joined by OR, the one kind of condition the predefined filters use.
void AddEqualCondition(IBugFilterSet* set, const char* field, const VARIANT& value) {
    auto filter = Create<IBugFilter>(CLSID_BugFilter, IID_IBugFilter);
    Check(filter->put_AndOr(LogOr));
    Check(filter->put_Condition(Equal));
    Check(filter->put_Field(ToBstr(QString::fromUtf8(field)).Get()));
    Check(filter->put_Value(value));
    Check(set->Add(filter.Get()));
}

void AddEqualText(IBugFilterSet* set, const char* field, const QString& text) {
    velmora::com::Variant value;
    value.vt = VT_BSTR;
    value.bstrVal = ToBstr(text).Detach();
    AddEqualCondition(set, field, value);
}

ComPtr<IBugFilterSet> MyBugs(IExeContext* session, LONG userID) {
    auto set = NewFilterSet(kMyBugsFilter);
    const LONG productID = Long(session, &IExeContext::get_ActiveProductID);
    ComPtr<IClassificationSet> classifications;
    Check(session->GetUserClassification(userID, productID, classifications.Put()));
    const LONG count =
        classifications ? Long(classifications.Get(), &IClassificationSet::get_Count) : 0;
    for (LONG i = 0; i < count; ++i) {
        const auto classification = Item(classifications.Get(), &IClassificationSet::get_Item, i);
        AddEqualText(set.Get(), "Classification",
                     Text(classification.Get(), &IClassification::get_Name));
    }
    return set;
}

ComPtr<IBugFilterSet> TodaysBug(QDate today) {
    auto set = NewFilterSet(kTodaysBugFilter);
    velmora::com::Variant value;
    value.vt = VT_DATE;
    value.date = OleDateFromDate(today);
    AddEqualCondition(set.Get(), "ReportedDate", value);
    return set;
}

ComPtr<IBugFilterSet> StatusFilter(const char* name, const char* status) {
    auto set = NewFilterSet(name);
    AddEqualText(set.Get(), "StatusName", QString::fromUtf8(status));
    return set;
}

} // namespace

void BuildFilterList(IExeContext* session, FilterList& list, const QString& filterFile,
                     QDate today) {
    list.Clear();
    const LONG userID = Long(session, &IExeContext::get_CurUserID);
    if (userID == 0) return;
    list.Add(MyBugs(session, userID));
    list.Add(TodaysBug(today));
    list.Add(StatusFilter(kFixedBugsFilter, "Fixed"));
    list.Add(StatusFilter(kVerifiedBugsFilter, "Verified"));
    list.SetPredefinedCount(list.Count());
    LoadFilterFile(filterFile, list);
}

} // namespace tarnwick
