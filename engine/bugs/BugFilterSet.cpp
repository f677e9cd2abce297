#include "engine/bugs/BugFilterSet.h"

#include "engine/bugs/BugFilter.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/OutParams.h"

namespace velmora::engine {

namespace {

const ClassInfo& kClass = classes::BugFilterSet;

bool InRange(LONG index, size_t count) {
    return index >= 0 && static_cast<size_t>(index) < count;
}

const char* JoinText(LONG andOr) {
    switch (andOr) {
    case LogAnd:
        return " AND ";
    case LogOr:
        return " OR ";
    default:
        return "";
    }
}

HRESULT AddBatchFailed(const char* logText) {
    return Fail(kClass, "Add batch failed!", 0, "CBugFilterSet::AddBatch", logText);
}

} // namespace

HRESULT CBugFilterSet::get_Name(BSTR* pVal) {
    return ReturnText(name_, pVal);
}
HRESULT CBugFilterSet::put_Name(BSTR newVal) {
    return StoreText(newVal, name_);
}

HRESULT CBugFilterSet::get_Count(LONG* pVal) {
    return ReturnValue(static_cast<LONG>(filters_.size()), pVal);
}

HRESULT CBugFilterSet::Add(IBugFilter* p) {
    // A null entry would fail every later GetSQL and Item of the set.
    if (!p) return E_POINTER;
    return Guard([&] {
        filters_.emplace_back(p);
        return S_OK;
    });
}

HRESULT CBugFilterSet::Remove(LONG index) {
    if (!InRange(index, filters_.size()))
        return Fail(kClass, "Remove Filter failed", 1, "CBugFilterSet::Remove", "");
    filters_.erase(filters_.begin() + index);
    return S_OK;
}

HRESULT CBugFilterSet::GetSQL(BSTR* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    return Guard([&]() -> HRESULT {
        std::string sql = newGroup_ ? "(" : "";
        for (size_t i = 0; i < filters_.size(); ++i) {
            IBugFilter* filter = filters_[i].Get();
            com::Bstr condition;
            // The filter has logged why it has no text.
            if (FAILED(filter->GetSQL(condition.Put()))) return E_FAIL;
            if (i > 0) {
                eLogOperation andOr = LogAnd;
                if (FAILED(filter->get_AndOr(&andOr))) return E_FAIL;
                const bool groupBreak = static_cast<LONG>(i) == groupStart_;
                if (groupBreak) sql += ")";
                sql += JoinText(andOr);
                if (groupBreak) sql += "(";
            }
            sql += condition.Utf8();
        }
        if (newGroup_) sql += ")";
        return ReturnText(sql, pVal);
    });
}

HRESULT CBugFilterSet::get_Item(LONG iIndex, IBugFilter** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    if (!InRange(iIndex, filters_.size()))
        return Fail(kClass, kSeeErrorLog, 1, "CBugFilterSet::Item", "Exceed boundary");
    return ReturnObject(filters_[iIndex], pVal);
}

HRESULT CBugFilterSet::AddBatch(IBugFilterSet* pFilterSet) {
    if (!pFilterSet) return S_OK;
    // The count is taken once, so appending a set to itself copies its filters once.
    LONG count = 0;
    if (FAILED(pFilterSet->get_Count(&count))) return AddBatchFailed("get_Item failed!");
    for (LONG i = 0; i < count; ++i) {
        com::ComPtr<IBugFilter> source;
        if (FAILED(pFilterSet->get_Item(i, source.Put())) || !source)
            return AddBatchFailed("get_Item failed!");
        const HRESULT hr = AppendCopyOf(source.Get(), i == 0);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

// Copies AndOr, Field, Condition and Value of one filter into a new filter appended to this set.
// The value is copied as it is, without the value check of put_Value.
HRESULT CBugFilterSet::AppendCopyOf(IBugFilter* source, bool first) {
    // Running out of memory is reported as a failed Add.
    constexpr OnFailure kAddFailed = {.description = "Add batch failed!",
                                      .logCode = 0,
                                      .logSource = "CBugFilterSet::AddBatch",
                                      .outOfMemoryLog = "Add failed!"};
    return Guard(kClass, kAddFailed, [&] {
        auto copy = CreateObject<CBugFilter>();
        BugFilterData& data = copy->Data();
        com::Bstr field;
        com::Variant value;
        if (FAILED(source->get_AndOr(&data.andOr)) || FAILED(source->get_Field(field.Put())) ||
            FAILED(source->get_Condition(&data.condition)) || FAILED(source->get_Value(&value)) ||
            FAILED(StoreText(field.Get(), data.field)) || FAILED(VariantCopy(&data.value, &value)))
            return AddBatchFailed("get_Item failed!");
        if (first) data.andOr = LogAnd;
        if (FAILED(Add(copy.Get()))) return AddBatchFailed("Add failed!");
        return S_OK;
    });
}

HRESULT CBugFilterSet::get_NewGroup(LONG* pVal) {
    return ReturnValue(newGroup_, pVal);
}

HRESULT CBugFilterSet::put_NewGroup(LONG newVal) {
    newGroup_ = newVal;
    groupStart_ = newVal ? static_cast<LONG>(filters_.size()) : 0;
    return S_OK;
}

} // namespace velmora::engine
