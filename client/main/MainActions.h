#pragma once
// Every command of the main window as one QAction, with its menu caption and shortcut, placed
// in the menu bar and the toolbar in their fixed order. The window connects the actions to
// their work and sets their enabled state; this class only owns and places them.
#include <QAction>
#include <QList>

class QMainWindow;
class QMenu;
class QToolBar;
class QToolButton;

namespace tarnwick {

struct MainActions {
    // Makes the actions, the menus and the toolbar of the window.
    explicit MainActions(QMainWindow* window);

    // "&Database"
    QAction* open;
    // A database on a PostgreSQL server, by its URI.
    QAction* openServer;
    QAction* login;
    QAction* exit;
    // "&Bug"
    QAction* reportBug;
    QAction* reportFeature;
    QAction* edit;
    QAction* remove;
    QAction* setFilters;
    QAction* refresh;
    QAction* printPreview;
    QAction* print;
    // The shown list to a CSV or PDF file.
    QAction* exportList;
    // "&Manage"
    QAction* addProduction;
    QAction* editProduction;
    QAction* assignUser;
    QAction* synchronize;
    QAction* selectProduction;
    // "&Tool"
    QAction* systemInformation;
    QAction* changePassword;
    QAction* options;
    // "&Help"
    QAction* help;
    QAction* about;
    // Toolbar only: the filter toggle, with its drop-down arrow.
    QAction* selectFilter;
    QToolButton* selectFilterButton;
    // Window only: Delete and Enter in the lists, the quick search's key.
    QAction* findShortcut;

    QToolBar* toolBar;
    QMenu* databaseMenu;
    QMenu* bugMenu;
    QMenu* manageMenu;
    QMenu* toolMenu;
    QMenu* helpMenu;
};

} // namespace tarnwick
