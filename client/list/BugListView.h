#pragma once
// The bug list: a table over one engine bug set. It is the one place through which the client
// adds, updates and deletes bugs, sorts, filters and refreshes; it tells its window about
// selection changes and double clicks with signals, and shows the engine's failures of the
// commands it runs through the window's message sink.
#include <QTableView>

#include <functional>

#include "client/adapter/EngineCall.h"
#include "client/list/BugListModel.h"

class QMenu;
class QSettings;

namespace tarnwick {

class MessageSink;

// Shown when a bug is added to a list that has no set.
inline const char* const kAddingBugFailed = "Adding Bug Failed!";

class BugListView : public QTableView {
    Q_OBJECT

  public:
    enum class ContextCommand { ReportBug, ReportFeature, Edit, Delete };
    Q_ENUM(ContextCommand)

    // Sort direction marks of the header.
    static constexpr int kUnsorted = 0;
    static constexpr int kAscending = 1;
    static constexpr int kDescending = 2;

    explicit BugListView(MessageSink& messages, QWidget* parent = nullptr);
    ~BugListView() override;

    BugListModel* bugModel() const { return model_; }

    // The set shown (null: an empty list). A set marks column "ID" ascending, the order a new
    // set has, or applies a sort restored by restoreState. The caller refreshes next.
    void SetBugSet(ComPtr<IBugSet> set);
    ComPtr<IBugSet> GetBugSet() const;
    void Refresh();
    void SetFilter(ComPtr<IBugFilterSet> filter);
    ComPtr<IBugFilterSet> GetFilter() const;
    // The stored bug, or null ("Adding Bug Failed!" without a set, or the engine's message).
    ComPtr<IBug> AddBug(IBug* bug);
    void UpdateBug(IBug* bug);
    // On failure the list is refreshed first, then the message shown.
    void DeleteBug(LONG id);
    void DeleteSelected();
    // The ID of the bug in the first selected row, or 0.
    LONG SelectedBugID() const;
    ComPtr<IBug> SelectedBug() const;
    int SelectedCount() const;
    // Selected row numbers, ascending.
    QList<int> SelectedRows() const;

    // The stored date format (%-codes) of the date columns; empty for the locale's short date.
    void setDateFormat(const QString& storedFormat);
    // Narrows the list (see BugListModel::setQuickSearch); failures are shown.
    void setQuickSearch(const QString& text);
    // The right-click menu shows only while this says the active product is set.
    void setContextMenuEnabledCheck(std::function<bool()> check);

    // The header click: column 0 and clicks without a set are ignored; the same column at
    // ascending turns descending, anything else sorts ascending.
    void clickHeader(int column);
    int sortColumn() const { return sortColumn_; }
    int sortDirection() const { return sortDirection_; }

    // The right-click menu ("Report Bug...", "Report Feature...", "Edit...", "Delete"), or null
    // when it is not offered. The caller owns it; its actions emit contextCommand.
    QMenu* createContextMenu(QWidget* parent);
    // The header's menu: one checked item per column; "ID" cannot be hidden. Caller owns it.
    QMenu* createColumnMenu(QWidget* parent);
    // Shows or hides a column ("ID" always shows).
    void setColumnShown(int column, bool shown);

    // Column widths, order and hidden columns, sort column and direction, under group.
    void saveState(QSettings& settings, const QString& group) const;
    // Restores them; the sort is applied to the engine at the next SetBugSet with a set.
    void restoreState(QSettings& settings, const QString& group);

  signals:
    // The selected bug after a change of selection or of the rows' content, when above 0.
    void itemChanged(LONG bugID);
    void itemDoubleClicked(LONG bugID);
    void contextCommand(tarnwick::BugListView::ContextCommand command);
    void editRequested();
    void deleteRequested();
    // Rows shown and rows without the quick search ("N of M bugs").
    void countsChanged(int shown, int unsearched);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    template <class Work> void KeepingSelection(Work&& work);
    void NotifySelection();
    void ShowSortMark();
    void Show(const EngineFailure& failure);

    MessageSink& messages_;
    BugListModel* model_;
    std::function<bool()> contextMenuEnabled_;
    int sortColumn_ = -1;
    int sortDirection_ = kUnsorted;
    int restoredSortColumn_ = -1;
    int restoredSortDirection_ = kUnsorted;
    int quiet_ = 0; // while above 0, selection changes notify nothing
};

} // namespace tarnwick
