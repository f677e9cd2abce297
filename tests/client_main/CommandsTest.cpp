// The main window's menus, toolbar and commands on a logged-in session: captions and order,
// enabling, the filter toggle and drop-down, delete, the detail tabs, later commands, help.
#include <QDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include "client/filters/FilterFile.h"
#include "client/filters/FilterList.h"
#include "client/list/BugListModel.h"
#include "client/list/BugListView.h"
#include "client/list/QuickSearchBox.h"
#include "client/main/InfoBar.h"
#include "client/main/ListCommands.h"
#include "client/main/MainActions.h"
#include "client/main/ManageCommands.h"
#include "client/main/SessionCommands.h"
#include "client/panes/AttachmentPane.h"
#include "client/panes/DetailTabs.h"
#include "client/panes/GeneralPane.h"
#include "client/panes/RichTextPane.h"
#include "tests/client_main/MainWindowFixture.h"

namespace tarnwick::test {

namespace {

QStringList Captions(const QList<QAction*>& actions) {
    QStringList captions;
    for (QAction* action : actions)
        captions.append(action->isSeparator() ? QStringLiteral("|") : action->text());
    return captions;
}

} // namespace

class CommandsTest : public QObject {
    Q_OBJECT
    ClientTestEnvironment environment_;
    std::unique_ptr<MainWindowFixture> fixture_;

    MainWindow& startLoggedIn() {
        fixture_->writeConfig(true, QStringLiteral("mhart"), QStringLiteral("mhart-demo"),
                              QStringLiteral("Harbor Ledger/2.1"));
        return fixture_->start();
    }
    // Selects the rows of the shown list.
    void select(BugListView* list, const QList<int>& rows) {
        list->clearSelection();
        for (int row : rows)
            list->selectionModel()->select(list->model()->index(row, 1),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

  private slots:
    void init() { fixture_ = std::make_unique<MainWindowFixture>(environment_); }
    void cleanup() {
        fixture_->stop();
        fixture_.reset();
    }

    void menusCarryTheirCaptionsInOrder() {
        MainWindow& window = fixture_->start();
        QStringList menus;
        for (QAction* menu : window.menuBar()->actions())
            menus.append(menu->text());
        QCOMPARE(menus, (QStringList{"&Database", "&Bug", "&Manage", "&Tool", "&Help"}));
        MainActions& a = window.actions();
        QCOMPARE(Captions(a.databaseMenu->actions()),
                 (QStringList{"&Open...\tCtrl+O", "Open &Server...", "&Login...\tCtrl+L", "|",
                              "E&xit"}));
        QCOMPARE(
            Captions(a.bugMenu->actions()),
            (QStringList{"&Report Bug...\tCtrl+B", "R&eport Feature...\tCtrl+F", "|",
                         "E&dit...\tCtrl+E", "Dele&te\tCtrl+D", "|", "Set &Filters...", "|",
                         "&Refresh\tF5", "|", "Print Preview", "&Print\tCtrl+P", "E&xport..."}));
        QCOMPARE(Captions(a.manageMenu->actions()).mid(0, 5),
                 (QStringList{"&Add Production...", "&Edit Production...", "|",
                              "&Assign User to Classification...", "&Synchronize"}));
        QCOMPARE(Captions(a.toolMenu->actions()),
                 (QStringList{"&System Infomation...", "&Change Password...", "|", "&Options..."}));
        QCOMPARE(Captions(a.helpMenu->actions()),
                 (QStringList{"&Help...\tF1", "|", "&About Tarnwick..."}));
        QStringList tools;
        for (QAction* item : a.toolBar->actions())
            tools.append(item->isSeparator() ? QStringLiteral("|")
                         : item->iconText().isEmpty()
                             ? a.selectFilterButton->defaultAction()->iconText()
                             : item->iconText());
        QCOMPARE(tools, (QStringList{"Open", "Login", "|", "Print", "Print Preview", "|", "New Bug",
                                     "New Feature", "Edit", "Delete", "|", "Refresh", "|",
                                     "Select Filter", "Set Filters", "|", "About"}));
        QCOMPARE(a.refresh->shortcut(), QKeySequence(Qt::Key_F5));
        QCOMPARE(a.open->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    }

    void commandsFollowTheSessionAndTheSelection() {
        MainWindow& window = startLoggedIn();
        MainActions& a = window.actions();
        for (QAction* enabled :
             {a.open, a.login, a.refresh, a.reportBug, a.reportFeature, a.selectFilter,
              a.setFilters, a.synchronize, a.changePassword, a.options, a.help})
            QVERIFY2(enabled->isEnabled(), qPrintable(enabled->text()));
        BugListView* list = window.bugList();
        select(list, {});
        window.updateCommands();
        QVERIFY(!a.edit->isEnabled());
        QVERIFY(!a.remove->isEnabled());
        select(list, {0});
        window.updateCommands();
        QVERIFY(a.edit->isEnabled());
        QVERIFY(a.remove->isEnabled());
        select(list, {0, 1});
        window.updateCommands();
        QVERIFY(!a.edit->isEnabled());
        QVERIFY(a.remove->isEnabled());
    }

    void theFilterButtonTogglesMyBugsAndTheDropDownChoosesAnyFilter() {
        MainWindow& window = startLoggedIn();
        BugListView* list = window.bugList();
        const int all = list->model()->rowCount();
        window.actions().selectFilter->trigger();
        QVERIFY(list->GetFilter());
        QCOMPARE(Text(list->GetFilter().Get(), &IBugFilterSet::get_Name),
                 QStringLiteral("My Bugs"));
        QVERIFY(window.actions().selectFilter->isChecked());
        window.actions().selectFilter->trigger();
        QVERIFY(!list->GetFilter());
        QCOMPARE(list->model()->rowCount(), all);

        QMenu& menu = *window.filterMenu();
        window.listCommands().fillFilterMenu(menu);
        QCOMPARE(Captions(menu.actions()), (QStringList{"&1 My Bugs", "&2 Today's Bug",
                                                        "&3 Fixed Bugs", "&4 Verified Bugs"}));
        QCOMPARE(menu.defaultAction(), menu.actions().first());
        emit menu.triggered(menu.actions()[2]);
        QCOMPARE(Text(list->GetFilter().Get(), &IBugFilterSet::get_Name),
                 QStringLiteral("Fixed Bugs"));
        QVERIFY(list->model()->rowCount() < all);
        for (int row = 0; row < list->model()->rowCount(); ++row)
            QCOMPARE(list->model()->index(row, 3).data().toString(), QStringLiteral("Fixed"));
        window.listCommands().fillFilterMenu(menu);
        QVERIFY(menu.actions()[2]->isChecked());
        QVERIFY(!menu.actions()[0]->isChecked());
    }

    void savedFiltersFollowASeparatorInTheDropDown() {
        {
            FilterList saved;
            saved.SetPredefinedCount(0);
            auto set = Create<IBugFilterSet>(CLSID_BugFilterSet, IID_IBugFilterSet);
            Check(set->put_Name(ToBstr(QStringLiteral("Urgent ones")).Get()));
            saved.Add(set);
            QVERIFY(SaveFilterFile(fixture_->files.filters, saved));
        }
        MainWindow& window = startLoggedIn();
        QMenu& menu = *window.filterMenu();
        window.listCommands().fillFilterMenu(menu);
        QCOMPARE(Captions(menu.actions()),
                 (QStringList{"&1 My Bugs", "&2 Today's Bug", "&3 Fixed Bugs", "&4 Verified Bugs",
                              "|", "&5 Urgent ones"}));
    }

    void deleteAsksOnceAndRemovesEverySelectedRow() {
        MainWindow& window = startLoggedIn();
        BugListView* list = window.bugList();
        const int before = list->model()->rowCount();
        QVERIFY(before >= 3);
        select(list, {0, 2});
        fixture_->messages.answers = {false};
        window.actions().remove->trigger();
        QCOMPARE(fixture_->messages.texts.last(),
                 QStringLiteral("Do you really want to delete these records?"));
        QCOMPARE(list->model()->rowCount(), before);
        select(list, {0, 2});
        window.actions().remove->trigger();
        QCOMPARE(list->model()->rowCount(), before - 2);
        QCOMPARE(fixture_->messages.texts.size(), 2);
    }

    void selectingABugShowsItInEveryDetailTab() {
        MainWindow& window = startLoggedIn();
        BugListView* list = window.bugList();
        // The demo attaches files to some bugs: find one.
        int row = 0;
        for (; row < list->model()->rowCount(); ++row) {
            select(list, {row});
            const ComPtr<IBug> bug = list->SelectedBug();
            const ComPtr<IFileSet> files = Object(bug.Get(), &IBug::get_AttachedFiles);
            if (Long(files.Get(), &IFileSet::get_Count) > 0) break;
        }
        QVERIFY(row < list->model()->rowCount());
        DetailTabs* details = window.details();
        QCOMPARE(details->general()->fieldText(QStringLiteral("Status")),
                 list->model()->index(row, 3).data().toString());
        QCOMPARE(details->general()->fieldText(QStringLiteral("Description")),
                 list->model()->index(row, 2).data().toString());
        QVERIFY(!details->report()->document()->toPlainText().isEmpty());
        QVERIFY(details->attachment()->list()->topLevelItemCount() > 0);
        QVERIFY(!details->attachment()->list()->topLevelItem(0)->icon(0).isNull());
        QStringList tabs;
        for (int i = 0; i < details->count(); ++i)
            tabs.append(details->tabText(i));
        QCOMPARE(tabs, (QStringList{"General", "Report", "Recreate Step", "Workaround",
                                    "Resolution", "Attachment", "System Infomation"}));
        select(list, {});
        QTRY_COMPARE(details->general()->fieldText(QStringLiteral("Status")), QString());
    }

    // The Manage commands open their dialogs, one at a time.
    void manageCommandsOpenTheirDialogs() {
        MainWindow& window = startLoggedIn();
        const QList<QPair<QAction*, QString>> commands{
            {window.actions().addProduction, QStringLiteral("Add Production")},
            {window.actions().editProduction, QStringLiteral("Production Property")},
            {window.actions().assignUser, QStringLiteral("Assign User to Classification")}};
        for (const auto& [action, title] : commands) {
            QVERIFY(action->isEnabled());
            action->trigger();
            QPointer<QDialog> dialog = window.manageCommands().dialog();
            QVERIFY2(dialog, qPrintable(title));
            QCOMPARE(dialog->windowTitle(), title);
            dialog->reject();
            QTRY_VERIFY(!dialog);
        }
        QVERIFY(fixture_->messages.texts.isEmpty());
    }

    void helpWithoutTheManualSaysSo() {
        MainWindow& window = fixture_->start();
        fixture_->messages.texts.clear();
        window.actions().help->trigger();
        QCOMPARE(fixture_->messages.texts, QStringList{QStringLiteral("Help File NOT Found!")});
    }

    void quickSearchNarrowsTheShownListAndCountsIt() {
        MainWindow& window = startLoggedIn();
        BugListView* list = window.bugList();
        const int all = list->model()->rowCount();
        const LONG id = list->model()->index(1, 1).data().toInt();
        window.quickSearch()->setText(QString::number(id));
        QTRY_COMPARE(list->model()->rowCount(), 1);
        QCOMPARE(list->model()->index(0, 1).data().toInt(), int(id));
        auto* count = window.findChild<QLabel*>(QStringLiteral("shownCount"));
        QVERIFY(count);
        QTRY_COMPARE(count->text(), QStringLiteral("1 of %1 bugs").arg(all));
        window.quickSearch()->clear();
        QTRY_COMPARE(list->model()->rowCount(), all);
    }

    void choosingAnotherVersionShowsItsBugs() {
        MainWindow& window = startLoggedIn();
        const LONG other = fixture_->versionID(QStringLiteral("Harbor Ledger/2.0"));
        window.sessionCommands().selectProduction();
        auto* dialog = window.findChild<QDialog*>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(dialog);
        auto* tree = dialog->findChild<QTreeWidget*>();
        QVERIFY(tree);
        QTreeWidgetItem* version = nullptr;
        for (int p = 0; p < tree->topLevelItemCount(); ++p)
            for (int v = 0; v < tree->topLevelItem(p)->childCount(); ++v)
                if (tree->topLevelItem(p)->child(v)->data(0, Qt::UserRole).toInt() == other)
                    version = tree->topLevelItem(p)->child(v);
        QVERIFY(version);
        tree->setCurrentItem(version);
        dialog->accept();
        QTRY_COMPARE(window.infoBar()->shownProduct(), QStringLiteral("Harbor Ledger(2.0)"));
        BugListView* list = window.bugList();
        for (int row = 0; row < list->model()->rowCount(); ++row)
            QCOMPARE(list->model()->index(row, 8).data().toString(), QStringLiteral("2.0"));
    }
};

} // namespace tarnwick::test

QTEST_MAIN(tarnwick::test::CommandsTest)
#include "CommandsTest.moc"
