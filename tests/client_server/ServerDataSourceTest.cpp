// Which data sources name a server, and the masking of a password inside a server URI in every
// form libpq accepts it, so that no window, message or status text ever shows it.
#include <QTest>

#include "client/server/ServerDataSource.h"

namespace tarnwick::test {

class ServerDataSourceTest : public QObject {
    Q_OBJECT

  private slots:
    void serverUrisAreToldFromFiles_data() {
        QTest::addColumn<QString>("dataSource");
        QTest::addColumn<bool>("server");
        QTest::addRow("postgresql") << "postgresql://alice@db/team" << true;
        QTest::addRow("postgres") << "postgres://db/team" << true;
        QTest::addRow("scheme in capitals") << "PostgreSQL://db/team" << true;
        QTest::addRow("scheme alone") << "postgresql://" << true;
        QTest::addRow("absolute file") << "/srv/team/tracker.mdb" << false;
        QTest::addRow("relative file") << "tracker.mdb" << false;
        QTest::addRow("file named like the scheme") << "postgresql.mdb" << false;
        QTest::addRow("folder named like the scheme") << "postgresql:/team.mdb" << false;
        QTest::addRow("scheme not at the start") << "/tmp/postgresql://x" << false;
        QTest::addRow("other scheme") << "mysql://db/team" << false;
        QTest::addRow("empty") << "" << false;
    }
    void serverUrisAreToldFromFiles() {
        QFETCH(QString, dataSource);
        QFETCH(bool, server);
        QCOMPARE(IsServerDataSource(dataSource), server);
    }

    void passwordsAreMasked_data() {
        QTest::addColumn<QString>("dataSource");
        QTest::addColumn<QString>("shown");
        QTest::addRow("user and password") << "postgresql://alice:s3cret@db:5432/team"
                                           << "postgresql://alice:****@db:5432/team";
        QTest::addRow("short scheme, capitals") << "POSTGRES://alice:s3cret@db/team"
                                                << "POSTGRES://alice:****@db/team";
        QTest::addRow("@ inside the password") << "postgresql://alice:p@ss@db/team"
                                               << "postgresql://alice:****@db/team";
        QTest::addRow("no path") << "postgresql://alice:s3cret@db"
                                 << "postgresql://alice:****@db";
        QTest::addRow("IPv6 host") << "postgresql://alice:s3cret@[::1]:5432/team"
                                   << "postgresql://alice:****@[::1]:5432/team";
        QTest::addRow("empty password") << "postgresql://alice:@db/team"
                                        << "postgresql://alice:****@db/team";
        QTest::addRow("query password") << "postgresql://alice@db/team?password=s3cret"
                                        << "postgresql://alice@db/team?password=****";
        QTest::addRow("query password among others")
            << "postgresql://db/team?sslmode=require&password=s3cret&connect_timeout=5"
            << "postgresql://db/team?sslmode=require&password=****&connect_timeout=5";
        QTest::addRow("query password last")
            << "postgresql://db/team?sslmode=require&password=s3cret"
            << "postgresql://db/team?sslmode=require&password=****";
        QTest::addRow("query key in capitals") << "postgresql://db/team?PASSWORD=s3cret"
                                               << "postgresql://db/team?PASSWORD=****";
        QTest::addRow("query without path") << "postgresql://db?password=s3cret"
                                            << "postgresql://db?password=****";
        QTest::addRow("both forms") << "postgresql://alice:s3cret@db/team?password=s3cret"
                                    << "postgresql://alice:****@db/team?password=****";
        QTest::addRow("no password") << "postgresql://alice@db:5432/team"
                                     << "postgresql://alice@db:5432/team";
        QTest::addRow("port is no password") << "postgresql://db:5432/team"
                                             << "postgresql://db:5432/team";
        QTest::addRow("@ in the query is no user")
            << "postgresql://db:5432/team?application_name=a:b@c"
            << "postgresql://db:5432/team?application_name=a:b@c";
        QTest::addRow("a key that only begins alike") << "postgresql://db/team?passwordless=1"
                                                      << "postgresql://db/team?passwordless=1";
        QTest::addRow("file with colon and at") << "/srv/a:s3cret@b/team.mdb"
                                                << "/srv/a:s3cret@b/team.mdb";
    }
    void passwordsAreMasked() {
        QFETCH(QString, dataSource);
        QFETCH(QString, shown);
        QCOMPARE(MaskedDataSource(dataSource), shown);
        if (IsServerDataSource(dataSource))
            QVERIFY(!MaskedDataSource(dataSource).contains("s3cret"));
        // Masking what is masked already changes nothing.
        QCOMPARE(MaskedDataSource(shown), shown);
    }

    void messagesQuotingTheUriAreMasked() {
        const QString uri = QStringLiteral("postgresql://alice:s3cret@db/team?password=s3cret");
        const QString masked = MaskedDataSource(uri);
        QCOMPARE(MaskedInText(QStringLiteral("Open database %1 failed").arg(uri), uri),
                 QStringLiteral("Open database %1 failed").arg(masked));
        QCOMPARE(MaskedInText(QStringLiteral("%1 and %1").arg(uri), uri),
                 QStringLiteral("%1 and %1").arg(masked));
        QCOMPARE(MaskedInText(QStringLiteral("connection refused"), uri),
                 QStringLiteral("connection refused"));
        // A file's path is shown as it is.
        const QString file = QStringLiteral("/srv/team.mdb");
        QCOMPARE(MaskedInText(QStringLiteral("Open database /srv/team.mdb failed"), file),
                 QStringLiteral("Open database /srv/team.mdb failed"));
        QCOMPARE(MaskedInText(QString(), uri), QString());
    }
};

} // namespace tarnwick::test

QTEST_APPLESS_MAIN(tarnwick::test::ServerDataSourceTest)
#include "ServerDataSourceTest.moc"
