#include "client/filters/FilterFile.h"

#include <QFile>

#include "client/config/AtomicFileWrite.h"
#include "client/config/RecordStream.h"

namespace tarnwick {

const char* const kSaveFilterFileFailed = "Save Filter.ser failed!";

namespace {

constexpr qint32 kFormatVersion = 1;

// Reads one condition; returns none when the file ended early.
ComPtr<IBugFilter> ReadCondition(RecordReader& reader) {
    QString field;
    qint32 condition = 0;
    qint16 valueType = 0;
    if (!reader.ReadText(field) || !reader.ReadInt32(condition) || !reader.ReadInt16(valueType))
        return nullptr;
    velmora::com::Variant value;
    switch (valueType) {
    case VT_I4: {
        qint32 number = 0;
        if (!reader.ReadInt32(number)) return nullptr;
        value.vt = VT_I4;
        value.lVal = number;
        break;
    }
    case VT_DATE: {
        double date = 0;
        if (!reader.ReadDouble(date)) return nullptr;
        value.vt = VT_DATE;
        value.date = date;
        break;
    }
    case VT_BSTR: {
        QString text;
        if (!reader.ReadText(text)) return nullptr;
        value.vt = VT_BSTR;
        value.bstrVal = ToBstr(text).Detach();
        break;
    }
    default: // no value follows
        break;
    }
    qint32 andOr = 0;
    if (!reader.ReadInt32(andOr)) return nullptr;

    auto filter = Create<IBugFilter>(CLSID_BugFilter, IID_IBugFilter);
    Check(filter->put_Field(ToBstr(field).Get()));
    Check(filter->put_Condition(static_cast<eLogCondition>(condition)));
    if (value.vt != VT_EMPTY) Check(filter->put_Value(value));
    Check(filter->put_AndOr(static_cast<eLogOperation>(andOr)));
    return filter;
}

// Reads one filter set; returns none when the file ended early.
ComPtr<IBugFilterSet> ReadFilterSet(RecordReader& reader) {
    QString name;
    qint32 count = 0;
    if (!reader.ReadText(name) || !reader.ReadInt32(count) || count < 0) return nullptr;
    auto set = Create<IBugFilterSet>(CLSID_BugFilterSet, IID_IBugFilterSet);
    Check(set->put_Name(ToBstr(name).Get()));
    for (qint32 i = 0; i < count; ++i) {
        auto filter = ReadCondition(reader);
        if (!filter) return nullptr;
        Check(set->Add(filter.Get()));
    }
    return set;
}

void WriteCondition(RecordWriter& writer, IBugFilter* filter) {
    writer.WriteText(Text(filter, &IBugFilter::get_Field));
    eLogCondition condition = Equal;
    Check(filter->get_Condition(&condition));
    writer.WriteInt32(condition);
    velmora::com::Variant value;
    Check(filter->get_Value(&value));
    // Types without a stored form keep their own number, so a reader knows no value follows.
    writer.WriteInt16(static_cast<qint16>(value.vt));
    switch (value.vt) {
    case VT_I4:
        writer.WriteInt32(value.lVal);
        break;
    case VT_DATE:
        writer.WriteDouble(value.date);
        break;
    case VT_BSTR:
        writer.WriteText(FromBstr(value.bstrVal));
        break;
    default:
        break;
    }
    eLogOperation andOr = LogAnd;
    Check(filter->get_AndOr(&andOr));
    writer.WriteInt32(andOr);
}

} // namespace

bool LoadFilterFile(const QString& path, FilterList& list) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    RecordReader reader(file);
    qint32 version = 0;
    qint32 count = 0;
    if (!reader.ReadInt32(version) || version != kFormatVersion) return false;
    if (!reader.ReadInt32(count) || count < 0) return false;
    for (qint32 i = 0; i < count; ++i) {
        auto set = ReadFilterSet(reader);
        if (!set || !list.Add(std::move(set))) return false;
    }
    return true;
}

bool SaveFilterFile(const QString& path, const FilterList& list) {
    RecordWriter writer;
    writer.WriteInt32(kFormatVersion);
    const int first = list.PredefinedCount();
    writer.WriteInt32(list.Count() - first);
    for (int i = first; i < list.Count(); ++i) {
        const auto set = list.GetAt(i);
        writer.WriteText(Text(set.Get(), &IBugFilterSet::get_Name));
        const LONG count = Long(set.Get(), &IBugFilterSet::get_Count);
        writer.WriteInt32(count);
        for (LONG k = 0; k < count; ++k)
            WriteCondition(writer, Item(set.Get(), &IBugFilterSet::get_Item, k).Get());
    }
    return WriteFileAtomically(path, writer.Bytes()).isEmpty();
}

} // namespace tarnwick
