#include "client/list/BugListView.h"

#include "client/list/BugListHeader.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QSettings>

#include <algorithm>

#include "client/list/BugListColumns.h"
#include "client/widgets/MessageSink.h"

namespace tarnwick {

namespace {

const char* const kReportBug = "Report Bug...";
const char* const kReportFeature = "Report Feature...";
const char* const kEdit = "Edit...";
const char* const kDelete = "Delete";

} // namespace

BugListView::BugListView(MessageSink& messages, QWidget* parent)
    : QTableView(parent), messages_(messages), model_(new BugListModel(this)) {
    setHorizontalHeader(new BugListHeader(this));
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setShowGrid(false);
    setCornerButtonEnabled(false);
    setAccessibleName(QStringLiteral("Bugs"));

    // The selection stays visible when the list has no focus.
    QPalette colours = palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    setPalette(colours);

    // Every row has the same height, so nothing measures rows (a list may hold many thousands).
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->hide();

    QHeaderView* columns = horizontalHeader();
    columns->setSectionsClickable(true);
    columns->setSectionsMovable(true);
    columns->setHighlightSections(false);
    columns->setStretchLastSection(false);
    columns->setMinimumSectionSize(16); // the image column is narrower than the style's minimum
    for (int i = 0; i < kBugListColumnCount; ++i)
        setColumnWidth(i, kBugListColumns[static_cast<size_t>(i)].width);
    connect(columns, &QHeaderView::sectionClicked, this, &BugListView::clickHeader);
    columns->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(columns, &QHeaderView::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu* menu = createColumnMenu(this);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(horizontalHeader()->mapToGlobal(at));
    });

    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &BugListView::NotifySelection);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &BugListView::NotifySelection);
    connect(model_, &QAbstractItemModel::modelReset, this, &BugListView::NotifySelection);
    connect(model_, &QAbstractItemModel::rowsInserted, this, &BugListView::NotifySelection);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, &BugListView::NotifySelection);
    connect(model_, &QAbstractItemModel::dataChanged, this, &BugListView::NotifySelection);
    connect(model_, &BugListModel::countsChanged, this, &BugListView::countsChanged);
}

BugListView::~BugListView() = default;

void BugListView::Show(const EngineFailure& failure) {
    messages_.Inform(this, failure.text);
}

void BugListView::NotifySelection() {
    if (quiet_ > 0) return;
    const LONG id = SelectedBugID();
    if (id > 0) emit itemChanged(id);
}

// The list's rows are numbers: a change of content keeps the selected row numbers that still
// exist, as a list drawn row by row does.
template <class Work> void BugListView::KeepingSelection(Work&& work) {
    const QList<int> rows = SelectedRows();
    const int current = currentIndex().row();
    ++quiet_;
    work();
    const int count = model_->rowCount();
    QItemSelection kept;
    for (const int row : rows)
        if (row < count)
            kept.select(model_->index(row, 0), model_->index(row, kBugListColumnCount - 1));
    if (current >= 0 && current < count)
        selectionModel()->setCurrentIndex(model_->index(current, 0), QItemSelectionModel::NoUpdate);
    selectionModel()->select(kept, QItemSelectionModel::ClearAndSelect);
    --quiet_;
    NotifySelection();
}

void BugListView::SetBugSet(ComPtr<IBugSet> set) {
    const bool hasSet = static_cast<bool>(set);
    ++quiet_;
    Attempt([&] { model_->setBugSet(std::move(set)); },
            [this](const EngineFailure& f) { Show(f); });
    if (hasSet) {
        // A new set is ordered by ID ascending: the mark says so, whatever was marked before.
        sortColumn_ = kIdColumn;
        sortDirection_ = kAscending;
        if (restoredSortColumn_ > kStatusImageColumn) {
            const int column = std::exchange(restoredSortColumn_, -1);
            const int direction = std::exchange(restoredSortDirection_, kUnsorted);
            Attempt(
                [&] {
                    model_->sortBy(static_cast<eBugField>(
                                       kBugListColumns[static_cast<size_t>(column)].sortField),
                                   direction == kDescending ? eDesc : eAsc);
                    sortColumn_ = column;
                    sortDirection_ = direction;
                },
                [this](const EngineFailure& f) { Show(f); });
        }
    }
    ShowSortMark();
    --quiet_;
    NotifySelection();
}

ComPtr<IBugSet> BugListView::GetBugSet() const {
    return model_->bugSet();
}

void BugListView::Refresh() {
    KeepingSelection(
        [&] { Attempt([&] { model_->refresh(); }, [this](const EngineFailure& f) { Show(f); }); });
}

void BugListView::SetFilter(ComPtr<IBugFilterSet> filter) {
    KeepingSelection([&] {
        Attempt([&] { model_->setFilter(std::move(filter)); },
                [this](const EngineFailure& f) { Show(f); });
    });
}

ComPtr<IBugFilterSet> BugListView::GetFilter() const {
    return model_->filter();
}

ComPtr<IBug> BugListView::AddBug(IBug* bug) {
    if (!model_->bugSet()) {
        messages_.Inform(this, QString::fromLatin1(kAddingBugFailed));
        return {};
    }
    ComPtr<IBug> stored;
    Attempt([&] { stored = model_->addBug(bug); }, [this](const EngineFailure& f) { Show(f); });
    return stored;
}

void BugListView::UpdateBug(IBug* bug) {
    KeepingSelection([&] {
        Attempt([&] { model_->updateBug(bug); }, [this](const EngineFailure& f) { Show(f); });
    });
}

void BugListView::DeleteBug(LONG id) {
    Attempt([&] { model_->deleteBug(id); },
            [this](const EngineFailure& f) {
                KeepingSelection(
                    [&] { Attempt([&] { model_->refresh(); }, [](const EngineFailure&) {}); });
                Show(f);
            });
}

void BugListView::DeleteSelected() {
    const QList<int> rows = SelectedRows();
    if (rows.isEmpty()) return;
    Attempt([&] { model_->deleteRows(rows); }, [this](const EngineFailure& f) { Show(f); });
}

QList<int> BugListView::SelectedRows() const {
    QList<int> rows;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.append(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

LONG BugListView::SelectedBugID() const {
    const QList<int> rows = SelectedRows();
    return rows.isEmpty() ? 0 : model_->bugIdAt(rows.first());
}

ComPtr<IBug> BugListView::SelectedBug() const {
    const QList<int> rows = SelectedRows();
    return rows.isEmpty() ? ComPtr<IBug>() : model_->bugAt(rows.first());
}

int BugListView::SelectedCount() const {
    return static_cast<int>(SelectedRows().size());
}

void BugListView::setDateFormat(const QString& storedFormat) {
    model_->setDateFormat(storedFormat);
}

void BugListView::setQuickSearch(const QString& text) {
    Attempt([&] { model_->setQuickSearch(text); }, [this](const EngineFailure& f) { Show(f); });
}

void BugListView::setContextMenuEnabledCheck(std::function<bool()> check) {
    contextMenuEnabled_ = std::move(check);
}

void BugListView::clickHeader(int column) {
    if (column <= kStatusImageColumn || column >= kBugListColumnCount || !model_->bugSet()) return;
    sortDirection_ =
        column == sortColumn_ && sortDirection_ == kAscending ? kDescending : kAscending;
    sortColumn_ = column;
    ShowSortMark();
    KeepingSelection([&] {
        Attempt(
            [&] {
                model_->sortBy(
                    static_cast<eBugField>(kBugListColumns[static_cast<size_t>(column)].sortField),
                    sortDirection_ == kAscending ? eAsc : eDesc);
            },
            [this](const EngineFailure& f) { Show(f); });
    });
}

void BugListView::ShowSortMark() {
    QHeaderView* columns = horizontalHeader();
    if (sortColumn_ < 0 || sortDirection_ == kUnsorted) {
        columns->setSortIndicatorShown(false);
        return;
    }
    // Qt draws an up arrow for ascending and a down arrow for descending.
    columns->setSortIndicator(sortColumn_, sortDirection_ == kAscending ? Qt::AscendingOrder
                                                                        : Qt::DescendingOrder);
    columns->setSortIndicatorShown(true);
}

QMenu* BugListView::createContextMenu(QWidget* parent) {
    if (!contextMenuEnabled_ || !contextMenuEnabled_()) return nullptr;
    auto* menu = new QMenu(parent);
    const bool hasSelection = SelectedBugID() != 0;
    const auto add = [&](const char* caption, ContextCommand command, bool enabled) {
        QAction* action = menu->addAction(QString::fromLatin1(caption));
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this,
                [this, command] { emit contextCommand(command); });
    };
    add(kReportBug, ContextCommand::ReportBug, true);
    add(kReportFeature, ContextCommand::ReportFeature, true);
    add(kEdit, ContextCommand::Edit, hasSelection);
    add(kDelete, ContextCommand::Delete, hasSelection);
    return menu;
}

QMenu* BugListView::createColumnMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    for (int i = 0; i < kBugListColumnCount; ++i) {
        const BugListColumn& column = kBugListColumns[static_cast<size_t>(i)];
        QAction* action = menu->addAction(QString::fromLatin1(column.caption));
        action->setCheckable(true);
        action->setChecked(!isColumnHidden(i));
        action->setEnabled(i != kIdColumn);
        connect(action, &QAction::toggled, this,
                [this, i](bool shown) { setColumnShown(i, shown); });
    }
    return menu;
}

void BugListView::setColumnShown(int column, bool shown) {
    if (column < 0 || column >= kBugListColumnCount) return;
    setColumnHidden(column, column != kIdColumn && !shown);
}

void BugListView::mousePressEvent(QMouseEvent* event) {
    // A press below the rows clears the selection, as in a report list.
    if (!indexAt(event->position().toPoint()).isValid()) clearSelection();
    QTableView::mousePressEvent(event);
}

void BugListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    const LONG id = SelectedBugID();
    if (id != 0) emit itemDoubleClicked(id);
}

void BugListView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit editRequested();
        event->accept();
        return;
    case Qt::Key_Delete:
        emit deleteRequested();
        event->accept();
        return;
    default:
        QTableView::keyPressEvent(event);
    }
}

void BugListView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createContextMenu(this);
    if (!menu) return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void BugListView::saveState(QSettings& settings, const QString& group) const {
    settings.beginGroup(group);
    QStringList widths, order, hidden;
    const QHeaderView* columns = horizontalHeader();
    for (int i = 0; i < kBugListColumnCount; ++i) {
        widths.append(QString::number(columns->sectionSize(i)));
        order.append(QString::number(columns->logicalIndex(i)));
        if (isColumnHidden(i)) hidden.append(QString::number(i));
    }
    settings.setValue(QStringLiteral("widths"), widths);
    settings.setValue(QStringLiteral("order"), order);
    settings.setValue(QStringLiteral("hidden"), hidden);
    settings.setValue(QStringLiteral("sortColumn"), sortColumn_);
    settings.setValue(QStringLiteral("sortDirection"), sortDirection_);
    settings.endGroup();
}

void BugListView::restoreState(QSettings& settings, const QString& group) {
    settings.beginGroup(group);
    const QStringList widths = settings.value(QStringLiteral("widths")).toStringList();
    const QStringList order = settings.value(QStringLiteral("order")).toStringList();
    const QStringList hidden = settings.value(QStringLiteral("hidden")).toStringList();
    const int column = settings.value(QStringLiteral("sortColumn"), -1).toInt();
    const int direction = settings.value(QStringLiteral("sortDirection"), kUnsorted).toInt();
    settings.endGroup();

    QHeaderView* columns = horizontalHeader();
    if (widths.size() == kBugListColumnCount) {
        for (int i = 0; i < kBugListColumnCount; ++i) {
            bool ok = false;
            const int width = widths[i].toInt(&ok);
            if (ok && width > 0 && width < 10000) setColumnWidth(i, width);
        }
    }
    // The order is used only when it names every column once.
    QList<int> logical;
    for (const QString& entry : order)
        logical.append(entry.toInt());
    QList<int> sorted = logical;
    std::sort(sorted.begin(), sorted.end());
    bool whole = sorted.size() == kBugListColumnCount;
    for (int i = 0; whole && i < kBugListColumnCount; ++i)
        whole = sorted[i] == i;
    if (whole) {
        for (int visual = 0; visual < kBugListColumnCount; ++visual)
            columns->moveSection(columns->visualIndex(logical[visual]), visual);
    }
    for (int i = 0; i < kBugListColumnCount; ++i)
        setColumnShown(i, true);
    for (const QString& entry : hidden)
        setColumnShown(entry.toInt(), false);

    if (column > kStatusImageColumn && column < kBugListColumnCount &&
        (direction == kAscending || direction == kDescending)) {
        restoredSortColumn_ = column;
        restoredSortDirection_ = direction;
    } else {
        restoredSortColumn_ = -1;
        restoredSortDirection_ = kUnsorted;
    }
}

} // namespace tarnwick
