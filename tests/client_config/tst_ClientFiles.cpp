// Where Bug.cfg and filter.ser are read and written.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include "client/config/ClientFiles.h"

using tarnwick::ClientFileUse;
using tarnwick::ResolveClientFilePath;

class ClientFilesTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    QString programDir_;
    QString userDir_;

    static void Touch(const QString& path) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

  private slots:
    void init() {
        QVERIFY(dir_.isValid());
        QDir(dir_.path()).removeRecursively();
        QVERIFY(QDir().mkpath(dir_.filePath(QStringLiteral("bin"))));
        programDir_ = dir_.filePath(QStringLiteral("bin"));
        userDir_ = dir_.filePath(QStringLiteral("config/tarnwick"));
    }

    void writableProgramDirectoryHoldsTheFiles() {
        QVERIFY(QDir().mkpath(userDir_));
        Touch(QDir(userDir_).filePath(QStringLiteral("Bug.cfg")));
        const QString expected = QDir(programDir_).filePath(QStringLiteral("Bug.cfg"));
        QCOMPARE(ResolveClientFilePath("Bug.cfg", programDir_, true, userDir_, ClientFileUse::Read),
                 expected);
        QCOMPARE(
            ResolveClientFilePath("Bug.cfg", programDir_, true, userDir_, ClientFileUse::Write),
            expected);
    }

    void readOnlyProgramDirectoryWritesToTheUserFolder() {
        const QString userFile = QDir(userDir_).filePath(QStringLiteral("filter.ser"));
        QVERIFY(!QFileInfo::exists(userDir_));
        QCOMPARE(
            ResolveClientFilePath("filter.ser", programDir_, false, userDir_, ClientFileUse::Write),
            userFile);
        QVERIFY(QFileInfo(userDir_).isDir());
        // Nothing saved anywhere yet: reading looks where the next save goes.
        QCOMPARE(
            ResolveClientFilePath("filter.ser", programDir_, false, userDir_, ClientFileUse::Read),
            userFile);
    }

    void fileBesideTheProgramIsReadUntilTheUserSavesOne() {
        const QString programFile = QDir(programDir_).filePath(QStringLiteral("Bug.cfg"));
        const QString userFile = QDir(userDir_).filePath(QStringLiteral("Bug.cfg"));
        Touch(programFile);
        QCOMPARE(
            ResolveClientFilePath("Bug.cfg", programDir_, false, userDir_, ClientFileUse::Read),
            programFile);
        QCOMPARE(
            ResolveClientFilePath("Bug.cfg", programDir_, false, userDir_, ClientFileUse::Write),
            userFile);
        Touch(userFile);
        QCOMPARE(
            ResolveClientFilePath("Bug.cfg", programDir_, false, userDir_, ClientFileUse::Read),
            userFile);
    }

    void programDirectoryIsTheRunningProgramsOwn() {
        QCOMPARE(tarnwick::ProgramDirectory(), QCoreApplication::applicationDirPath());
    }

    void userFolderFollowsXdgConfigHome() {
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", "/somewhere/cfg");
        const QString set = tarnwick::UserConfigDirectory();
        qputenv("XDG_CONFIG_HOME", "relative/cfg");
        const QString relative = tarnwick::UserConfigDirectory();
        qunsetenv("XDG_CONFIG_HOME");
        const QString unset = tarnwick::UserConfigDirectory();
        if (!saved.isNull()) qputenv("XDG_CONFIG_HOME", saved);

        QCOMPARE(set, QStringLiteral("/somewhere/cfg/tarnwick"));
        const QString fallback = QDir(qEnvironmentVariable("HOME")).filePath(".config/tarnwick");
        QCOMPARE(relative, fallback);
        QCOMPARE(unset, fallback);
    }
};

QTEST_GUILESS_MAIN(ClientFilesTest)
#include "tst_ClientFiles.moc"
