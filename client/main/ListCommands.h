#pragma once
// The commands on the shown list: Refresh, Delete, the Select Filter toggle and its drop-down,
// and the detail tabs following the selection.
#include <QObject>

#include "client/adapter/EngineCall.h"
#include "client/main/Workspace.h"

class QMenu;
class QWidget;

namespace tarnwick {

class MessageSink;

class ListCommands : public QObject {
    Q_OBJECT
  public:
    ListCommands(Workspace workspace, MessageSink& messages, QWidget* window);

    void refresh();
    // Asks first; one selected row is deleted by its ID, several all together.
    void deleteSelected();
    // The shown list's filter: the first of the filter list when it has none, none otherwise.
    void toggleFilter();
    // Gives the shown list the filter at this position of the filter list.
    void chooseFilter(int position);
    // Refills the drop-down of the Select Filter button for the shown list.
    void fillFilterMenu(QMenu& menu) const;
    // Whether the shown list has a filter.
    bool shownListFiltered() const;
    // Shows the shown list's selected bug (or nothing) in the detail tabs.
    void showSelection(IExeContext* session);

  signals:
    // A detail pane could not read the bug; the text is for the status bar.
    void detailFailed(const QString& text);

  private:
    Workspace workspace_;
    MessageSink& messages_;
    QWidget* window_;
};

} // namespace tarnwick
