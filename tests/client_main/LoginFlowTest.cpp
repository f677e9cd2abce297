// The Login command through the main window: what a finished or cancelled wizard leaves behind.
#include <QAbstractButton>
#include <QSignalSpy>
#include <QTest>

#include "client/filters/FilterList.h"
#include "client/list/BugListView.h"
#include "client/login/LoginPage.h"
#include "client/login/LoginWizard.h"
#include "client/main/InfoBar.h"
#include "client/main/MainActions.h"
#include "client/main/SessionCommands.h"
#include "tests/client_main/MainWindowFixture.h"

namespace tarnwick::test {

class LoginFlowTest : public QObject {
    Q_OBJECT
    ClientTestEnvironment environment_;
    std::unique_ptr<MainWindowFixture> fixture_;

    // Starts the Login command and logs login in on page 1.
    LoginWizard* loginOnFirstPage(const QString& login, const QString& password) {
        fixture_->window->actions().login->trigger();
        auto* wizard = fixture_->window->findChild<LoginWizard*>();
        if (!wizard) return nullptr;
        wizard->setField(LoginPage::kLoginNameField, login);
        wizard->setField(LoginPage::kPasswordField, password);
        wizard->next();
        return wizard;
    }
    LONG userID(const QString& login) const {
        const auto session = fixture_->openSession(login, login + QStringLiteral("-demo"));
        return Long(session.Get(), &IExeContext::get_CurUserID);
    }

  private slots:
    void init() { fixture_ = std::make_unique<MainWindowFixture>(environment_); }
    void cleanup() {
        fixture_->stop();
        fixture_.reset();
    }

    void finishingInVersionModeOpensTheListsOfTheVersion() {
        fixture_->writeConfig(true);
        fixture_->start();
        LoginWizard* wizard =
            loginOnFirstPage(QStringLiteral("mhart"), QStringLiteral("mhart-demo"));
        QVERIFY(wizard);
        QCOMPARE(wizard->currentId(), int(LoginWizard::SelectionPageId));
        QSignalSpy finished(fixture_->window.get(), &MainWindow::loginFinished);
        wizard->button(QWizard::FinishButton)->click();
        QVERIFY(finished.count() == 1 || finished.wait(5000));
        QVERIFY2(fixture_->messages.texts.isEmpty(),
                 qPrintable(fixture_->messages.texts.join('|')));
        QCOMPARE(fixture_->window->infoBar()->shownUser(), QStringLiteral("Maya Hart"));
        QVERIFY(fixture_->window->infoBar()->shownProduct().endsWith(QLatin1Char(')')));
        QVERIFY(fixture_->window->bugList()->GetBugSet());
        QCOMPARE(fixture_->window->filters().Count(), 4);
        QVERIFY(fixture_->window->actions().reportBug->isEnabled());
    }

    void cancellingTheFirstLoginOfTheRunLeavesNobodyLoggedIn() {
        fixture_->writeConfig(true);
        fixture_->start();
        LoginWizard* wizard =
            loginOnFirstPage(QStringLiteral("mhart"), QStringLiteral("mhart-demo"));
        QVERIFY(wizard && wizard->loggedIn());
        QVERIFY(fixture_->currentUserID() != 0);
        wizard->reject();
        QTRY_COMPARE(fixture_->window->infoBar()->shownUser(), QStringLiteral("None"));
        QCOMPARE(fixture_->currentUserID(), 0);
        QVERIFY(fixture_->window->sessionCommands().databaseOpen());
        QVERIFY(!fixture_->window->bugList()->GetBugSet());
        QVERIFY(!fixture_->window->actions().systemInformation->isEnabled());
    }

    void cancellingAfterLoginPutsThePreviousUserBack() {
        fixture_->writeConfig(true, QStringLiteral("mhart"), QStringLiteral("mhart-demo"),
                              QStringLiteral("Harbor Ledger/2.1"));
        fixture_->start();
        LoginWizard* wizard =
            loginOnFirstPage(QStringLiteral("lchen"), QStringLiteral("lchen-demo"));
        QVERIFY(wizard && wizard->loggedIn());
        QCOMPARE(fixture_->currentUserID(), userID(QStringLiteral("lchen")));
        wizard->reject();
        QTRY_COMPARE(fixture_->window->infoBar()->shownUser(), QStringLiteral("None"));
        QCOMPARE(fixture_->currentUserID(), userID(QStringLiteral("mhart")));
        QCOMPARE(fixture_->window->infoBar()->shownRole(), QString());
        QCOMPARE(fixture_->window->infoBar()->shownProduct(), QStringLiteral("Select Product"));
    }

    void cancellingBeforeAnyLoginChangesNothing() {
        fixture_->writeConfig(true, QStringLiteral("mhart"), QStringLiteral("mhart-demo"),
                              QStringLiteral("Harbor Ledger/2.1"));
        fixture_->start();
        const QString product = fixture_->window->infoBar()->shownProduct();
        fixture_->window->actions().login->trigger();
        auto* wizard = fixture_->window->findChild<LoginWizard*>();
        QVERIFY(wizard);
        wizard->reject();
        QTest::qWait(50);
        QCOMPARE(fixture_->window->infoBar()->shownUser(), QStringLiteral("Maya Hart"));
        QCOMPARE(fixture_->window->infoBar()->shownProduct(), product);
        QVERIFY(fixture_->window->bugList()->GetBugSet());
    }

    void aWrongPasswordKeepsTheFirstPage() {
        fixture_->writeConfig(true);
        fixture_->start();
        LoginWizard* wizard = loginOnFirstPage(QStringLiteral("mhart"), QStringLiteral("nope"));
        QVERIFY(wizard);
        QCOMPARE(wizard->currentId(), int(LoginWizard::LoginPageId));
        QCOMPARE(fixture_->messages.texts.size(), 1);
        wizard->reject();
        QTest::qWait(50);
        QCOMPARE(fixture_->window->infoBar()->shownUser(), QString());
    }
};

} // namespace tarnwick::test

QTEST_MAIN(tarnwick::test::LoginFlowTest)
#include "LoginFlowTest.moc"
