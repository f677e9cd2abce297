// Bug.cfg: the exact bytes of every record, reading them back, damaged files and safe writing.
// Expected files are assembled here byte by byte; the password block is enciphered with the
// cipher directly.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "client/config/ClientConfig.h"
#include "common/crypto/BlowfishCipher.h"

using tarnwick::ClientConfig;

namespace {

QByteArray Le32(quint32 value) {
    QByteArray bytes;
    for (int i = 0; i < 4; ++i)
        bytes.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    return bytes;
}

// A text with a prefix short enough to write out literally.
QByteArray ShortText(const QByteArray& utf8) {
    return QByteArray(1, static_cast<char>(utf8.size())) + utf8;
}

// The 64-byte block for a password's UTF-8 bytes under the client's key.
QByteArray PasswordBlock(const QByteArray& utf8) {
    std::array<uint8_t, 64> block{};
    std::memcpy(block.data(), utf8.constData(), static_cast<size_t>(utf8.size()));
    const uint8_t key[8] = {'Q', 'm', '4', 'r', 'Z', 'p', '8', 0};
    velmora::crypto::BlowfishCipher cipher(key, sizeof key);
    cipher.Encrypt(block.data(), block.data(), block.size(), velmora::crypto::kModeEcb);
    return QByteArray(reinterpret_cast<const char*>(block.data()), 64);
}

ClientConfig SampleConfig() {
    ClientConfig config;
    config.DatabasePath = QStringLiteral("/srv/bugs/Prüfung.mdb");
    config.LoginName = QStringLiteral("mhart");
    config.DefaultRoleID = 0;
    config.DefaultVersionID = -7;
    config.Password = QStringLiteral("mhart-demo");
    config.UseDefaultDatabase = 1;
    config.UseDefaultLogin = 1;
    config.UseDefaultRoleOrProduct = 0;
    config.SavePassword = 1;
    config.DateFormat = QStringLiteral("%d.%m.%Y");
    return config;
}

QByteArray SampleBytes() {
    return ShortText("/srv/bugs/Pr\xC3\xBC"
                     "fung.mdb") +
           ShortText("mhart") + Le32(0) + Le32(static_cast<quint32>(-7)) +
           PasswordBlock("mhart-demo") + Le32(1) + Le32(1) + Le32(0) + Le32(1) +
           ShortText("%d.%m.%Y");
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray("<unreadable>");
    return file.readAll();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A record whose every field differs from the sample, to see which fields a load replaced.
ClientConfig Sentinel() {
    ClientConfig config;
    config.DatabasePath = QStringLiteral("old path");
    config.LoginName = QStringLiteral("old login");
    config.DefaultRoleID = 99;
    config.DefaultVersionID = 98;
    config.Password = QStringLiteral("old password");
    config.UseDefaultDatabase = 97;
    config.UseDefaultLogin = 96;
    config.UseDefaultRoleOrProduct = 95;
    config.SavePassword = 94;
    config.DateFormat = QStringLiteral("old format");
    return config;
}

} // namespace

class ClientConfigTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    QString File(const QString& name = QStringLiteral("Bug.cfg")) const {
        return dir_.filePath(name);
    }

  private slots:
    void init() {
        QVERIFY(dir_.isValid());
        for (const QString& name : QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden))
            QFile::remove(dir_.filePath(name));
    }

    void writesTheRecordsInOrder() {
        QCOMPARE(SampleConfig().Save(File()), QString());
        QCOMPARE(ReadAll(File()), SampleBytes());
    }

    void readsEveryFieldOfAWrittenFile() {
        WriteAll(File(), SampleBytes());
        ClientConfig config = Sentinel();
        QCOMPARE(config.Load(File()), QString());
        const ClientConfig expected = SampleConfig();
        QCOMPARE(config.DatabasePath, expected.DatabasePath);
        QCOMPARE(config.LoginName, expected.LoginName);
        QCOMPARE(config.DefaultRoleID, expected.DefaultRoleID);
        QCOMPARE(config.DefaultVersionID, expected.DefaultVersionID);
        QCOMPARE(config.Password, expected.Password);
        QCOMPARE(config.UseDefaultDatabase, expected.UseDefaultDatabase);
        QCOMPARE(config.UseDefaultLogin, expected.UseDefaultLogin);
        QCOMPARE(config.UseDefaultRoleOrProduct, expected.UseDefaultRoleOrProduct);
        QCOMPARE(config.SavePassword, expected.SavePassword);
        QCOMPARE(config.DateFormat, expected.DateFormat);
    }

    void textLengthPrefixes_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<QByteArray>("prefix");
        QTest::newRow("empty") << 0 << QByteArray("\x00", 1);
        QTest::newRow("254") << 254 << QByteArray("\xFE");
        QTest::newRow("255") << 255 << QByteArray("\xFF\xFF\x00", 3);
        QTest::newRow("65533") << 65533 << QByteArray("\xFF\xFD\xFF");
        QTest::newRow("65534") << 65534 << QByteArray("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7);
        QTest::newRow("65535") << 65535 << QByteArray("\xFF\xFF\xFF\xFF\xFF\x00\x00", 7);
        QTest::newRow("70000") << 70000 << QByteArray("\xFF\xFF\xFF\x70\x11\x01\x00", 7);
    }
    void textLengthPrefixes() {
        QFETCH(int, length);
        QFETCH(QByteArray, prefix);
        ClientConfig config;
        config.DatabasePath = QString(length, QLatin1Char('p'));
        config.DateFormat = QStringLiteral("after");
        QCOMPARE(config.Save(File()), QString());
        const QByteArray bytes = ReadAll(File());
        QCOMPARE(bytes.left(prefix.size()), prefix);
        QCOMPARE(bytes.mid(prefix.size(), length), QByteArray(length, 'p'));
        QCOMPARE(bytes.right(6), QByteArray("\x05"
                                            "after"));

        ClientConfig back;
        QCOMPARE(back.Load(File()), QString());
        QCOMPARE(back.DatabasePath, config.DatabasePath);
        QCOMPARE(back.DateFormat, QStringLiteral("after"));
    }

    void textLengthsCountBytes() {
        // 127 two-byte characters: 254 bytes, still a one-byte prefix; one more needs three.
        ClientConfig config;
        config.LoginName = QString(127, QChar(0x00E9));
        QCOMPARE(config.Save(File()), QString());
        QCOMPARE(ReadAll(File()).mid(1, 1), QByteArray("\xFE"));
        config.LoginName += QChar(0x00E9);
        QCOMPARE(config.Save(File()), QString());
        QCOMPARE(ReadAll(File()).mid(1, 3), QByteArray("\xFF\x00\x01", 3));
        ClientConfig back;
        QCOMPARE(back.Load(File()), QString());
        QCOMPARE(back.LoginName, config.LoginName);
    }

    void passwordBlock_data() {
        QTest::addColumn<QString>("password");
        QTest::newRow("empty: 64 enciphered zero bytes") << QString();
        QTest::newRow("63 characters") << QString(63, QLatin1Char('a'));
        QTest::newRow("64 characters fill the block")
            << QStringLiteral("0123456789abcdef").repeated(4);
        QTest::newRow("multi-byte characters") << QStringLiteral("pässwörd-€");
    }
    void passwordBlock() {
        QFETCH(QString, password);
        ClientConfig config;
        config.Password = password;
        config.SavePassword = 1;
        QCOMPARE(config.Save(File()), QString());
        // Two empty texts and two integers come before the block.
        QCOMPARE(ReadAll(File()).mid(10, 64), PasswordBlock(password.toUtf8()));

        ClientConfig back = Sentinel();
        QCOMPARE(back.Load(File()), QString());
        QCOMPARE(back.Password, password);
    }

    void refusesAPasswordThatDoesNotFit() {
        WriteAll(File(), SampleBytes());
        ClientConfig config;
        config.SavePassword = 1;
        // 33 characters, but 66 bytes.
        config.Password = QString(33, QChar(0x00FC));
        const QString error = config.Save(File());
        QVERIFY(error.contains(QStringLiteral("too long")));
        QCOMPARE(ReadAll(File()), SampleBytes());

        config.Password = QString(65, QLatin1Char('x'));
        QVERIFY(!config.Save(File()).isEmpty());
        QCOMPARE(ReadAll(File()), SampleBytes());
        // Not kept, so not refused.
        config.SavePassword = 0;
        QCOMPARE(config.Save(File()), QString());
    }

    void passwordNotSavedIsStoredEmpty() {
        ClientConfig config;
        config.Password = QStringLiteral("secret");
        config.SavePassword = 0;
        QCOMPARE(config.Save(File()), QString());
        QCOMPARE(ReadAll(File()).mid(10, 64), PasswordBlock(QByteArray()));
    }

    void truncatedFileKeepsTheFieldsBeforeTheCut_data() {
        QTest::addColumn<int>("cut");
        QTest::addColumn<int>("fieldsKept");
        // Offsets into the sample: path 1+22, login 1+5, role 4, version 4, password 64,
        // four integers, format 1+8.
        QTest::newRow("empty file") << 0 << 0;
        QTest::newRow("inside the path") << 10 << 0;
        QTest::newRow("after the path") << 23 << 1;
        QTest::newRow("inside the role") << 31 << 2;
        QTest::newRow("inside the password") << 40 << 4;
        QTest::newRow("after the password") << 101 << 5;
        QTest::newRow("inside the last integer") << 114 << 8;
        QTest::newRow("inside the date format") << 120 << 9;
    }
    void truncatedFileKeepsTheFieldsBeforeTheCut() {
        QFETCH(int, cut);
        QFETCH(int, fieldsKept);
        WriteAll(File(), SampleBytes().left(cut));
        ClientConfig config = Sentinel();
        const QString error = config.Load(File());
        QVERIFY(!error.isEmpty());
        QVERIFY2(error.contains(File()), qPrintable(error));

        const ClientConfig sample = SampleConfig();
        const ClientConfig old = Sentinel();
        const auto pick = [fieldsKept](int field, auto newValue, auto oldValue) {
            return field < fieldsKept ? newValue : oldValue;
        };
        QCOMPARE(config.DatabasePath, pick(0, sample.DatabasePath, old.DatabasePath));
        QCOMPARE(config.LoginName, pick(1, sample.LoginName, old.LoginName));
        QCOMPARE(config.DefaultRoleID, pick(2, sample.DefaultRoleID, old.DefaultRoleID));
        QCOMPARE(config.DefaultVersionID, pick(3, sample.DefaultVersionID, old.DefaultVersionID));
        QCOMPARE(config.Password, pick(4, sample.Password, old.Password));
        QCOMPARE(config.UseDefaultDatabase,
                 pick(5, sample.UseDefaultDatabase, old.UseDefaultDatabase));
        QCOMPARE(config.SavePassword, pick(8, sample.SavePassword, old.SavePassword));
        QCOMPARE(config.DateFormat, pick(9, sample.DateFormat, old.DateFormat));
    }

    void damagedLengthPrefixes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("2 GiB declared, 3 bytes present")
            << QByteArray("\xFF\xFF\xFF\xFF\xFF\xFF\x7F"
                          "abc");
        QTest::newRow("4 GiB declared") << QByteArray("\xFF\xFF\xFF\xFF\xFF\xFF\xFF"
                                                      "abc");
        QTest::newRow("wide-text mark") << QByteArray("\xFF\xFE\xFF\x03"
                                                      "abc");
        QTest::newRow("prefix cut short") << QByteArray("\xFF\x10");
    }
    void damagedLengthPrefixes() {
        QFETCH(QByteArray, bytes);
        WriteAll(File(), bytes);
        ClientConfig config = Sentinel();
        QVERIFY(!config.Load(File()).isEmpty());
        QCOMPARE(config.DatabasePath, Sentinel().DatabasePath);
        QCOMPARE(config.DateFormat, Sentinel().DateFormat);
    }

    void missingFileGivesTheSystemMessage() {
        ClientConfig config;
        const QString error = config.Load(File(QStringLiteral("absent.cfg")));
        QVERIFY2(error.contains(QString::fromLocal8Bit(std::strerror(ENOENT))), qPrintable(error));
        QVERIFY(config.DatabasePath.isEmpty());
        QCOMPARE(config.UseDefaultDatabase, 0);
    }

    void savedFileIsPrivateAndNoTemporaryStays() {
        WriteAll(File(), QByteArray("old"));
        QVERIFY(QFile::setPermissions(File(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadGroup | QFileDevice::ReadOther));
        QCOMPARE(SampleConfig().Save(File()), QString());
        struct stat status {};
        QCOMPARE(::stat(QFile::encodeName(File()).constData(), &status), 0);
        QCOMPARE(status.st_mode & 07777, 0600u);
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Bug.cfg"});

        QCOMPARE(SampleConfig().Save(File(QStringLiteral("new.cfg"))), QString());
        QCOMPARE(::stat(QFile::encodeName(File(QStringLiteral("new.cfg"))).constData(), &status),
                 0);
        QCOMPARE(status.st_mode & 07777, 0600u);
    }

    void failedSaveInAReadOnlyFolderKeepsTheOldFile() {
        if (::geteuid() == 0) QSKIP("the superuser writes into read-only folders");
        WriteAll(File(), QByteArray("old"));
        QVERIFY(QFile::setPermissions(dir_.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const QString error = SampleConfig().Save(File());
        QFile::setPermissions(dir_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ExeOwner);
        QVERIFY(!error.isEmpty());
        QCOMPARE(ReadAll(File()), QByteArray("old"));
    }

    void failedWriteKeepsTheOldFileAndLeavesNoTemporary() {
        WriteAll(File(), QByteArray("old"));
        // A file-size limit makes the write of the new content fail, even for the superuser.
        struct rlimit original {};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &original), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = original;
        limited.rlim_cur = 16;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        const QString error = SampleConfig().Save(File());
        ::setrlimit(RLIMIT_FSIZE, &original);
        std::signal(SIGXFSZ, previousHandler);

        QVERIFY(!error.isEmpty());
        QCOMPARE(ReadAll(File()), QByteArray("old"));
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Bug.cfg"});
    }
};

QTEST_GUILESS_MAIN(ClientConfigTest)
#include "tst_ClientConfig.moc"
