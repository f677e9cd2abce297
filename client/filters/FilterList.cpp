#include "client/filters/FilterList.h"

#include <algorithm>

#include <velmora/ComSupport.h>

namespace tarnwick {

namespace {

ComPtr<IBugFilter> CopyFilter(IBugFilter* source) {
    auto copy = Create<IBugFilter>(CLSID_BugFilter, IID_IBugFilter);
    eLogOperation andOr = LogAnd;
    Check(source->get_AndOr(&andOr));
    Check(copy->put_AndOr(andOr));
    eLogCondition condition = Equal;
    Check(source->get_Condition(&condition));
    Check(copy->put_Condition(condition));
    // The field goes first: the filter judges a value by the field it has at that moment.
    Check(copy->put_Field(ToBstr(Text(source, &IBugFilter::get_Field)).Get()));
    velmora::com::Variant value;
    Check(source->get_Value(&value));
    // A condition whose value was never set keeps the new filter's empty value, which the
    // filter would refuse to take as a value of a typed field.
    if (value.vt != VT_EMPTY) Check(copy->put_Value(value));
    return copy;
}

} // namespace

ComPtr<IBugFilterSet> CopyFilterSet(IBugFilterSet* source) {
    auto copy = Create<IBugFilterSet>(CLSID_BugFilterSet, IID_IBugFilterSet);
    Check(copy->put_Name(ToBstr(Text(source, &IBugFilterSet::get_Name)).Get()));
    const LONG count = Long(source, &IBugFilterSet::get_Count);
    for (LONG i = 0; i < count; ++i)
        Check(copy->Add(CopyFilter(Item(source, &IBugFilterSet::get_Item, i).Get()).Get()));
    return copy;
}

void FilterList::Clear() {
    entries_.clear();
    predefinedCount_ = 0;
}

int FilterList::IndexOf(const QString& name) const {
    for (int i = 0; i < Count(); ++i)
        if (Text(entries_[static_cast<size_t>(i)].Get(), &IBugFilterSet::get_Name) == name)
            return i;
    return -1;
}

bool FilterList::Add(ComPtr<IBugFilterSet> set) {
    if (!set) return false;
    if (IndexOf(Text(set.Get(), &IBugFilterSet::get_Name)) >= 0) return false;
    entries_.push_back(std::move(set));
    return true;
}

ComPtr<IBugFilterSet> FilterList::GetAt(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return entries_[static_cast<size_t>(index)];
}

bool FilterList::RemoveAt(int index) {
    if (index < 0 || index >= Count()) return false;
    entries_.erase(entries_.begin() + index);
    if (index < predefinedCount_) --predefinedCount_;
    return true;
}

bool FilterList::RemoveByName(const QString& name) {
    return RemoveAt(IndexOf(name));
}

ComPtr<IBugFilterSet> FilterList::FindByName(const QString& name) const {
    return GetAt(IndexOf(name));
}

void FilterList::Copy(const FilterList& other) {
    std::vector<ComPtr<IBugFilterSet>> copies;
    copies.reserve(other.entries_.size());
    for (const auto& entry : other.entries_)
        copies.push_back(CopyFilterSet(entry.Get()));
    entries_ = std::move(copies);
    predefinedCount_ = other.predefinedCount_;
}

void FilterList::SetPredefinedCount(int count) {
    predefinedCount_ = std::clamp(count, 0, Count());
}

} // namespace tarnwick
