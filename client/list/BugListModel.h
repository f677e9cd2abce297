#pragma once
// The rows of one engine bug set as a table, read on demand: the row count is the set's Count,
// and a cell moves the set's cursor to its row and reads that bug. A few recent rows are kept;
// every change drops them. The engine sorts and filters; this model only asks.
//
// Operations that change the list raise EngineFailure after leaving the model consistent (it
// is reset and recounted); failures while drawing leave cells empty and are kept in
// lastError().
#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QString>

#include "client/adapter/EngineCall.h"

namespace tarnwick {

class BugListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    // Role of the bug ID of a row (any column), 0 when the row cannot be read.
    static constexpr int BugIdRole = Qt::UserRole + 1;
    // How many recent rows are kept.
    static constexpr int kCachedRows = 64;

    explicit BugListModel(QObject* parent = nullptr);
    ~BugListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The set shown (null: an empty list). Counts it; the quick search, if any, is applied to
    // it. Raises EngineFailure when that fails (the list is then empty or unsearched).
    void setBugSet(ComPtr<IBugSet> set);
    const ComPtr<IBugSet>& bugSet() const { return set_; }

    // Re-runs the set's statement. Nothing without a set.
    void refresh();
    // The user's filter (null for none), combined with the quick search when there is one.
    // On failure the previous filter stays. Nothing without a set.
    void setFilter(ComPtr<IBugFilterSet> filter);
    // The user's filter: what was given to setFilter, or the set's own at setBugSet; null
    // without a set.
    ComPtr<IBugFilterSet> filter() const;
    // Stores a new bug; returns the stored bug, null without a set.
    ComPtr<IBug> addBug(IBug* bug);
    void updateBug(IBug* bug);
    void deleteBug(LONG id);
    // Deletes the bugs of the rows, the last row first. The IDs are all read before the first
    // deletion, so a change of order between deletions cannot remove a wrong bug. Stops at the
    // first failure (bugs deleted before it stay deleted); one reset at the end either way.
    void deleteRows(QList<int> rows);
    // Sorts the set by an engine field.
    void sortBy(eBugField field, eOrder order);

    // The bug of a row (cached), null when it cannot be read; the failure goes to lastError().
    ComPtr<IBug> bugAt(int row) const;
    // The ID of a row's bug, 0 when it cannot be read.
    LONG bugIdAt(int row) const;

    // The stored date format (%-codes) of the three date columns; empty for the locale's form.
    void setDateFormat(const QString& storedFormat);
    const QString& dateFormat() const { return dateFormat_; }

    // Narrows the rows to bugs whose ID is the number typed or whose Description contains the
    // text; empty shows all rows of the user's filter. On failure the search is off.
    void setQuickSearch(const QString& text);
    const QString& quickSearch() const { return search_; }
    bool isSearching() const { return searching_; }
    // Rows without the quick search (equal to rowCount() when there is none).
    int unsearchedCount() const { return searching_ ? unsearched_ : rows_; }

    // The text of the last engine failure met while reading rows or counting; empty if none.
    const QString& lastError() const { return lastError_; }
    void clearLastError() { lastError_.clear(); }

  signals:
    // After every change of the rows: shown rows and rows without the quick search.
    void countsChanged(int shown, int unsearched);

  private:
    template <class Work> void ResetAround(Work&& work);
    void Recount();
    void ApplyRowFilter();
    void DropCache() const;
    void Note(const EngineFailure& failure) const;
    QVariant CellText(IBug* bug, int column) const;
    bool InsertAddedRow(IBug* stored);

    ComPtr<IBugSet> set_;
    ComPtr<IBugFilterSet> userFilter_;
    QString search_;
    bool searching_ = false;
    int rows_ = 0;
    int unsearched_ = 0;
    QString dateFormat_;

    mutable QHash<int, ComPtr<IBug>> cache_;
    mutable QList<int> cacheOrder_; // oldest first
    mutable QString lastError_;
};

} // namespace tarnwick
