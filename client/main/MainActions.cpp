#include "client/main/MainActions.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace tarnwick {

namespace {

// A menu caption carries its shortcut after a tab, as the menu shows it; the key itself is set
// on the action so that it works whether or not the menu is open.
QAction* MakeAction(QMainWindow* window, const QString& caption, const QString& toolText = {},
                    QStyle::StandardPixmap icon = QStyle::SP_CustomBase) {
    auto* action = new QAction(caption, window);
    const qsizetype tab = caption.indexOf(QLatin1Char('\t'));
    if (tab >= 0) action->setShortcut(QKeySequence(caption.mid(tab + 1)));
    if (!toolText.isEmpty()) {
        action->setIconText(toolText);
        action->setToolTip(toolText);
    }
    if (icon != QStyle::SP_CustomBase) action->setIcon(window->style()->standardIcon(icon));
    return action;
}

QAction* Themed(QAction* action, const char* themeName) {
    const QIcon themed = QIcon::fromTheme(QLatin1String(themeName));
    if (!themed.isNull()) action->setIcon(themed);
    return action;
}

} // namespace

MainActions::MainActions(QMainWindow* window) {
    using S = QStyle;
    open = Themed(MakeAction(window, QStringLiteral("&Open...\tCtrl+O"), QStringLiteral("Open"),
                             S::SP_DialogOpenButton),
                  "document-open");
    openServer = Themed(MakeAction(window, QStringLiteral("Open &Server..."),
                                   QStringLiteral("Open Server"), S::SP_DriveNetIcon),
                        "network-server");
    login = Themed(MakeAction(window, QStringLiteral("&Login...\tCtrl+L"), QStringLiteral("Login"),
                              S::SP_DialogYesButton),
                   "system-users");
    exit = MakeAction(window, QStringLiteral("E&xit"));

    reportBug = Themed(MakeAction(window, QStringLiteral("&Report Bug...\tCtrl+B"),
                                  QStringLiteral("New Bug"), S::SP_FileIcon),
                       "document-new");
    reportFeature = Themed(MakeAction(window, QStringLiteral("R&eport Feature...\tCtrl+F"),
                                      QStringLiteral("New Feature"), S::SP_FileDialogNewFolder),
                           "list-add");
    edit = Themed(MakeAction(window, QStringLiteral("E&dit...\tCtrl+E"), QStringLiteral("Edit"),
                             S::SP_FileDialogDetailedView),
                  "document-edit");
    remove = Themed(MakeAction(window, QStringLiteral("Dele&te\tCtrl+D"), QStringLiteral("Delete"),
                               S::SP_TrashIcon),
                    "edit-delete");
    setFilters = Themed(MakeAction(window, QStringLiteral("Set &Filters..."),
                                   QStringLiteral("Set Filters"), S::SP_FileDialogListView),
                        "preferences-system");
    refresh = Themed(MakeAction(window, QStringLiteral("&Refresh\tF5"), QStringLiteral("Refresh"),
                                S::SP_BrowserReload),
                     "view-refresh");
    printPreview = Themed(MakeAction(window, QStringLiteral("Print Preview"),
                                     QStringLiteral("Print Preview"), S::SP_FileDialogContentsView),
                          "document-print-preview");
    print = Themed(MakeAction(window, QStringLiteral("&Print\tCtrl+P"), QStringLiteral("Print"),
                              S::SP_DriveFDIcon),
                   "document-print");
    exportList = Themed(MakeAction(window, QStringLiteral("E&xport..."), QStringLiteral("Export"),
                                   S::SP_DialogSaveButton),
                        "document-save-as");

    addProduction = MakeAction(window, QStringLiteral("&Add Production..."));
    editProduction = MakeAction(window, QStringLiteral("&Edit Production..."));
    assignUser = MakeAction(window, QStringLiteral("&Assign User to Classification..."));
    synchronize = MakeAction(window, QStringLiteral("&Synchronize"));
    selectProduction = MakeAction(window, QStringLiteral("Select &Current Production..."));

    systemInformation = MakeAction(window, QStringLiteral("&System Infomation..."));
    changePassword = MakeAction(window, QStringLiteral("&Change Password..."));
    options = MakeAction(window, QStringLiteral("&Options..."));

    help = MakeAction(window, QStringLiteral("&Help...\tF1"));
    about = Themed(MakeAction(window, QStringLiteral("&About Tarnwick..."), QStringLiteral("About"),
                              S::SP_MessageBoxInformation),
                   "help-about");

    selectFilter = Themed(MakeAction(window, QStringLiteral("Select Filter"),
                                     QStringLiteral("Select Filter"), S::SP_ArrowDown),
                          "view-filter");
    selectFilter->setCheckable(true);
    findShortcut = new QAction(QStringLiteral("Quick Search"), window);
    findShortcut->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+F")));
    window->addAction(findShortcut);

    QMenuBar* bar = window->menuBar();
    databaseMenu = bar->addMenu(QStringLiteral("&Database"));
    databaseMenu->addActions({open, openServer, login});
    databaseMenu->addSeparator();
    databaseMenu->addAction(exit);

    bugMenu = bar->addMenu(QStringLiteral("&Bug"));
    bugMenu->addActions({reportBug, reportFeature});
    bugMenu->addSeparator();
    bugMenu->addActions({edit, remove});
    bugMenu->addSeparator();
    bugMenu->addAction(setFilters);
    bugMenu->addSeparator();
    bugMenu->addAction(refresh);
    bugMenu->addSeparator();
    bugMenu->addActions({printPreview, print, exportList});

    manageMenu = bar->addMenu(QStringLiteral("&Manage"));
    manageMenu->addActions({addProduction, editProduction});
    manageMenu->addSeparator();
    manageMenu->addActions({assignUser, synchronize});
    // Added after the fixed items: choosing the current product version without logging in again.
    manageMenu->addSeparator();
    manageMenu->addAction(selectProduction);

    toolMenu = bar->addMenu(QStringLiteral("&Tool"));
    toolMenu->addActions({systemInformation, changePassword});
    toolMenu->addSeparator();
    toolMenu->addAction(options);

    helpMenu = bar->addMenu(QStringLiteral("&Help"));
    helpMenu->addAction(help);
    helpMenu->addSeparator();
    helpMenu->addAction(about);

    toolBar = window->addToolBar(QStringLiteral("Toolbar"));
    toolBar->setObjectName(QStringLiteral("MainToolbar"));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar->addActions({open, login});
    toolBar->addSeparator();
    toolBar->addActions({print, printPreview});
    toolBar->addSeparator();
    toolBar->addActions({reportBug, reportFeature, edit, remove});
    toolBar->addSeparator();
    toolBar->addAction(refresh);
    toolBar->addSeparator();
    selectFilterButton = new QToolButton(toolBar);
    selectFilterButton->setDefaultAction(selectFilter);
    selectFilterButton->setPopupMode(QToolButton::MenuButtonPopup);
    selectFilterButton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    selectFilterButton->setAccessibleName(QStringLiteral("Select Filter"));
    toolBar->addWidget(selectFilterButton);
    toolBar->addAction(setFilters);
    toolBar->addSeparator();
    toolBar->addAction(about);
}

} // namespace tarnwick
