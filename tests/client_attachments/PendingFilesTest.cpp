// The pending attachment changes: which entry a deleted row cancels, what applying would do.
#include <QTest>

#include "client/attachments/PendingFiles.h"

using namespace tarnwick;

class PendingFilesTest : public QObject {
    Q_OBJECT

  private slots:
    void storedFilesAloneChangeNothing() {
        PendingFiles pending;
        const int first = pending.addStored(QStringLiteral("a.txt"), 11);
        const int second = pending.addStored(QStringLiteral("b.txt"), 12);
        QVERIFY(first != second);
        QVERIFY(!pending.hasChanges());
        QVERIFY(pending.idsToDelete().isEmpty());
        QVERIFY(pending.pathsToAdd().isEmpty());
        QCOMPARE(pending.find(second)->path, QStringLiteral("b.txt"));
        QCOMPARE(pending.find(second)->id, 12);
        QCOMPARE(pending.find(second)->state, PendingFile::Stored);
    }

    void deletingANewRowCancelsThatRowsAddition() {
        // Every new file has the ID 0: only the key tells them apart.
        PendingFiles pending;
        pending.addStored(QStringLiteral("kept.txt"), 5);
        const int first = pending.addNew(QStringLiteral("/data/first.txt"));
        const int second = pending.addNew(QStringLiteral("/data/second.txt"));
        const int third = pending.addNew(QStringLiteral("/data/third.txt"));
        QVERIFY(pending.remove(second));
        QCOMPARE(pending.pathsToAdd(), QStringList({QStringLiteral("/data/first.txt"),
                                                    QStringLiteral("/data/third.txt")}));
        QVERIFY(pending.find(second) == nullptr);
        QVERIFY(pending.find(first) && pending.find(third));
        QVERIFY(pending.remove(first));
        QVERIFY(pending.remove(third));
        QVERIFY(!pending.hasChanges());
        QCOMPARE(pending.entries().size(), 1);
    }

    void sameFileAddedTwiceIsTwoEntries() {
        PendingFiles pending;
        const int first = pending.addNew(QStringLiteral("/data/same.txt"));
        pending.addNew(QStringLiteral("/data/same.txt"));
        QVERIFY(pending.remove(first));
        QCOMPARE(pending.pathsToAdd(), QStringList{QStringLiteral("/data/same.txt")});
    }

    void deletingAStoredRowMarksIt() {
        PendingFiles pending;
        pending.addStored(QStringLiteral("a.txt"), 11);
        const int b = pending.addStored(QStringLiteral("b.txt"), 12);
        QVERIFY(pending.remove(b));
        QCOMPARE(pending.find(b)->state, PendingFile::ToDelete);
        QCOMPARE(pending.idsToDelete(), QList<LONG>{12});
        QVERIFY(pending.hasChanges());
        // A row is deleted once; its entry stays marked.
        QVERIFY(!pending.remove(b));
        QCOMPARE(pending.idsToDelete(), QList<LONG>{12});
    }

    void storedEntryWithoutIdHasNothingToDelete() {
        PendingFiles pending;
        const int key = pending.addStored(QStringLiteral("lost.txt"), 0);
        QVERIFY(pending.remove(key));
        QVERIFY(pending.entries().isEmpty());
        QVERIFY(!pending.hasChanges());
    }

    void keysAreNeverReused() {
        PendingFiles pending;
        const int first = pending.addNew(QStringLiteral("/a"));
        QVERIFY(pending.remove(first));
        const int next = pending.addNew(QStringLiteral("/b"));
        QVERIFY(next != first);
        QVERIFY(!pending.remove(first));
        QCOMPARE(pending.pathsToAdd(), QStringList{QStringLiteral("/b")});
        QVERIFY(!pending.remove(-1));
    }
};

QTEST_GUILESS_MAIN(PendingFilesTest)
#include "PendingFilesTest.moc"
