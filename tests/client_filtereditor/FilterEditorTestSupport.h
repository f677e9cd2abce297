#pragma once
// What the filter editor's tests share: a logged-in session on a demo database with the filter
// list built for it, and readers of what the dialog shows.
#include <QString>
#include <QStringList>

#include "client/adapter/EngineCall.h"
#include "client/filters/FilterList.h"

class QComboBox;
class QListWidget;
class QTreeWidget;

namespace tarnwick::test {

// Opens database, logs mhart in and makes the version with the most bugs active.
ComPtr<IExeContext> OpenSession(const QString& database);

// The session's filter list: the four predefined filters and those saved in filterFile (a
// missing file adds none).
FilterList BuildList(IExeContext* session, const QString& filterFile);

// Every entry of a list: its name, then one line per condition (as Describe writes them).
QStringList DescribeList(const FilterList& list);
QStringList NamesOf(const FilterList& list);

// The rows of the condition list, one "andOr|field|condition|value" line each.
QStringList Rows(const QTreeWidget* conditions);
QStringList Texts(const QListWidget* list);
QStringList Texts(const QComboBox* box);

// The names of a lookup list of the session (severities, statuses, priorities, ...).
template <class Lookup> QStringList LookupNames(Lookup* lookup) {
    QStringList names;
    const LONG count = Long(lookup, &Lookup::get_Count);
    for (LONG i = 0; i < count; ++i) {
        Bstr name;
        Check(lookup->get_Item(i, name.Put()));
        names << FromBstr(name.Get());
    }
    return names;
}

// A filter set that behaves like the one it wraps but refuses AddBatch, as a set whose copy
// fails half-way would.
ComPtr<IBugFilterSet> RefusingAddBatch(ComPtr<IBugFilterSet> wrapped);

} // namespace tarnwick::test
