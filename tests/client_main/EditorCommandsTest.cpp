// Report Bug, Report Feature, Edit and Set Filters from the main window, on a demo database: what
// the editors store, where, with which files, and what happens to a colleague's change made while
// the editor was open.
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QStatusBar>
#include <QTemporaryFile>
#include <QTest>

#include "client/attachments/AttachmentPage.h"
#include "client/editor/BugSheet.h"
#include "client/filtereditor/FilterDialog.h"
#include "client/filtereditor/FilterNameDialog.h"
#include "client/filters/FilterFile.h"
#include "client/filters/FilterList.h"
#include "client/list/BugListView.h"
#include "client/main/BugCommands.h"
#include "client/main/FilterCommands.h"
#include "client/main/MainActions.h"
#include "tests/client_main/MainWindowFixture.h"

namespace tarnwick::test {

namespace {

// The control with this accessible name under root.
template <class Widget> Widget* Named(QWidget* root, const QString& name) {
    for (Widget* widget : root->findChildren<Widget*>())
        if (widget->accessibleName() == name) return widget;
    return nullptr;
}

QStringList FilterNames(const FilterList& list) {
    QStringList names;
    for (int i = 0; i < list.Count(); ++i)
        names.append(Text(list.GetAt(i).Get(), &IBugFilterSet::get_Name));
    return names;
}

} // namespace

class EditorCommandsTest : public QObject {
    Q_OBJECT
    ClientTestEnvironment environment_;
    std::unique_ptr<MainWindowFixture> fixture_;

    MainWindow& startLoggedIn() {
        fixture_->writeConfig(true, QStringLiteral("mhart"), QStringLiteral("mhart-demo"),
                              QStringLiteral("Harbor Ledger/2.1"));
        return fixture_->start();
    }

    // A second session on the same database with the same version active: the colleague.
    ComPtr<IBugSet> colleagueBugs(bool features = false) {
        const LONG version = fixture_->versionID(QStringLiteral("Harbor Ledger/2.1"));
        colleague_ = fixture_->openSession(QStringLiteral("mhart"), QStringLiteral("mhart-demo"));
        Check(colleague_->SetActiveProduct(version));
        ComPtr<IBugSet> bugs;
        if (features)
            Check(colleague_->OpenFeatureSet(nullptr, bugs.Put()));
        else
            Check(colleague_->OpenBugSet(nullptr, bugs.Put()));
        return bugs;
    }

    // The bug as stored, read through a session of its own.
    ComPtr<IBug> storedBug(LONG id, bool feature = false) {
        ComPtr<IBugSet> bugs = colleagueBugs(feature);
        ComPtr<IBug> bug;
        Check(bugs->GetBugByID(id, bug.Put()));
        return bug;
    }

    // Presses the editor's OK and waits until it has closed.
    static void acceptAndWait(BugSheet* editor) {
        QPointer<BugSheet> open(editor);
        editor->accept();
        QTRY_VERIFY_WITH_TIMEOUT(!open, 10000);
    }

    ComPtr<IExeContext> colleague_;

  private slots:
    void init() { fixture_ = std::make_unique<MainWindowFixture>(environment_); }
    void cleanup() {
        fixture_->stop();
        colleague_ = nullptr;
        fixture_.reset();
    }

    // A new bug and a new feature go to their own lists with their type; the files collected
    // on the Attachment page are stored with the new bug.
    void reportBugAndFeature() {
        MainWindow& window = startLoggedIn();
        const int bugsBefore = window.bugList()->model()->rowCount();
        const int featuresBefore = window.featureList()->model()->rowCount();

        window.actions().reportBug->trigger();
        BugSheet* editor = window.bugCommands().editor();
        QVERIFY(editor);
        QCOMPARE(editor->windowTitle(), QStringLiteral("New Bug"));
        Named<QLineEdit>(editor, QStringLiteral("Description"))
            ->setText(QStringLiteral("Printing stalls"));
        auto* files = editor->findChild<AttachmentPage*>();
        QVERIFY(files);
        QTemporaryFile attachment;
        QVERIFY(attachment.open());
        attachment.write("crash log");
        attachment.flush();
        editor->findChild<QTabWidget*>()->setCurrentWidget(files);
        files->addFile(attachment.fileName());
        const ComPtr<IBug> bug = editor->bug();
        acceptAndWait(editor);
        QCOMPARE(window.bugList()->model()->rowCount(), bugsBefore + 1);

        const ComPtr<IBug> stored = storedBug(Long(bug.Get(), &IBug::get_ID));
        QCOMPARE(Text(stored.Get(), &IBug::get_Description), QStringLiteral("Printing stalls"));
        tagBugType type = eFeature;
        Check(stored->get_BugType(&type));
        QCOMPARE(type, eBug);
        const ComPtr<IFileSet> storedFiles = Object(stored.Get(), &IBug::get_AttachedFiles);
        QCOMPARE(Long(storedFiles.Get(), &IFileSet::get_Count), 1);

        window.actions().reportFeature->trigger();
        editor = window.bugCommands().editor();
        QCOMPARE(editor->windowTitle(), QStringLiteral("New Feature"));
        const ComPtr<IBug> feature = editor->bug();
        acceptAndWait(editor);
        QCOMPARE(window.featureList()->model()->rowCount(), featuresBefore + 1);
        Check(storedBug(Long(feature.Get(), &IBug::get_ID), true)->get_BugType(&type));
        QCOMPARE(type, eFeature);
        QVERIFY(fixture_->messages.texts.isEmpty());
    }

    // Cancel stores nothing.
    void cancelStoresNothing() {
        MainWindow& window = startLoggedIn();
        const int before = window.bugList()->model()->rowCount();
        window.actions().reportBug->trigger();
        QPointer<BugSheet> editor = window.bugCommands().editor();
        editor->reject();
        QTRY_VERIFY(!editor);
        window.bugList()->Refresh();
        QCOMPARE(window.bugList()->model()->rowCount(), before);
    }

    // Edit stores the change; a colleague's change to another field made meanwhile is kept and
    // the status bar says so.
    void editKeepsColleaguesChange() {
        MainWindow& window = startLoggedIn();
        window.bugList()->selectRow(0);
        const LONG id = window.bugList()->SelectedBugID();
        window.actions().edit->trigger();
        BugSheet* editor = window.bugCommands().editor();
        QVERIFY(editor);
        QCOMPARE(editor->windowTitle(), QStringLiteral("Edit Bug"));
        Named<QLineEdit>(editor, QStringLiteral("Description"))
            ->setText(QStringLiteral("Edited by me"));

        ComPtr<IBugSet> theirs = colleagueBugs();
        ComPtr<IBug> theirBug;
        Check(theirs->GetBugByID(id, theirBug.Put()));
        const QString priority = Text(theirBug.Get(), &IBug::get_Priority) == "High"
                                     ? QStringLiteral("Low")
                                     : QStringLiteral("High");
        Check(theirBug->put_Priority(ToBstr(priority).Get()));
        Check(theirs->Update(theirBug.Get()));

        acceptAndWait(editor);
        const ComPtr<IBug> stored = storedBug(id);
        QCOMPARE(Text(stored.Get(), &IBug::get_Description), QStringLiteral("Edited by me"));
        QCOMPARE(Text(stored.Get(), &IBug::get_Priority), priority);
        QVERIFY2(window.statusBar()->currentMessage().contains(QStringLiteral("Priority")),
                 qPrintable(window.statusBar()->currentMessage()));
        QVERIFY(fixture_->messages.texts.isEmpty());
    }

    // OK takes the edited filters, saves them to filter.ser and offers them at once; Cancel
    // leaves everything as it was.
    void setFiltersSavesAndCancelKeeps() {
        MainWindow& window = startLoggedIn();
        const QStringList before = FilterNames(window.filters());

        window.actions().setFilters->trigger();
        FilterDialog* dialog = window.filterCommands().dialog();
        QVERIFY(dialog);
        dialog->newFilter();
        dialog->nameDialog()->nameEdit()->setText(QStringLiteral("Printing"));
        dialog->nameDialog()->accept();
        dialog->addCondition();
        QPointer<FilterDialog> open(dialog);
        dialog->reject();
        QTRY_VERIFY(!open);
        QCOMPARE(FilterNames(window.filters()), before);
        QVERIFY(!QFile::exists(fixture_->files.filters));

        window.actions().setFilters->trigger();
        dialog = window.filterCommands().dialog();
        dialog->newFilter();
        dialog->nameDialog()->nameEdit()->setText(QStringLiteral("Printing"));
        dialog->nameDialog()->accept();
        dialog->addCondition();
        open = dialog;
        dialog->accept();
        QTRY_VERIFY(!open);
        QCOMPARE(FilterNames(window.filters()), before + QStringList{QStringLiteral("Printing")});
        FilterList saved;
        QVERIFY(LoadFilterFile(fixture_->files.filters, saved));
        QCOMPARE(FilterNames(saved), QStringList{QStringLiteral("Printing")});
        QVERIFY(fixture_->messages.texts.isEmpty());
    }

    // A filter.ser that cannot be written is reported; the edited filters are used anyway.
    void unwritableFilterFileIsReported() {
        fixture_->files.filters = QDir(environment_.File(QStringLiteral("missing-folder")))
                                      .filePath(QStringLiteral("filter.ser"));
        MainWindow& window = startLoggedIn();
        window.actions().setFilters->trigger();
        FilterDialog* dialog = window.filterCommands().dialog();
        dialog->newFilter();
        dialog->nameDialog()->nameEdit()->setText(QStringLiteral("Unsaved"));
        dialog->nameDialog()->accept();
        dialog->accept();
        QTRY_COMPARE(fixture_->messages.texts,
                     QStringList{QStringLiteral("Save Filter.ser failed!")});
        QVERIFY(FilterNames(window.filters()).contains(QStringLiteral("Unsaved")));
    }
};

} // namespace tarnwick::test

QTEST_MAIN(tarnwick::test::EditorCommandsTest)
#include "EditorCommandsTest.moc"
