#pragma once
// Building and describing filter sets in the filter tests.
#include <QString>
#include <QStringList>

#include <initializer_list>

#include "client/adapter/EngineCall.h"

namespace tarnwick::test {

struct Condition {
    const char* field;
    eLogCondition condition;
    velmora::com::Variant value;
    eLogOperation andOr;
};

inline velmora::com::Variant TextValue(const QString& text) {
    velmora::com::Variant value;
    value.vt = VT_BSTR;
    value.bstrVal = ToBstr(text).Detach();
    return value;
}

inline velmora::com::Variant DateValue(DATE date) {
    velmora::com::Variant value;
    value.vt = VT_DATE;
    value.date = date;
    return value;
}

inline velmora::com::Variant ByteValue(BYTE byte) {
    velmora::com::Variant value;
    value.vt = VT_UI1;
    value.bVal = byte;
    return value;
}

inline velmora::com::Variant NullValue() {
    velmora::com::Variant value;
    value.vt = VT_NULL;
    return value;
}

inline ComPtr<IBugFilterSet> MakeSet(const QString& name,
                                     std::initializer_list<Condition> conditions = {}) {
    auto set = Create<IBugFilterSet>(CLSID_BugFilterSet, IID_IBugFilterSet);
    Check(set->put_Name(ToBstr(name).Get()));
    for (const Condition& c : conditions) {
        auto filter = Create<IBugFilter>(CLSID_BugFilter, IID_IBugFilter);
        Check(filter->put_Field(ToBstr(QString::fromUtf8(c.field)).Get()));
        Check(filter->put_Condition(c.condition));
        if (c.value.vt != VT_EMPTY) Check(filter->put_Value(c.value));
        Check(filter->put_AndOr(c.andOr));
        Check(set->Add(filter.Get()));
    }
    return set;
}

// One line per condition: "andOr field condition type:value", the date to full precision.
inline QStringList Describe(IBugFilterSet* set) {
    QStringList lines;
    const LONG count = Long(set, &IBugFilterSet::get_Count);
    for (LONG i = 0; i < count; ++i) {
        const auto filter = Item(set, &IBugFilterSet::get_Item, i);
        eLogOperation andOr = LogAnd;
        eLogCondition condition = Equal;
        Check(filter->get_AndOr(&andOr));
        Check(filter->get_Condition(&condition));
        velmora::com::Variant value;
        Check(filter->get_Value(&value));
        QString shown;
        switch (value.vt) {
        case VT_I4:
            shown = QString::number(value.lVal);
            break;
        case VT_DATE:
            shown = QString::number(value.date, 'g', 17);
            break;
        case VT_BSTR:
            shown = FromBstr(value.bstrVal);
            break;
        case VT_UI1:
            shown = QString::number(value.bVal);
            break;
        default:
            break;
        }
        lines << QStringLiteral("%1 %2 %3 %4:%5")
                     .arg(andOr)
                     .arg(Text(filter.Get(), &IBugFilter::get_Field))
                     .arg(condition)
                     .arg(value.vt)
                     .arg(shown);
    }
    return lines;
}

} // namespace tarnwick::test
