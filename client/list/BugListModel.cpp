#include "client/list/BugListModel.h"

#include <QPixmap>

#include <algorithm>
#include <optional>

#include "client/list/BugListColumns.h"
#include "client/list/DateText.h"
#include "client/list/QuickSearchFilter.h"
#include "client/list/StatusImages.h"

namespace tarnwick {

BugListModel::BugListModel(QObject* parent) : QAbstractTableModel(parent) {}

BugListModel::~BugListModel() = default;

int BugListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int BugListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kBugListColumnCount;
}

QVariant BugListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kBugListColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    const BugListColumn& column = kBugListColumns[static_cast<size_t>(section)];
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromLatin1(column.caption);
    default:
        return {};
    }
}

QVariant BugListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || index.column() >= kBugListColumnCount)
        return {};
    const int column = index.column();
    const bool wanted = (role == Qt::DisplayRole && column != kStatusImageColumn) ||
                        (role == Qt::DecorationRole && column == kStatusImageColumn) ||
                        role == BugIdRole || role == Qt::ToolTipRole;
    if (!wanted) return {};
    const ComPtr<IBug> bug = bugAt(index.row());
    if (!bug) return {};
    QVariant value;
    Attempt(
        [&] {
            if (role == BugIdRole) {
                value = static_cast<int>(Long(bug.Get(), &IBug::get_ID));
            } else if (role == Qt::DecorationRole) {
                value = QPixmap::fromImage(
                    StatusImage(StatusImageIndex(Text(bug.Get(), &IBug::get_Status))));
            } else if (role == Qt::ToolTipRole) {
                value = column == kStatusImageColumn ? QVariant(Text(bug.Get(), &IBug::get_Status))
                                                     : QVariant();
            } else {
                value = CellText(bug.Get(), column);
            }
        },
        [this](const EngineFailure& failure) { Note(failure); });
    return value;
}

QVariant BugListModel::CellText(IBug* bug, int column) const {
    if (column == kStatusImageColumn) return {};
    return BugColumnText(bug, column, [this](DATE date) { return DateText(date, dateFormat_); });
}

ComPtr<IBug> BugListModel::bugAt(int row) const {
    if (!set_ || row < 0 || row >= rows_) return {};
    if (const auto cached = cache_.constFind(row); cached != cache_.constEnd()) return *cached;

    ComPtr<IBug> bug;
    Attempt(
        [&] {
            Check(set_->put_Position(row));
            Check(set_->get_CurItem(bug.Put()));
            if (!bug) { // the cursor was off its rows, where it does not move: start again
                Check(set_->First());
                Check(set_->put_Position(row));
                Check(set_->get_CurItem(bug.Put()));
            }
        },
        [&](const EngineFailure& failure) {
            bug.Reset();
            Note(failure);
        });
    if (cacheOrder_.size() >= kCachedRows) cache_.remove(cacheOrder_.takeFirst());
    cache_.insert(row, bug);
    cacheOrder_.append(row);
    return bug;
}

LONG BugListModel::bugIdAt(int row) const {
    const ComPtr<IBug> bug = bugAt(row);
    if (!bug) return 0;
    LONG id = 0;
    Attempt([&] { id = Long(bug.Get(), &IBug::get_ID); },
            [this](const EngineFailure& failure) { Note(failure); });
    return id;
}

void BugListModel::DropCache() const {
    cache_.clear();
    cacheOrder_.clear();
}

void BugListModel::Note(const EngineFailure& failure) const {
    lastError_ = failure.text;
}

template <class Work> void BugListModel::ResetAround(Work&& work) {
    beginResetModel();
    DropCache();
    std::optional<EngineFailure> failure;
    try {
        work();
    } catch (const EngineFailure& raised) {
        failure = raised;
    }
    Recount();
    endResetModel();
    emit countsChanged(rows_, unsearchedCount());
    if (failure) throw *failure;
}

void BugListModel::Recount() {
    rows_ = 0;
    if (!set_) return;
    Attempt([&] { rows_ = std::max<LONG>(0, Long(set_.Get(), &IBugSet::get_Count)); },
            [this](const EngineFailure& failure) { Note(failure); });
}

// With the user's filter on the set: counts it, then narrows it by the search. A failure
// turns the search off and leaves the user's filter on.
void BugListModel::ApplyRowFilter() {
    if (!searching_) return;
    try {
        const ComPtr<IBugFilterSet> combined = CombinedFilter(userFilter_.Get(), search_);
        unsearched_ = std::max<LONG>(0, Long(set_.Get(), &IBugSet::get_Count));
        Check(set_->put_FilterSet(combined.Get()));
    } catch (const EngineFailure&) {
        searching_ = false;
        Attempt([&] { Check(set_->put_FilterSet(userFilter_.Get())); },
                [](const EngineFailure&) {});
        throw;
    }
}

void BugListModel::setBugSet(ComPtr<IBugSet> set) {
    ResetAround([&] {
        set_ = std::move(set);
        userFilter_.Reset();
        lastError_.clear();
        if (!set_) return;
        userFilter_ = Object(set_.Get(), &IBugSet::get_FilterSet);
        if (!search_.isEmpty() && !QuickSearchPattern(search_).isEmpty()) {
            searching_ = true;
            ApplyRowFilter();
        } else {
            searching_ = false;
        }
    });
}

void BugListModel::refresh() {
    if (!set_) return;
    ResetAround([&] {
        Check(set_->Refresh());
        if (searching_) {
            Check(set_->put_FilterSet(userFilter_.Get()));
            ApplyRowFilter();
        }
    });
}

void BugListModel::setFilter(ComPtr<IBugFilterSet> filter) {
    if (!set_) return;
    ResetAround([&] {
        Check(set_->put_FilterSet(filter.Get()));
        userFilter_ = std::move(filter);
        ApplyRowFilter();
    });
}

ComPtr<IBugFilterSet> BugListModel::filter() const {
    return set_ ? userFilter_ : ComPtr<IBugFilterSet>();
}

void BugListModel::setQuickSearch(const QString& text) {
    search_ = text;
    const bool wanted = !QuickSearchPattern(text).isEmpty();
    if (!set_) {
        searching_ = false;
        return;
    }
    if (!wanted && !searching_) return;
    if (wanted && searching_) {
        // Another search over the same rows: their count without the search is known already,
        // so one filter run is enough (this is the path of every keystroke).
        ResetAround([&] {
            try {
                Check(set_->put_FilterSet(CombinedFilter(userFilter_.Get(), search_).Get()));
            } catch (const EngineFailure&) {
                searching_ = false;
                Attempt([&] { Check(set_->put_FilterSet(userFilter_.Get())); },
                        [](const EngineFailure&) {});
                throw;
            }
        });
        return;
    }
    ResetAround([&] {
        Check(set_->put_FilterSet(userFilter_.Get()));
        searching_ = wanted;
        ApplyRowFilter();
    });
}

bool BugListModel::InsertAddedRow(IBug* stored) {
    LONG count = 0, position = -1, storedId = 0, foundId = 0;
    if (FAILED(set_->get_Count(&count)) || count != rows_ + 1) return false;
    if (FAILED(set_->get_Position(&position)) || position < 0 || position >= count) return false;
    if (FAILED(stored->get_ID(&storedId))) return false;
    ComPtr<IBug> atPosition;
    if (FAILED(set_->get_CurItem(atPosition.Put())) || !atPosition ||
        FAILED(atPosition->get_ID(&foundId)) || foundId != storedId)
        return false;
    beginInsertRows(QModelIndex(), position, position);
    DropCache();
    rows_ = count;
    endInsertRows();
    emit countsChanged(rows_, unsearchedCount());
    return true;
}

ComPtr<IBug> BugListModel::addBug(IBug* bug) {
    if (!set_) return {};
    ComPtr<IBug> stored;
    try {
        Check(set_->Add(bug, stored.Put()));
    } catch (const EngineFailure&) {
        ResetAround([] {});
        throw;
    }
    if (searching_ || !stored || !InsertAddedRow(stored.Get())) {
        // The new row's place is not known (or the search decides whether it shows): recount.
        try {
            ResetAround([&] {
                if (!searching_) return;
                Check(set_->put_FilterSet(userFilter_.Get()));
                ApplyRowFilter();
            });
        } catch (const EngineFailure& failure) {
            Note(failure); // the bug is stored; only the search was lost
        }
    }
    return stored;
}

void BugListModel::updateBug(IBug* bug) {
    if (!set_) return;
    try {
        Check(set_->Update(bug));
    } catch (const EngineFailure&) {
        ResetAround([] {});
        throw;
    }
    LONG count = 0;
    if (FAILED(set_->get_Count(&count)) || count != rows_) {
        ResetAround([] {});
        return;
    }
    DropCache();
    if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, kBugListColumnCount - 1));
    emit countsChanged(rows_, unsearchedCount());
}

void BugListModel::deleteBug(LONG id) {
    if (!set_) return;
    int row = -1;
    for (auto it = cache_.constBegin(); it != cache_.constEnd() && row < 0; ++it) {
        LONG cachedId = 0;
        if (it.value() && SUCCEEDED(it.value()->get_ID(&cachedId)) && cachedId == id)
            row = it.key();
    }
    try {
        Check(set_->RemoveByID(id));
    } catch (const EngineFailure&) {
        ResetAround([] {});
        throw;
    }
    LONG count = 0;
    if (!searching_ && row >= 0 && SUCCEEDED(set_->get_Count(&count)) && count == rows_ - 1) {
        beginRemoveRows(QModelIndex(), row, row);
        DropCache();
        rows_ = count;
        endRemoveRows();
        emit countsChanged(rows_, unsearchedCount());
        return;
    }
    try {
        ResetAround([&] {
            if (!searching_) return;
            Check(set_->put_FilterSet(userFilter_.Get()));
            ApplyRowFilter();
        });
    } catch (const EngineFailure& failure) {
        Note(failure);
    }
}

void BugListModel::deleteRows(QList<int> rows) {
    if (!set_) return;
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QList<LONG> ids;
    for (const int row : rows) {
        const LONG id = bugIdAt(row);
        if (id != 0) ids.append(id);
    }
    ResetAround([&] {
        for (const LONG id : ids)
            Check(set_->RemoveByID(id));
        if (!searching_) return;
        Check(set_->put_FilterSet(userFilter_.Get()));
        ApplyRowFilter();
    });
}

void BugListModel::sortBy(eBugField field, eOrder order) {
    if (!set_) return;
    ResetAround([&] { Check(set_->Sort(field, order)); });
}

void BugListModel::setDateFormat(const QString& storedFormat) {
    if (storedFormat == dateFormat_) return;
    dateFormat_ = storedFormat;
    if (rows_ > 0)
        emit dataChanged(index(0, kReportedDateColumn), index(rows_ - 1, kVerifiedDateColumn),
                         {Qt::DisplayRole});
}

} // namespace tarnwick
