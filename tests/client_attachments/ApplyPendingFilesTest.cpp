// Applying the collected attachment changes: order, failures that do not stop the rest, and large
// files stored on a worker thread with a progress dialog that can cancel.
#include <QLabel>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

#include "client/attachments/ApplyPendingFiles.h"
#include "client/attachments/ThreadBytesRead.h"
#include "client/widgets/MessageSink.h"
#include "tests/client_attachments/AttachmentSession.h"
#include "tests/client_attachments/RecordingFileSet.h"
#include "tests/client_support/ClientTestEnvironment.h"

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

PendingFiles Pending(const QList<QPair<QString, LONG>>& stored, const QList<int>& deleteRows,
                     const QStringList& added) {
    PendingFiles pending;
    QList<int> keys;
    for (const auto& [name, id] : stored)
        keys.append(pending.addStored(name, id));
    for (const QString& path : added)
        pending.addNew(path);
    for (int row : deleteRows)
        pending.remove(keys[row]);
    return pending;
}

QPushButton* CancelButton(QProgressDialog* dialog) {
    return dialog ? dialog->findChild<QPushButton*>() : nullptr;
}

} // namespace

class ApplyPendingFilesTest : public QObject {
    Q_OBJECT

    ClientTestEnvironment environment_;
    QString database_;
    QTemporaryDir folder_;
    QString small_;
    QString large_;
    QWidget window_;

    QString File(const QString& name) const { return folder_.filePath(name); }

  private slots:
    void initTestCase() {
        database_ = environment_.DemoDatabase(QStringLiteral("attach-apply"), 20);
        small_ = WriteFile(File(QStringLiteral("small.txt")), "a few bytes");
        large_ = WriteFile(File(QStringLiteral("large.bin")), NoiseBytes(4 * 1024 * 1024, 7));
        window_.show();
    }

    void deletionsComeBeforeAdditions() {
        // Collected as: one addition, then a deletion.
        PendingFiles pending;
        const int stored = pending.addStored(QStringLiteral("old.txt"), 40);
        pending.addNew(QStringLiteral("/data/new.txt"));
        pending.remove(stored);

        RecordingFileSet files;
        RecordingMessageSink messages;
        QVERIFY(ApplyPendingFiles(&files, pending, messages, &window_));
        QCOMPARE(files.calls(), QStringList({QStringLiteral("RemoveByID 40"),
                                             QStringLiteral("Add /data/new.txt")}));
        QVERIFY(messages.texts.isEmpty());

        RecordingFileSet again;
        PendingFilesApplier applier(ComPtr<IFileSet>(&again), pending, messages, &window_);
        QSignalSpy finished(&applier, &PendingFilesApplier::finished);
        applier.start();
        QCOMPARE(finished.count(), 1); // nothing large: done before start returns
        QCOMPARE(finished.first().first().toBool(), true);
        QCOMPARE(again.calls(), files.calls());
        QVERIFY(applier.progressDialog() == nullptr);
    }

    void aFailureIsShownAndTheRestGoesOn() {
        const PendingFiles pending =
            Pending({{QStringLiteral("a"), 1}, {QStringLiteral("b"), 2}}, {0, 1},
                    {QStringLiteral("/x/refused.txt"), QStringLiteral("/x/fine.txt")});
        RecordingFileSet files;
        files.refusedIds = {1};
        files.refusedPaths = {QStringLiteral("/x/refused.txt")};
        RecordingMessageSink messages;
        QVERIFY(!ApplyPendingFiles(&files, pending, messages, &window_));
        QCOMPARE(files.calls(), QStringList({"RemoveByID 1", "RemoveByID 2", "Add /x/refused.txt",
                                             "Add /x/fine.txt"}));
        QCOMPARE(messages.texts, QStringList({QStringLiteral("Delete file failed!"),
                                              QStringLiteral("Add file to database failed!")}));

        RecordingFileSet again;
        again.refusedIds = {1};
        again.refusedPaths = {QStringLiteral("/x/refused.txt")};
        RecordingMessageSink shown;
        PendingFilesApplier applier(ComPtr<IFileSet>(&again), pending, shown, &window_);
        QSignalSpy finished(&applier, &PendingFilesApplier::finished);
        applier.start();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(applier.failures(), 2);
        QCOMPARE(shown.texts, messages.texts);
    }

    void largeFileIsStoredOnAWorkerWithProgress() {
        RecordingFileSet files;
        files.heldPath = large_;
        RecordingMessageSink messages;
        PendingFilesApplier applier(ComPtr<IFileSet>(&files), Pending({}, {}, {large_, small_}),
                                    messages, &window_, 1024);
        QSignalSpy finished(&applier, &PendingFilesApplier::finished);
        applier.start();
        QCOMPARE(finished.count(), 0);
        QVERIFY(applier.isRunning());
        QProgressDialog* progress = applier.progressDialog();
        QVERIFY(progress);
        QVERIFY(progress->isVisible());
        QCOMPARE(progress->windowModality(), Qt::WindowModal);
        QCOMPARE(progress->labelText(), QStringLiteral("Storing large.bin..."));
        QTRY_VERIFY(files.holding());
        QVERIFY(files.lastAddThread() != QThread::currentThread());

        files.release();
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.first().first().toBool(), true);
        QCOMPARE(files.calls(),
                 QStringList({QStringLiteral("Add ") + large_, QStringLiteral("Add ") + small_}));
        // The small file after it is stored on this thread again.
        QCOMPARE(files.lastAddThread(), QThread::currentThread());
        QVERIFY(applier.progressDialog() == nullptr);
        QVERIFY(messages.texts.isEmpty());
    }

    void cancelTakesOutTheFileStoredMeanwhileAndStops() {
        RecordingFileSet files;
        files.heldPath = large_;
        RecordingMessageSink messages;
        PendingFilesApplier applier(ComPtr<IFileSet>(&files), Pending({}, {}, {large_, small_}),
                                    messages, &window_, 1024);
        QSignalSpy finished(&applier, &PendingFilesApplier::finished);
        applier.start();
        QTRY_VERIFY(files.holding());
        QProgressDialog* progress = applier.progressDialog();
        QPushButton* cancel = CancelButton(progress);
        QVERIFY(cancel);
        QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
        cancel->click();
        // The dialog stays, blocking the window, until the worker is done with the engine.
        QVERIFY(progress->isVisible());
        QCOMPARE(progress->labelText(), QStringLiteral("Cancelling..."));
        QVERIFY(!cancel->isEnabled());
        // Closing the dialog or pressing Escape does not take it away either.
        progress->close();
        QTest::keyClick(progress, Qt::Key_Escape);
        QVERIFY(progress->isVisible());
        QCOMPARE(finished.count(), 0);

        files.release();
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.first().first().toBool(), false);
        QCOMPARE(files.calls(),
                 QStringList({QStringLiteral("Add ") + large_, QStringLiteral("Append 1001"),
                              QStringLiteral("RemoveByID 1001")}));
        QVERIFY(messages.texts.isEmpty());
    }

    void workerFailureCarriesTheEnginesMessage() {
        RecordingFileSet files;
        files.refusedPaths = {large_};
        RecordingMessageSink messages;
        PendingFilesApplier applier(ComPtr<IFileSet>(&files), Pending({}, {}, {large_, small_}),
                                    messages, &window_, 1024);
        QSignalSpy finished(&applier, &PendingFilesApplier::finished);
        applier.start();
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.first().first().toBool(), true);
        QCOMPARE(messages.texts, QStringList{QStringLiteral("Add file to database failed!")});
        QCOMPARE(files.calls().size(), 2);
        QCOMPARE(applier.failures(), 1);
    }

    void threadBytesReadCountsOneThreadsReads() {
        qint64 before = -1, after = -1;
        std::thread reader([&] {
            const pid_t self = CurrentThreadId();
            before = ThreadBytesRead(self);
            const QByteArray bytes = ReadFile(large_);
            after = ThreadBytesRead(self);
        });
        reader.join();
        QVERIFY(before >= 0);
        QVERIFY2(after - before >= 4 * 1024 * 1024, qPrintable(QString::number(after - before)));
        // This thread read none of it.
        const qint64 mine = ThreadBytesRead(CurrentThreadId());
        QVERIFY(mine >= 0);
        QCOMPARE(ThreadBytesRead(-5), qint64(-1));
    }

    void engineStoresALargeFileWholeAndShowsProgress() {
        const AttachmentSession session =
            OpenAttachmentSession(database_, QStringLiteral("large file stored"));
        const QString big =
            WriteFile(File(QStringLiteral("big.bin")), NoiseBytes(24 * 1024 * 1024, 3));
        RecordingMessageSink messages;
        PendingFilesApplier applier(session.Files(), Pending({}, {}, {big}), messages, &window_,
                                    1024 * 1024);
        QSignalSpy finished(&applier, &PendingFilesApplier::finished);
        applier.start();
        QProgressDialog* progress = applier.progressDialog();
        QVERIFY(progress);
        QVERIFY(progress->maximum() >= 2 * 24 * 1024); // KiB of the file and its archive
        int highest = 0;
        QProgressBar* bar = progress->findChild<QProgressBar*>();
        QVERIFY(bar);
        connect(bar, &QProgressBar::valueChanged, this,
                [&highest](int value) { highest = std::max(highest, value); });
        QVERIFY(finished.wait(60000));
        QCOMPARE(finished.first().first().toBool(), true);
        QVERIFY(messages.texts.isEmpty());
        QVERIFY2(highest > 0, "the dialog followed the worker's reading");

        QCOMPARE(session.FileNames(), QStringList{QStringLiteral("big.bin")});
        const ComPtr<IFile> stored = Item(session.Files().Get(), &IFileSet::get_Item, 0);
        const QString copy = File(QStringLiteral("big-copy.bin"));
        Check(stored->GetFile(ToBstr(copy).Get()));
        QVERIFY(ReadFile(copy) == ReadFile(big));
    }

    void engineCancelLeavesTheFilesAsBefore() {
        const AttachmentSession session =
            OpenAttachmentSession(database_, QStringLiteral("large file cancelled"));
        session.Attach(small_);
        RecordingMessageSink messages;
        PendingFilesApplier applier(session.Files(), Pending({}, {}, {large_, small_}), messages,
                                    &window_, 1024);
        QSignalSpy finished(&applier, &PendingFilesApplier::finished);
        applier.start();
        QVERIFY(CancelButton(applier.progressDialog()));
        CancelButton(applier.progressDialog())->click();
        QVERIFY(finished.wait(60000));
        QCOMPARE(finished.first().first().toBool(), false);
        QVERIFY2(messages.texts.isEmpty(), qPrintable(messages.texts.join('\n')));
        QCOMPARE(session.FileNames(), QStringList{QStringLiteral("small.txt")});
    }
};

QTEST_MAIN(ApplyPendingFilesTest)
#include "ApplyPendingFilesTest.moc"
