// The login wizard driven as a user drives it, against a demo database: the login page's
// failure and success, the lists of the selection page, and each way of finishing it.
#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QtTest>

#include "client/login/LoginPage.h"
#include "client/login/LoginWizard.h"
#include "client/login/SelectionPage.h"
#include "client/widgets/MessageSink.h"
#include "tests/client_login/LoginTestSession.h"
#include "tests/client_support/ClientTestEnvironment.h"

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

const QString kNothingChosen = QStringLiteral("Please select current production or current role!");
const QString kBadVersion = QStringLiteral("Please select current version please!");
const QString kBadLogin = QStringLiteral("User Name or password is incorrect!");

// The versions of each demo product, in their stored order.
const QMap<QString, QStringList> kDemoVersions = {
    {QStringLiteral("Harbor Ledger"), {"1.0", "1.1", "2.0", "2.1"}},
    {QStringLiteral("Tidewater Sync"), {"3.0", "3.1", "3.2", "3.3"}},
    {QStringLiteral("Beacon Mobile"), {"1.0", "1.1", "1.2"}},
};

QStringList Names(const QListWidget* list) {
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

LONG SelectedData(const QListWidget* list) {
    return static_cast<LONG>(list->selectedItems().value(0)->data(Qt::UserRole).toInt());
}

LONG SessionLong(IExeContext* session, HRESULT (STDMETHODCALLTYPE IExeContext::*getter)(LONG*)) {
    LONG value = -1;
    if (FAILED((session->*getter)(&value))) return -1;
    return value;
}

} // namespace

class LoginWizardTest : public QObject {
    Q_OBJECT
  private:
    ClientTestEnvironment environment_;
    QString demo_;
    QString productless_;
    ComPtr<IExeContext> session_;
    RecordingMessageSink messages_;
    std::unique_ptr<LoginWizard> wizard_;

    // A new wizard on a fresh session of the database, shown on its first page.
    LoginWizard& Start(const QString& path) {
        wizard_.reset();
        if (session_) session_->Close();
        session_ = OpenSession(path);
        wizard_ = std::make_unique<LoginWizard>(session_.Get(), messages_);
        wizard_->open();
        return *wizard_;
    }
    // Enters the name and password and presses Next.
    void Login(const QString& name, const QString& password) {
        wizard_->setField(LoginPage::kLoginNameField, name);
        wizard_->setField(LoginPage::kPasswordField, password);
        wizard_->next();
    }
    void Finish() { wizard_->button(QWizard::FinishButton)->click(); }
    SelectionPage& Page2() { return *wizard_->selectionPage(); }

  private slots:
    void initTestCase() {
        demo_ = environment_.DemoDatabase(QStringLiteral("demo.mdb"), 20);
        productless_ = environment_.NewDatabase(QStringLiteral("productless.mdb"));
        AddUserWithProductlessRole(productless_, QStringLiteral("nomad"), QStringLiteral("roam"),
                                   QStringLiteral("Floater"));
    }

    void cleanup() {
        wizard_.reset();
        if (session_) session_->Close();
        session_.Reset();
        messages_.texts.clear();
    }

    void loginPageStartsWithOnlyNext() {
        LoginWizard& wizard = Start(demo_);
        QCOMPARE(wizard.currentId(), int(LoginWizard::LoginPageId));
        QCOMPARE(wizard.windowTitle(), QStringLiteral("Login"));
        QVERIFY(wizard.button(QWizard::NextButton)->isEnabled());
        QVERIFY(!wizard.button(QWizard::BackButton)->isEnabled());
        QVERIFY(!wizard.button(QWizard::FinishButton)->isVisible());
        QCOMPARE(wizard.button(QWizard::NextButton)->text().remove('&'), QStringLiteral("Next >"));
        for (QLineEdit* edit : wizard.loginPage()->findChildren<QLineEdit*>()) {
            if (edit->accessibleName() == QStringLiteral("Password")) {
                QCOMPARE(edit->echoMode(), QLineEdit::Password);
                QCOMPARE(edit->maxLength(), 64);
            } else {
                QCOMPARE(edit->accessibleName(), QStringLiteral("Login Name"));
                QCOMPARE(edit->maxLength(), 255);
            }
        }
    }

    void wrongPasswordShowsTheEngineMessageAndStays() {
        LoginWizard& wizard = Start(demo_);
        Login(QStringLiteral("mhart"), QStringLiteral("MHART-demo"));
        QCOMPARE(messages_.texts, QStringList{kBadLogin});
        QCOMPARE(wizard.currentId(), int(LoginWizard::LoginPageId));
        QVERIFY(!wizard.loggedIn());
        QCOMPARE(SessionLong(session_.Get(), &IExeContext::get_CurUserID), 0);

        Login(QStringLiteral("mhart"), QStringLiteral("mhart-demo"));
        QCOMPARE(messages_.texts.size(), 1);
        QCOMPARE(wizard.currentId(), int(LoginWizard::SelectionPageId));
        QVERIFY(wizard.loggedIn());
    }

    void cancelAfterLoginStillReportsTheLogin() {
        LoginWizard& wizard = Start(demo_);
        Login(QStringLiteral("lchen"), QStringLiteral("lchen-demo"));
        QVERIFY(wizard.loggedIn());
        wizard.reject();
        QCOMPARE(wizard.result(), int(QDialog::Rejected));
        QVERIFY(wizard.loggedIn());

        LoginWizard& second = Start(demo_);
        second.reject();
        QVERIFY(!second.loggedIn());
    }

    void selectionPageStartsInVersionMode() {
        LoginWizard& wizard = Start(demo_);
        Login(QStringLiteral("mhart"), QStringLiteral("mhart-demo"));
        QCOMPARE(wizard.windowTitle(), QStringLiteral("Select"));
        QVERIFY(wizard.button(QWizard::BackButton)->isEnabled());
        QVERIFY(wizard.button(QWizard::FinishButton)->isEnabled());
        QVERIFY(wizard.button(QWizard::FinishButton)->isVisible());
        QVERIFY(Page2().versionMode());
        QVERIFY(Page2().productList()->isVisible());
        QVERIFY(Page2().versionList()->isVisible());
        QVERIFY(!Page2().roleList()->isVisible());
        QVERIFY(!Page2().keepAsDefault()->isVisible());

        Page2().setVersionMode(false);
        QVERIFY(!Page2().productList()->isVisible());
        QVERIFY(!Page2().versionList()->isVisible());
        QVERIFY(Page2().roleList()->isVisible());
        Page2().setVersionMode(true);
        QVERIFY(Page2().productList()->isVisible());
        QVERIFY(!Page2().roleList()->isVisible());
    }

    // Each role's product is listed in the order of the roles, and only the first product's
    // versions are shown; the first entry of every list is selected.
    void listsFollowTheUsersRoles() {
        Start(demo_);
        Login(QStringLiteral("jbrennan"), QStringLiteral("jbrennan-demo"));
        const QStringList roles = Names(Page2().roleList());
        const QStringList products = Names(Page2().productList());
        QCOMPARE(roles.size(), 2);
        QCOMPARE(products.size(), 2);
        for (int i = 0; i < roles.size(); ++i)
            QCOMPARE(roles[i], products[i] + QStringLiteral(" tester"));
        QCOMPARE(Names(Page2().versionList()), kDemoVersions.value(products.first()));
        for (const QListWidget* list :
             {Page2().roleList(), Page2().productList(), Page2().versionList()})
            QCOMPARE(list->selectedItems().value(0), list->item(0));
    }

    void versionModeActivatesTheChosenVersion() {
        LoginWizard& wizard = Start(demo_);
        Login(QStringLiteral("mhart"), QStringLiteral("mhart-demo"));
        QListWidget* products = Page2().productList();
        QListWidget* versions = Page2().versionList();
        QCOMPARE(products->count(), 3);

        // Another product shows its own versions, none chosen yet.
        products->setCurrentRow(1);
        QCOMPARE(Names(versions), kDemoVersions.value(products->item(1)->text()));
        QVERIFY(versions->selectedItems().isEmpty());
        Finish();
        QCOMPARE(messages_.texts, QStringList{kNothingChosen});
        QCOMPARE(wizard.currentId(), int(LoginWizard::SelectionPageId));
        QVERIFY(wizard.isVisible());

        versions->setCurrentRow(2);
        const LONG versionID = SelectedData(versions);
        Finish();
        QCOMPARE(messages_.texts.size(), 1);
        QCOMPARE(wizard.result(), int(QDialog::Accepted));
        QVERIFY(!wizard.isVisible());
        QCOMPARE(SessionLong(session_.Get(), &IExeContext::get_ActiveVersionID), versionID);
        ComPtr<IVersion> active;
        QVERIFY(SUCCEEDED(session_->get_ActiveVersion(active.Put())));
        QCOMPARE(Text(active.Get(), &IVersion::get_Name), versions->item(2)->text());
        QVERIFY(wizard.endedInVersionMode());
        QVERIFY(wizard.loggedIn());
    }

    void roleModeMakesTheChosenRoleCurrent() {
        LoginWizard& wizard = Start(demo_);
        Login(QStringLiteral("dokafor"), QStringLiteral("dokafor-demo"));
        Page2().setVersionMode(false);
        Page2().roleList()->setCurrentRow(1);
        const LONG roleID = SelectedData(Page2().roleList());
        Finish();
        QVERIFY(messages_.texts.isEmpty());
        QCOMPARE(wizard.result(), int(QDialog::Accepted));
        QCOMPARE(SessionLong(session_.Get(), &IExeContext::get_CurRoleID), roleID);
        QCOMPARE(SessionLong(session_.Get(), &IExeContext::get_ActiveVersionID), 0);
        QVERIFY(!wizard.endedInVersionMode());
    }

    void engineRefusalKeepsTheSelectionPage() {
        LoginWizard& wizard = Start(demo_);
        Login(QStringLiteral("dokafor"), QStringLiteral("dokafor-demo"));
        Page2().setVersionMode(false);
        Page2().roleList()->item(0)->setData(Qt::UserRole, 987654);
        Finish();
        QCOMPARE(messages_.texts, QStringList{QStringLiteral("Set Current Role Failed")});
        QCOMPARE(wizard.currentId(), int(LoginWizard::SelectionPageId));
        QVERIFY(wizard.isVisible());
        QCOMPARE(SessionLong(session_.Get(), &IExeContext::get_CurRoleID), 0);
    }

    void negativeVersionIsRefused() {
        LoginWizard& wizard = Start(demo_);
        Login(QStringLiteral("mhart"), QStringLiteral("mhart-demo"));
        Page2().versionList()->item(0)->setData(Qt::UserRole, -4);
        Finish();
        QCOMPARE(messages_.texts, QStringList{kBadVersion});
        QCOMPARE(wizard.currentId(), int(LoginWizard::SelectionPageId));
    }

    void administratorFinishesWithoutChoosing() {
        LoginWizard& wizard = Start(demo_);
        Login(QStringLiteral("Admin"), QString());
        QCOMPARE(wizard.currentId(), int(LoginWizard::SelectionPageId));
        for (QListWidget* list : {Page2().roleList(), Page2().productList(), Page2().versionList()})
            list->clearSelection();
        Finish();
        QVERIFY(messages_.texts.isEmpty());
        QCOMPARE(wizard.result(), int(QDialog::Accepted));
        QCOMPARE(SessionLong(session_.Get(), &IExeContext::get_CurRoleID), 0);
        QCOMPARE(SessionLong(session_.Get(), &IExeContext::get_ActiveVersionID), 0);
    }

    // The session grants no administrator standing to "admin"; nor does the wizard.
    void administratorNameInOtherCaseMustChoose() {
        LoginWizard& wizard = Start(demo_);
        Login(QStringLiteral("admin"), QString());
        QCOMPARE(wizard.currentId(), int(LoginWizard::SelectionPageId));
        Page2().versionList()->clearSelection();
        Finish();
        QCOMPARE(messages_.texts, QStringList{kNothingChosen});
        QVERIFY(wizard.isVisible());

        Page2().setVersionMode(false);
        Page2().roleList()->clearSelection();
        Finish();
        QCOMPARE(messages_.texts, (QStringList{kNothingChosen, kNothingChosen}));
        QVERIFY(wizard.isVisible());
    }

    void userWithoutProductsCanOnlyChooseARole() {
        LoginWizard& wizard = Start(productless_);
        Login(QStringLiteral("nomad"), QStringLiteral("roam"));
        QCOMPARE(Names(Page2().roleList()), QStringList{QStringLiteral("Floater")});
        QCOMPARE(Page2().productList()->count(), 0);
        QCOMPARE(Page2().versionList()->count(), 0);
        Finish();
        QCOMPARE(messages_.texts, QStringList{kNothingChosen});
        QCOMPARE(wizard.currentId(), int(LoginWizard::SelectionPageId));

        Page2().setVersionMode(false);
        Finish();
        QCOMPARE(messages_.texts, QStringList{kNothingChosen});
        QCOMPARE(wizard.result(), int(QDialog::Accepted));
        QVERIFY(!wizard.endedInVersionMode());
    }

    // Going back and logging in again refills the lists for the new user.
    void backAndAnotherUserRefillsTheLists() {
        LoginWizard& wizard = Start(demo_);
        Login(QStringLiteral("mhart"), QStringLiteral("mhart-demo"));
        QCOMPARE(Page2().roleList()->count(), 3);
        wizard.back();
        QCOMPARE(wizard.currentId(), int(LoginWizard::LoginPageId));
        Login(QStringLiteral("lchen"), QStringLiteral("lchen-demo"));
        QCOMPARE(Page2().roleList()->count(), 2);
        QCOMPARE(Page2().productList()->count(), 2);
        QCOMPARE(Names(Page2().versionList()),
                 kDemoVersions.value(Page2().productList()->item(0)->text()));
    }
};

QTEST_MAIN(LoginWizardTest)
#include "LoginWizardTest.moc"
