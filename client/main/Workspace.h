#pragma once
// What the main window's commands work on: the info bar, the two lists with their tabs, the
// filter list and the detail tabs. The window owns them; commands hold this view of them.
#include <QTabWidget>

namespace tarnwick {

class BugListView;
class DetailTabs;
class FilterList;
class InfoBar;

struct Workspace {
    InfoBar* infoBar = nullptr;
    QTabWidget* listTabs = nullptr;
    BugListView* bugs = nullptr;
    BugListView* features = nullptr;
    FilterList* filters = nullptr;
    DetailTabs* details = nullptr;

    // The list whose tab is shown.
    BugListView* shownList() const { return listTabs->currentIndex() == 1 ? features : bugs; }
};

} // namespace tarnwick
