// The bug editor's "Attachment" page over a stored bug: listing, the pending changes and their
// effect once applied, opening and saving stored files, view modes, and the right that guards
// adding and deleting.
#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QFileDialog>
#include <QListView>
#include <QMenu>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "client/attachments/ApplyPendingFiles.h"
#include "client/attachments/AttachmentPage.h"
#include "client/config/OleDate.h"
#include "client/widgets/MessageSink.h"
#include "tests/client_attachments/AttachmentSession.h"
#include "tests/client_support/ClientTestEnvironment.h"

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

QString Cell(const AttachmentPage& page, int row, int column) {
    return page.rows()->item(row, column)->text();
}

QStringList Texts(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* action : actions)
        if (!action->isSeparator()) texts.append(action->text());
    return texts;
}

} // namespace

class AttachmentPageTest : public QObject {
    Q_OBJECT

    ClientTestEnvironment environment_;
    QString database_;
    QTemporaryDir folder_;
    QString notes_;
    QString picture_;

    QString File(const QString& name) const { return folder_.filePath(name); }

    // A page loaded with a new stored bug that has notes.txt and picture.png attached.
    struct Loaded {
        AttachmentSession session;
        LONG notesId = 0;
        LONG pictureId = 0;
    };
    Loaded LoadPage(AttachmentPage& page, const QString& description) {
        Loaded loaded{OpenAttachmentSession(database_, description)};
        loaded.notesId = loaded.session.Attach(notes_);
        loaded.pictureId = loaded.session.Attach(picture_);
        page.load(loaded.session.EditState());
        return loaded;
    }

    static bool Apply(const AttachmentPage& page, const AttachmentSession& session) {
        RecordingMessageSink messages;
        const bool done =
            ApplyPendingFiles(session.Files().Get(), page.pendingFiles(), messages, nullptr);
        return done && messages.texts.isEmpty();
    }

  private slots:
    void initTestCase() {
        database_ = environment_.DemoDatabase(QStringLiteral("attach-page"), 20);
        notes_ = WriteFile(File(QStringLiteral("notes.txt")), "release notes\n");
        picture_ = WriteFile(File(QStringLiteral("picture.png")), NoiseBytes(3000, 9));
    }

    void cleanup() {
        for (QWidget* window : QApplication::topLevelWidgets())
            window->close();
    }

    void listsTheBugsFiles() {
        RecordingMessageSink messages;
        AttachmentPage page(messages);
        QAbstractItemModelTester tester(page.rows());
        QCOMPARE(page.title(), QStringLiteral("Attachment"));
        const Loaded loaded = LoadPage(page, QStringLiteral("lists files"));

        QStandardItemModel* rows = page.rows();
        QCOMPARE(rows->headerData(0, Qt::Horizontal).toString(), QStringLiteral("File Name"));
        QCOMPARE(rows->headerData(1, Qt::Horizontal).toString(),
                 QStringLiteral("File Size (bytes)"));
        QCOMPARE(rows->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Date"));
        QCOMPARE(rows->rowCount(), 2);
        QCOMPARE(Cell(page, 0, 0), QStringLiteral("notes.txt"));
        QCOMPARE(Cell(page, 0, 1), QStringLiteral("14"));
        QCOMPARE(Cell(page, 1, 0), QStringLiteral("picture.png"));
        QCOMPARE(Cell(page, 1, 1), QStringLiteral("3000"));
        QCOMPARE(rows->item(0, 0)->data(AttachmentPage::IdRole).toInt(), loaded.notesId);
        QCOMPARE(rows->item(1, 0)->data(AttachmentPage::IdRole).toInt(), loaded.pictureId);
        QVERIFY(!rows->item(0, 0)->icon().isNull());
        const QDate today = QFileInfo(notes_).lastModified().date();
        QCOMPARE(Cell(page, 0, 2), QLocale().toString(today, QLocale::ShortFormat));
        page.setDateFormat(QStringLiteral("%Y/%m/%d"));
        QCOMPARE(Cell(page, 0, 2), today.toString(QStringLiteral("yyyy/MM/dd")));

        QCOMPARE(page.pendingFiles().entries().size(), 2);
        QCOMPARE(page.pendingFiles().entries()[1].id, loaded.pictureId);
        QCOMPARE(page.pendingFiles().entries()[1].path, QStringLiteral("picture.png"));
        QVERIFY(!page.isModified());
        page.save(loaded.session.EditState());
        QCOMPARE(loaded.session.FileNames().size(), 2);
    }

    void addThenDeleteBeforeOkLeavesTheFilesUnchanged() {
        RecordingMessageSink messages;
        AttachmentPage page(messages);
        const Loaded loaded = LoadPage(page, QStringLiteral("add then delete"));
        QSignalSpy modified(&page, &EditorPage::modified);
        const QString extra = WriteFile(File(QStringLiteral("extra.log")), "12345");
        QVERIFY(page.addFile(extra));
        QCOMPARE(page.rows()->rowCount(), 3);
        QCOMPARE(Cell(page, 2, 0), QStringLiteral("extra.log"));
        QCOMPARE(Cell(page, 2, 1), QStringLiteral("5"));
        QCOMPARE(page.rows()->item(2, 0)->data(AttachmentPage::IdRole).toInt(), 0);
        QVERIFY(page.isModified());
        page.selectRow(2);
        page.deleteSelected();
        QCOMPARE(modified.count(), 2);
        QCOMPARE(page.rows()->rowCount(), 2);
        QVERIFY(!page.isModified());
        QVERIFY(Apply(page, loaded.session));
        QCOMPARE(loaded.session.FileNames(),
                 QStringList({QStringLiteral("notes.txt"), QStringLiteral("picture.png")}));
    }

    void deletingTheSecondNewFileCancelsTheSecond() {
        RecordingMessageSink messages;
        AttachmentPage page(messages);
        const Loaded loaded = LoadPage(page, QStringLiteral("two new files"));
        const QString first = WriteFile(File(QStringLiteral("first.txt")), "one");
        const QString second = WriteFile(File(QStringLiteral("second.txt")), "two");
        QVERIFY(page.addFile(first));
        QVERIFY(page.addFile(second));
        page.selectRow(3);
        QVERIFY(page.deleteAction()->isEnabled());
        page.deleteAction()->trigger();
        QCOMPARE(page.pendingFiles().pathsToAdd(), QStringList{first});
        QVERIFY(Apply(page, loaded.session));
        QCOMPARE(loaded.session.FileNames(),
                 QStringList({QStringLiteral("notes.txt"), QStringLiteral("picture.png"),
                              QStringLiteral("first.txt")}));
    }

    void deletedStoredFileIsRemovedOnApply() {
        RecordingMessageSink messages;
        AttachmentPage page(messages);
        const Loaded loaded = LoadPage(page, QStringLiteral("delete stored"));
        page.selectRow(0);
        page.deleteSelected();
        QCOMPARE(page.rows()->rowCount(), 1);
        QVERIFY(page.isModified());
        // Not yet: the bug's files change only when the list is applied.
        QCOMPARE(loaded.session.FileNames().size(), 2);
        // Adding a file of the same name is fine: the old one goes first.
        const QString again =
            WriteFile(File(QStringLiteral("again/notes.txt"))
                          .replace(QStringLiteral("again/"), QStringLiteral("again-")),
                      "second edition");
        QVERIFY(page.addFile(again));
        QCOMPARE(page.pendingFiles().idsToDelete(), QList<LONG>{loaded.notesId});
        QVERIFY(Apply(page, loaded.session));
        QCOMPARE(loaded.session.FileNames(),
                 QStringList({QStringLiteral("picture.png"), QStringLiteral("again-notes.txt")}));
    }

    void openHandsTheStoredFileToTheDesktop() {
        // The engine starts the desktop's opener by name: a script of ours stands in for it.
        const QString bin = File(QStringLiteral("bin"));
        QDir().mkpath(bin);
        const QString opened = File(QStringLiteral("opened.txt"));
        const QString opener =
            WriteFile(bin + QStringLiteral("/xdg-open"),
                      QStringLiteral("#!/bin/sh\ncat \"$1\" >> '%1'\n").arg(opened).toUtf8());
        QFile::setPermissions(opener, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.toUtf8() + ':' + path);

        RecordingMessageSink messages;
        AttachmentPage page(messages);
        LoadPage(page, QStringLiteral("open"));
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QVERIFY(!page.openAction()->isEnabled()); // nothing selected
        page.selectRow(0);
        QVERIFY(page.openAction()->isEnabled());
        page.openAction()->trigger();
        QTRY_COMPARE(ReadFile(opened), QByteArray("release notes\n"));

        // A double click opens as well.
        QAbstractItemView* view = page.currentView();
        const QRect second = view->visualRect(page.rows()->index(1, 0));
        QVERIFY(second.isValid());
        QSignalSpy doubleClicked(view, &QAbstractItemView::doubleClicked);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, second.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, second.center());
        QCOMPARE(doubleClicked.count(), 1);
        QTRY_COMPARE(ReadFile(opened).size(), 14 + 3000);

        // A file added in this run is not in the database: nothing to open.
        QVERIFY(page.addFile(notes_));
        QVERIFY(!page.openAction()->isEnabled());
        QVERIFY(!page.saveAsAction()->isEnabled());
        page.openSelected();
        QTest::qWait(200);
        QCOMPARE(ReadFile(opened).size(), 14 + 3000);
        QVERIFY(messages.texts.isEmpty());
        qputenv("PATH", path);
    }

    void saveAsWritesTheStoredBytes() {
        RecordingMessageSink messages;
        AttachmentPage page(messages);
        LoadPage(page, QStringLiteral("save as"));
        page.selectRow(1);
        const QString copy = File(QStringLiteral("copy.png"));
        QVERIFY(page.saveSelectedAs(copy));
        QCOMPARE(ReadFile(copy), ReadFile(picture_));

        // Over a file the user agreed to replace.
        const QString existing = WriteFile(File(QStringLiteral("existing.png")), "old content");
        QVERIFY(page.saveSelectedAs(existing));
        QCOMPARE(ReadFile(existing), ReadFile(picture_));
        QCOMPARE(QDir(folder_.path())
                     .entryList(QStringList{QStringLiteral(".tarnwick-*")},
                                QDir::AllEntries | QDir::Hidden),
                 QStringList());

        // Into a folder that does not exist: the engine's message.
        QVERIFY(!page.saveSelectedAs(File(QStringLiteral("missing/copy.png"))));
        QCOMPARE(messages.texts, QStringList{QStringLiteral("Get File Failed!")});
    }

    void fileDialogsOfferEveryFile() {
        RecordingMessageSink messages;
        AttachmentPage page(messages);
        LoadPage(page, QStringLiteral("dialogs"));
        page.show();
        QFileDialog* add = page.chooseFileToAdd();
        QVERIFY(add);
        QVERIFY(add->isVisible());
        QCOMPARE(add->nameFilters(), QStringList{QStringLiteral("All Files (*)")});
        QCOMPARE(add->fileMode(), QFileDialog::ExistingFile);
        const QString chosen = WriteFile(File(QStringLiteral("chosen.cfg")), "x=1");
        emit add->fileSelected(chosen);
        add->close();
        QCOMPARE(page.rows()->rowCount(), 3);
        QCOMPARE(page.pendingFiles().pathsToAdd(), QStringList{chosen});

        page.selectRow(0);
        QFileDialog* save = page.chooseSaveAsPath();
        QVERIFY(save);
        QCOMPARE(save->acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(save->nameFilters(), QStringList{QStringLiteral("All Files (*)")});
        const QString target = File(QStringLiteral("from-dialog.txt"));
        emit save->fileSelected(target);
        save->close();
        QCOMPARE(ReadFile(target), QByteArray("release notes\n"));
    }

    void viewModesSwitchTheView() {
        RecordingMessageSink messages;
        AttachmentPage page(messages);
        LoadPage(page, QStringLiteral("views"));
        page.show();
        QCOMPARE(page.viewMode(), AttachmentPage::Detail);
        QCOMPARE(page.currentView()->metaObject()->className(), "QTreeView");
        page.selectRow(1);

        page.viewModeAction(AttachmentPage::LargeIcons)->trigger();
        QCOMPARE(page.viewMode(), AttachmentPage::LargeIcons);
        auto* icons = qobject_cast<QListView*>(page.currentView());
        QVERIFY(icons && icons->isVisible());
        QCOMPARE(icons->viewMode(), QListView::IconMode);
        // The selection follows the rows, whatever the view.
        QVERIFY(page.openAction()->isEnabled());
        QCOMPARE(icons->selectionModel()->selectedIndexes().first().row(), 1);

        page.viewModeAction(AttachmentPage::List)->trigger();
        QCOMPARE(icons->viewMode(), QListView::ListMode);
        QVERIFY(!page.viewModeAction(AttachmentPage::LargeIcons)->isChecked());
        page.viewModeAction(AttachmentPage::Detail)->trigger();
        QCOMPARE(page.currentView()->metaObject()->className(), "QTreeView");
        QVERIFY(page.currentView()->isVisible());
        QVERIFY(!icons->isVisible());
    }

    void toolbarAndMenuOfferTheCommandsInOrder() {
        RecordingMessageSink messages;
        AttachmentPage page(messages);
        QCOMPARE(Texts(page.toolBar()->actions()),
                 QStringList({"Add file", "Open", "Save As", "Delete", "Large Icons", "Small Icons",
                              "List", "Detail"}));
        QCOMPARE(
            Texts(page.contextMenu()->actions()),
            QStringList({"Open...", "Save As...", "Large Icons", "Small Icons", "List", "Detail"}));
        // Before the page is loaded nothing may change.
        QVERIFY(!page.addFileAction()->isEnabled());
        QVERIFY(!page.addFile(notes_));
    }

    void withoutTheRightFilesCanOnlyBeRead() {
        RecordingMessageSink messages;
        AttachmentPage page(messages);
        const AttachmentSession session =
            OpenAttachmentSession(database_, QStringLiteral("no right"));
        session.Attach(notes_);
        BugEditorState state = session.EditState();
        state.right = Create<IRight>(CLSID_Right, IID_IRight); // all flags off
        page.load(state);
        QVERIFY(!page.addFileAction()->isEnabled());
        QVERIFY(page.chooseFileToAdd() == nullptr);
        QVERIFY(!page.addFile(picture_));
        page.selectRow(0);
        QVERIFY(!page.deleteAction()->isEnabled());
        page.deleteSelected();
        QCOMPARE(page.rows()->rowCount(), 1);
        QVERIFY(!page.isModified());
        QVERIFY(page.openAction()->isEnabled());
        QVERIFY(page.saveAsAction()->isEnabled());
        QVERIFY(page.saveSelectedAs(File(QStringLiteral("read-only-copy.txt"))));
    }

    void aFileGoneBeforeApplyingIsReportedAndTheRestStored() {
        RecordingMessageSink messages;
        AttachmentPage page(messages);
        const Loaded loaded = LoadPage(page, QStringLiteral("file gone"));
        const QString gone = WriteFile(File(QStringLiteral("gone.txt")), "soon gone");
        const QString kept = WriteFile(File(QStringLiteral("kept.txt")), "still here");
        QVERIFY(page.addFile(gone));
        QVERIFY(page.addFile(kept));
        QVERIFY(QFile::remove(gone));
        RecordingMessageSink shown;
        QVERIFY(
            !ApplyPendingFiles(loaded.session.Files().Get(), page.pendingFiles(), shown, nullptr));
        QCOMPARE(shown.texts, QStringList{QStringLiteral("Add file to database failed!")});
        QCOMPARE(loaded.session.FileNames(),
                 QStringList({QStringLiteral("notes.txt"), QStringLiteral("picture.png"),
                              QStringLiteral("kept.txt")}));
    }

    void newBugStartsEmpty() {
        RecordingMessageSink messages;
        AttachmentPage page(messages);
        const AttachmentSession session =
            OpenAttachmentSession(database_, QStringLiteral("for the session"));
        BugEditorState state = session.EditState();
        state.bug = Create<IBug>(CLSID_Bug, IID_IBug);
        state.mode = BugEditorState::New;
        page.load(state);
        QCOMPARE(page.rows()->rowCount(), 0);
        QVERIFY(page.addFile(notes_));
        QVERIFY(page.addFile(picture_));
        // Applied to the bug once it is stored.
        QVERIFY(Apply(page, session));
        QCOMPARE(session.FileNames(),
                 QStringList({QStringLiteral("notes.txt"), QStringLiteral("picture.png")}));
    }
};

QTEST_MAIN(AttachmentPageTest)
#include "AttachmentPageTest.moc"
