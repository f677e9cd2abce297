// Start-up: Bug.cfg read by the window, and the automatic login with its three flags.
#include <QTest>

#include "client/filters/FilterList.h"
#include "client/list/BugListView.h"
#include "client/main/InfoBar.h"
#include "client/main/MainActions.h"
#include "client/main/SessionCommands.h"
#include "tests/client_main/MainWindowFixture.h"

namespace tarnwick::test {

class StartupTest : public QObject {
    Q_OBJECT
    ClientTestEnvironment environment_;
    std::unique_ptr<MainWindowFixture> fixture_;

  private slots:
    void init() { fixture_ = std::make_unique<MainWindowFixture>(environment_); }
    void cleanup() {
        fixture_->stop();
        fixture_.reset();
    }

    void firstStartWithoutConfigShowsTheFileErrorOnceAndOpensNothing() {
        MainWindow& window = fixture_->start();
        QCOMPARE(fixture_->messages.texts.size(), 1);
        QVERIFY(!fixture_->messages.texts[0].isEmpty());
        QVERIFY(!window.sessionCommands().databaseOpen());
        QVERIFY(!window.actions().login->isEnabled());
        QVERIFY(window.actions().open->isEnabled());
        QVERIFY(!window.actions().refresh->isEnabled());
        QCOMPARE(window.infoBar()->shownProduct(), QStringLiteral("Select Product"));
    }

    void databaseAloneOpensWithNobodyLoggedIn() {
        fixture_->writeConfig(true);
        MainWindow& window = fixture_->start();
        QVERIFY(fixture_->messages.texts.isEmpty());
        QVERIFY(window.sessionCommands().databaseOpen());
        QCOMPARE(fixture_->currentUserID(), 0);
        QVERIFY(window.actions().login->isEnabled());
        QVERIFY(!window.actions().systemInformation->isEnabled());
        QCOMPARE(window.infoBar()->shownUser(), QString());
        QCOMPARE(window.infoBar()->shownRole(), QString());
    }

    void loginWithoutDefaultRoleOrProductOpensNoList() {
        fixture_->writeConfig(true, QStringLiteral("mhart"), QStringLiteral("mhart-demo"));
        MainWindow& window = fixture_->start();
        QVERIFY2(fixture_->messages.texts.isEmpty(),
                 qPrintable(fixture_->messages.texts.join('|')));
        QVERIFY(fixture_->currentUserID() != 0);
        QCOMPARE(window.infoBar()->shownUser(), QStringLiteral("Maya Hart"));
        QVERIFY(!window.bugList()->GetBugSet());
        QVERIFY(!window.featureList()->GetBugSet());
        QVERIFY(window.actions().systemInformation->isEnabled());
        QVERIFY(!window.actions().reportBug->isEnabled());
    }

    void loginIntoAVersionFillsTheListsTheInfoBarAndTheFilters() {
        fixture_->writeConfig(true, QStringLiteral("mhart"), QStringLiteral("mhart-demo"),
                              QStringLiteral("Harbor Ledger/2.1"));
        MainWindow& window = fixture_->start();
        QVERIFY2(fixture_->messages.texts.isEmpty(),
                 qPrintable(fixture_->messages.texts.join('|')));
        QCOMPARE(window.infoBar()->shownProduct(), QStringLiteral("Harbor Ledger(2.1)"));
        QVERIFY(!window.infoBar()->shownRole().isEmpty());
        QVERIFY(window.bugList()->GetBugSet());
        QVERIFY(window.featureList()->GetBugSet());
        const LONG expected = [&] {
            const auto session =
                fixture_->openSession(QStringLiteral("mhart"), QStringLiteral("mhart-demo"));
            Check(session->SetActiveProduct(
                fixture_->versionID(QStringLiteral("Harbor Ledger/2.1"))));
            ComPtr<IBugSet> bugs;
            Check(session->OpenBugSet(nullptr, bugs.Put()));
            return Long(bugs.Get(), &IBugSet::get_Count);
        }();
        QVERIFY(expected > 0);
        QCOMPARE(window.bugList()->model()->rowCount(), static_cast<int>(expected));
        QCOMPARE(window.filters().Count(), 4);
        QCOMPARE(window.filters().PredefinedCount(), 4);
        QVERIFY(window.actions().refresh->isEnabled());
        QVERIFY(window.actions().selectFilter->isEnabled());
    }

    void loginIntoARoleLeavesTheProductEmpty() {
        fixture_->writeConfig(true, QStringLiteral("mhart"), QStringLiteral("mhart-demo"), {},
                              QStringLiteral("Harbor Ledger manager"));
        MainWindow& window = fixture_->start();
        QVERIFY2(fixture_->messages.texts.isEmpty(),
                 qPrintable(fixture_->messages.texts.join('|')));
        QCOMPARE(window.infoBar()->shownProduct(), QStringLiteral("Select Product"));
        QCOMPARE(window.infoBar()->shownRole(), QStringLiteral("Harbor Ledger manager"));
        QCOMPARE(window.filters().Count(), 0);
    }

    void aRefusedLoginShowsTheEnginesMessageAndStops() {
        fixture_->writeConfig(true, QStringLiteral("mhart"), QStringLiteral("wrong"),
                              QStringLiteral("Harbor Ledger/2.1"));
        MainWindow& window = fixture_->start();
        QCOMPARE(fixture_->messages.texts.size(), 1);
        QCOMPARE(fixture_->currentUserID(), 0);
        QVERIFY(!window.bugList()->GetBugSet());
    }

    void aMissingDatabaseShowsTheEnginesMessage() {
        fixture_->writeConfig(true);
        QFile::rename(fixture_->database(), fixture_->database() + QStringLiteral(".away"));
        MainWindow& window = fixture_->start();
        QFile::rename(fixture_->database() + QStringLiteral(".away"), fixture_->database());
        QCOMPARE(fixture_->messages.texts.size(), 1);
        QVERIFY(!window.sessionCommands().databaseOpen());
        QVERIFY(!window.actions().login->isEnabled());
    }
};

} // namespace tarnwick::test

QTEST_MAIN(tarnwick::test::StartupTest)
#include "StartupTest.moc"
