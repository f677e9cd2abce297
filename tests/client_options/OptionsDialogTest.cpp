// The Options dialog driven as a user drives it, against demo databases and a Bug.cfg of its
// own: what opening shows, the enabling chain, the lists filled on a session of their own, Test,
// the Format menu, and what OK writes into the file.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include <memory>

#include "client/adapter/EngineCall.h"
#include "client/config/ClientConfig.h"
#include "client/options/OptionsDialog.h"
#include "client/options/OptionsGeneralPage.h"
#include "client/options/OptionsOtherPage.h"
#include "client/widgets/MessageSink.h"
#include "tests/client_support/ClientTestEnvironment.h"

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

const QString kSucceeded = QStringLiteral("Test succeeded!");
const QString kFailed = QStringLiteral("Test Failed!");
const QString kBadLogin = QStringLiteral("User Name or password is incorrect!");

QStringList Names(const QListWidget* list) {
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

QStringList Selected(const QListWidget* list) {
    QStringList names;
    for (const QListWidgetItem* item : list->selectedItems())
        names << item->text();
    return names;
}

void Choose(QListWidget* list, const QString& name) {
    const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(name));
    list->setCurrentItem(found.first());
}

ComPtr<IExeContext> LoggedIn(const QString& path, const QString& login, const QString& password) {
    auto session = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
    Check(session->OpenAccessDB(ToBstr(path).Get()));
    Check(session->Login(ToBstr(login).Get(), ToBstr(password).Get()));
    return session;
}

} // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT
  private:
    ClientTestEnvironment environment_;
    QString demo_;
    QString empty_;
    QString configPath_;
    // mhart's roles by name and the demo versions as "Product/Version", with their IDs.
    QHash<QString, LONG> roleIDs_;
    QHash<QString, LONG> versionIDs_;
    RecordingMessageSink messages_;
    ClientConfig config_;
    std::unique_ptr<OptionsDialog> dialog_;

    // mhart's automatic login into the demo database, every box on, no default yet.
    ClientConfig Mhart() const {
        ClientConfig config;
        config.UseDefaultDatabase = 1;
        config.DatabasePath = demo_;
        config.UseDefaultLogin = 1;
        config.LoginName = QStringLiteral("mhart");
        config.Password = QStringLiteral("mhart-demo");
        config.SavePassword = 1;
        config.UseDefaultRoleOrProduct = 1;
        config.DateFormat = QStringLiteral("%d,%b,%Y");
        return config;
    }
    void Store(const ClientConfig& config) { QCOMPARE(config.Save(configPath_), QString()); }
    ClientConfig Saved() const {
        ClientConfig saved;
        const QString error = saved.Load(configPath_);
        if (!error.isEmpty()) qWarning("%s", qPrintable(error));
        return saved;
    }
    // A new dialog over a fresh record, opened as the Options command opens it.
    OptionsDialog& Open(const QString& configPath = QString()) {
        dialog_.reset();
        config_ = ClientConfig();
        dialog_ = std::make_unique<OptionsDialog>(
            config_, configPath.isEmpty() ? configPath_ : configPath, messages_);
        dialog_->open();
        return *dialog_;
    }
    OptionsGeneralPage& General() { return *dialog_->generalPage(); }
    OptionsOtherPage& Other() { return *dialog_->otherPage(); }
    void Ok() { dialog_->buttons()->button(QDialogButtonBox::Ok)->click(); }
    void Test() {
        messages_.texts.clear();
        General().testButton()->click();
    }

  private slots:
    void initTestCase() {
        demo_ = environment_.DemoDatabase(QStringLiteral("demo.mdb"), 20);
        empty_ = environment_.NewDatabase(QStringLiteral("empty.mdb"));
        configPath_ = environment_.File(QStringLiteral("Bug.cfg"));
        const ComPtr<IExeContext> session =
            LoggedIn(demo_, QStringLiteral("mhart"), QStringLiteral("mhart-demo"));
        const ComPtr<IUser> user = Object(session.Get(), &IExeContext::get_CurUser);
        const ComPtr<IRoleSet> roles = Object(user.Get(), &IUser::get_RoleSet);
        for (LONG i = 0; i < Long(roles.Get(), &IRoleSet::get_Count); ++i) {
            const ComPtr<IRole> role = Item(roles.Get(), &IRoleSet::get_Item, i);
            roleIDs_.insert(Text(role.Get(), &IRole::get_Name), Long(role.Get(), &IRole::get_ID));
        }
        const ComPtr<IProductSet> products = Object(session.Get(), &IExeContext::get_ProductSet);
        for (LONG i = 0; i < Long(products.Get(), &IProductSet::get_Count); ++i) {
            const ComPtr<IProduct> product = Item(products.Get(), &IProductSet::get_Item, i);
            for (LONG v = 0; v < Long(product.Get(), &IProduct::get_VersionCount); ++v) {
                const ComPtr<IVersion> version = Item(product.Get(), &IProduct::get_Version, v);
                versionIDs_.insert(Text(product.Get(), &IProduct::get_Name) + '/' +
                                       Text(version.Get(), &IVersion::get_Name),
                                   Long(version.Get(), &IVersion::get_ID));
            }
        }
        session->Close();
        QCOMPARE(roleIDs_.size(), 3);
        QCOMPARE(versionIDs_.size(), 11);
    }

    void cleanup() {
        dialog_.reset();
        messages_.texts.clear();
        QFile::remove(configPath_);
        QVERIFY(!QApplication::overrideCursor());
    }

    // Opening reads Bug.cfg into the record, whatever the record held before.
    void openingShowsWhatBugCfgHolds() {
        ClientConfig stored = Mhart();
        stored.UseDefaultLogin = 0;
        stored.UseDefaultRoleOrProduct = 0;
        Store(stored);
        OptionsDialog& dialog = Open();
        QVERIFY(messages_.texts.isEmpty());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Options"));
        QCOMPARE(dialog.pages()->tabText(0), QStringLiteral("General"));
        QCOMPARE(dialog.pages()->tabText(1), QStringLiteral("Other"));
        QCOMPARE(config_.LoginName, QStringLiteral("mhart"));
        QVERIFY(General().defaultDatabase()->isChecked());
        QCOMPARE(General().databasePath()->text(), demo_);
        QVERIFY(!General().defaultLogin()->isChecked());
        QCOMPARE(General().loginName()->text(), QStringLiteral("mhart"));
        QCOMPARE(General().password()->text(), QStringLiteral("mhart-demo"));
        QVERIFY(!General().defaultRoleOrProduct()->isChecked());
        QVERIFY(General().productMode()->isChecked());
        QCOMPARE(General().productList()->count(), 0);
        QCOMPARE(Other().formatEdit()->text(), QStringLiteral("dd,m,yyyy"));
    }

    void controlsCarryTheirCaptions() {
        Open();
        const QList<QPair<QAbstractButton*, QString>> buttons = {
            {General().defaultDatabase(), "Default &Database "},
            {General().browseButton(), "&Browse..."},
            {General().defaultLogin(), "Use Default &Login Name"},
            {General().savePassword(), "&Save Password"},
            {General().defaultRoleOrProduct(), "Default Role or P&roduct"},
            {General().roleMode(), "&Role"},
            {General().productMode(), "&Product"},
            {General().testButton(), "&Test"},
            {Other().formatButton(), "&Format"},
        };
        for (const auto& [button, caption] : buttons) {
            QCOMPARE(button->text(), caption);
            QCOMPARE(button->accessibleName(), QString(caption).remove('&'));
        }
        QCOMPARE(General().databasePath()->accessibleName(),
                 QStringLiteral("Enter Access database file name below"));
        QCOMPARE(General().loginName()->accessibleName(), QStringLiteral("Login Name:"));
        QCOMPARE(General().password()->accessibleName(), QStringLiteral("Password:"));
        QCOMPARE(Other().formatEdit()->accessibleName(), QStringLiteral("Set the Format of Date"));
        QCOMPARE(General().password()->echoMode(), QLineEdit::Password);
        QCOMPARE(General().password()->maxLength(), 64);
        // Passwords are always saved; the box is never shown.
        QVERIFY(General().savePassword()->isChecked());
        QVERIFY(General().savePassword()->isHidden());
        for (QListWidget* list :
             {General().roleList(), General().productList(), General().versionList()})
            QVERIFY(!list->accessibleName().isEmpty());
    }

    void enablingChain_data() {
        QTest::addColumn<bool>("database");
        QTest::addColumn<bool>("login");
        QTest::addColumn<bool>("choice");
        QTest::addColumn<bool>("roleMode");
        for (int bits = 0; bits < 16; ++bits) {
            const bool database = bits & 1, login = bits & 2, choice = bits & 4, role = bits & 8;
            QTest::addRow("database %d login %d choice %d %s", database, login, choice,
                          role ? "role" : "product")
                << database << login << choice << role;
        }
    }
    void enablingChain() {
        QFETCH(bool, database);
        QFETCH(bool, login);
        QFETCH(bool, choice);
        QFETCH(bool, roleMode);
        ClientConfig stored = Mhart();
        stored.UseDefaultDatabase = stored.UseDefaultLogin = stored.UseDefaultRoleOrProduct = 0;
        Store(stored);
        Open();
        OptionsGeneralPage& page = General();
        (roleMode ? page.roleMode() : page.productMode())->setChecked(true);
        page.defaultRoleOrProduct()->setChecked(choice);
        page.defaultLogin()->setChecked(login);
        page.defaultDatabase()->setChecked(database);

        const bool loginOn = database && login;
        const bool choiceOn = loginOn && choice;
        QCOMPARE(page.databasePath()->isEnabled(), database);
        QCOMPARE(page.browseButton()->isEnabled(), database);
        QCOMPARE(page.defaultLogin()->isEnabled(), database);
        QCOMPARE(page.loginName()->isEnabled(), loginOn);
        QCOMPARE(page.password()->isEnabled(), loginOn);
        QCOMPARE(page.savePassword()->isEnabled(), loginOn);
        QCOMPARE(page.defaultRoleOrProduct()->isEnabled(), loginOn);
        QCOMPARE(page.roleMode()->isEnabled(), choiceOn);
        QCOMPARE(page.productMode()->isEnabled(), choiceOn);
        QCOMPARE(page.roleList()->isEnabled(), choiceOn && roleMode);
        QCOMPARE(page.productList()->isEnabled(), choiceOn && !roleMode);
        QCOMPARE(page.versionList()->isEnabled(), choiceOn && !roleMode);
        // A disabled box keeps what the user chose.
        QCOMPARE(page.defaultLogin()->isChecked(), login);
        QCOMPARE(page.defaultRoleOrProduct()->isChecked(), choice);
        QVERIFY(page.testButton()->isEnabled());
    }

    // Each toggle re-applies the chain from its box down; the radio buttons switch the lists.
    void chainFollowsEachToggle() {
        Store(Mhart());
        Open();
        OptionsGeneralPage& page = General();
        QVERIFY(page.productList()->isEnabled());
        page.defaultLogin()->setChecked(false);
        QVERIFY(!page.defaultRoleOrProduct()->isEnabled());
        QVERIFY(!page.productList()->isEnabled() && !page.versionList()->isEnabled());
        page.defaultLogin()->setChecked(true);
        QVERIFY(page.productList()->isEnabled() && page.versionList()->isEnabled());
        QVERIFY(!page.roleList()->isEnabled());
        page.roleMode()->click();
        QVERIFY(page.roleList()->isEnabled());
        QVERIFY(!page.productList()->isEnabled() && !page.versionList()->isEnabled());
        page.defaultDatabase()->setChecked(false);
        QVERIFY(!page.roleList()->isEnabled() && !page.roleMode()->isEnabled());
        page.defaultDatabase()->setChecked(true);
        QVERIFY(page.roleList()->isEnabled() && page.roleMode()->isEnabled());
        QVERIFY(messages_.texts.isEmpty());
    }

    // Unchecked boxes disable their settings, but OK still writes what those settings hold.
    void okWritesTheSettingsOfUncheckedBoxes() {
        ClientConfig stored = Mhart();
        stored.DefaultVersionID = versionIDs_.value("Harbor Ledger/2.0");
        Store(stored);
        Open();
        QCOMPARE(Selected(General().versionList()), QStringList{"2.0"});
        General().defaultDatabase()->setChecked(false);
        General().defaultLogin()->setChecked(false);
        General().defaultRoleOrProduct()->setChecked(false);
        Ok();
        QVERIFY(messages_.texts.isEmpty());
        QCOMPARE(dialog_->result(), int(QDialog::Accepted));
        const ClientConfig saved = Saved();
        QCOMPARE(saved.UseDefaultDatabase, 0);
        QCOMPARE(saved.UseDefaultLogin, 0);
        QCOMPARE(saved.UseDefaultRoleOrProduct, 0);
        QCOMPARE(saved.DatabasePath, demo_);
        QCOMPARE(saved.LoginName, QStringLiteral("mhart"));
        QCOMPARE(saved.Password, QStringLiteral("mhart-demo"));
        QCOMPARE(saved.SavePassword, 1);
        QCOMPARE(saved.DefaultVersionID, stored.DefaultVersionID);
        QCOMPARE(saved.DefaultRoleID, 0);
        QCOMPARE(saved.DateFormat, QStringLiteral("%d,%b,%Y"));
        // The record the program goes on with holds the same.
        QCOMPARE(config_.DefaultVersionID, stored.DefaultVersionID);
        QCOMPARE(config_.UseDefaultDatabase, 0);
    }

    void roleModeWithoutARoleStoresNoIdentifiers() {
        ClientConfig stored = Mhart();
        stored.DefaultVersionID = versionIDs_.value("Tidewater Sync/3.1");
        Store(stored);
        Open();
        General().roleMode()->click();
        QVERIFY(General().roleList()->selectedItems().isEmpty());
        Ok();
        const ClientConfig saved = Saved();
        QCOMPARE(saved.DefaultRoleID, 0);
        QCOMPARE(saved.DefaultVersionID, 0);
    }

    void roleModeSelectsAndStoresTheRole() {
        ClientConfig stored = Mhart();
        stored.DefaultRoleID = roleIDs_.value("Beacon Mobile manager");
        stored.DefaultVersionID = 0;
        Store(stored);
        Open();
        QVERIFY(General().roleMode()->isChecked());
        QCOMPARE(Selected(General().roleList()), QStringList{"Beacon Mobile manager"});
        QCOMPARE(Names(General().roleList()).size(), 3);
        Choose(General().roleList(), "Harbor Ledger manager");
        Ok();
        const ClientConfig saved = Saved();
        QCOMPARE(saved.DefaultRoleID, roleIDs_.value("Harbor Ledger manager"));
        QCOMPARE(saved.DefaultVersionID, 0);
    }

    // The product of the stored version is chosen with its versions; another product shows its
    // own versions with none chosen.
    void versionModeSelectsAndStoresTheVersion() {
        ClientConfig stored = Mhart();
        stored.DefaultVersionID = versionIDs_.value("Tidewater Sync/3.2");
        Store(stored);
        Open();
        OptionsGeneralPage& page = General();
        QVERIFY(page.productMode()->isChecked());
        QCOMPARE(Names(page.productList()).size(), 3);
        QCOMPARE(Selected(page.productList()), QStringList{"Tidewater Sync"});
        QCOMPARE(Names(page.versionList()), (QStringList{"3.0", "3.1", "3.2", "3.3"}));
        QCOMPARE(Selected(page.versionList()), QStringList{"3.2"});

        Choose(page.productList(), "Harbor Ledger");
        QCOMPARE(Names(page.versionList()), (QStringList{"1.0", "1.1", "2.0", "2.1"}));
        QVERIFY(page.versionList()->selectedItems().isEmpty());
        Choose(page.versionList(), "1.1");
        Ok();
        QVERIFY(messages_.texts.isEmpty());
        const ClientConfig saved = Saved();
        QCOMPARE(saved.DefaultVersionID, versionIDs_.value("Harbor Ledger/1.1"));
        QCOMPARE(saved.DefaultRoleID, 0);
    }

    // Checking the box fills the lists without a choice, once for the database and user on the
    // page; another database chosen with Browse fills them anew.
    void checkingTheBoxFillsTheListsOnce() {
        ClientConfig stored = Mhart();
        stored.UseDefaultRoleOrProduct = 0;
        stored.LoginName = QStringLiteral("dokafor");
        stored.Password = QStringLiteral("dokafor-demo");
        Store(stored);
        Open();
        OptionsGeneralPage& page = General();
        QCOMPARE(page.roleList()->count(), 0);
        QVERIFY(!page.listsFilled());
        page.defaultRoleOrProduct()->setChecked(true);
        QVERIFY(page.listsFilled());
        QVERIFY(messages_.texts.isEmpty());
        const QStringList roles = Names(page.roleList());
        QCOMPARE(roles.size(), 2);
        QVERIFY(roles.contains("Harbor Ledger developer"));
        QVERIFY(roles.contains("Tidewater Sync developer"));
        QCOMPARE(Names(page.productList()).size(), 2);
        for (QListWidget* list : {page.roleList(), page.productList(), page.versionList()})
            QVERIFY(list->selectedItems().isEmpty());
        // The first product's versions (both of dokafor's have four), ready to choose from.
        QCOMPARE(page.versionList()->count(), 4);

        Choose(page.roleList(), "Tidewater Sync developer");
        page.defaultRoleOrProduct()->setChecked(false);
        page.defaultRoleOrProduct()->setChecked(true);
        QCOMPARE(Selected(page.roleList()), QStringList{"Tidewater Sync developer"});

        page.browseButton()->click();
        QFileDialog* files = page.browseDialog();
        QVERIFY(files);
        QCOMPARE(files->nameFilters(),
                 (QStringList{"Microsoft Access Database (*.mdb)", "All Files (*)"}));
        QCOMPARE(files->fileMode(), QFileDialog::ExistingFile);
        files->selectFile(empty_);
        static_cast<QDialog*>(files)->accept();
        QCOMPARE(page.databasePath()->text(), empty_);
        QVERIFY(!page.listsFilled());
        QTRY_VERIFY(!page.browseDialog());

        // dokafor is not a user of the empty database.
        page.defaultRoleOrProduct()->setChecked(false);
        page.defaultRoleOrProduct()->setChecked(true);
        QCOMPARE(messages_.texts, QStringList{kBadLogin});
        QCOMPARE(page.roleList()->count(), 0);
        QVERIFY(!page.listsFilled());
    }

    // A failed filling shows the engine's message and is tried again the next time.
    void aFailedFillingShowsTheEngineMessage() {
        ClientConfig stored = Mhart();
        stored.Password = QStringLiteral("MHART-demo");
        Store(stored);
        Open();
        QCOMPARE(messages_.texts, QStringList{kBadLogin});
        QCOMPARE(General().roleList()->count(), 0);
        QVERIFY(!General().listsFilled());
        messages_.texts.clear();
        General().password()->setText(QStringLiteral("mhart-demo"));
        General().defaultRoleOrProduct()->setChecked(false);
        General().defaultRoleOrProduct()->setChecked(true);
        QVERIFY(messages_.texts.isEmpty());
        QCOMPARE(General().roleList()->count(), 3);
    }

    // The dialog never uses the main window's session, and after its own sessions the main
    // session still works on its own database.
    void theMainSessionIsLeftAsItWas() {
        const ComPtr<IExeContext> main =
            LoggedIn(demo_, QStringLiteral("mhart"), QStringLiteral("mhart-demo"));
        const LONG version = versionIDs_.value("Harbor Ledger/2.1");
        QCOMPARE(main->SetActiveProduct(version), S_OK);
        const LONG user = Long(main.Get(), &IExeContext::get_CurUserID);

        ClientConfig stored;
        stored.UseDefaultDatabase = stored.UseDefaultLogin = stored.UseDefaultRoleOrProduct = 1;
        stored.DatabasePath = empty_;
        stored.LoginName = QStringLiteral("Admin");
        Store(stored);

        // Without being told the main database, the dialog's sessions leave the engine's
        // process-wide connection on the file they opened: the main session's own lookups
        // then go to the wrong database.
        Open();
        QVERIFY(General().listsFilled());
        QVERIFY(FAILED(main->Login(ToBstr("mhart").Get(), ToBstr("mhart-demo").Get())));

        dialog_.reset();
        config_ = ClientConfig();
        dialog_ = std::make_unique<OptionsDialog>(config_, configPath_, messages_);
        dialog_->setMainDatabase(demo_);
        dialog_->open();
        QVERIFY(General().listsFilled());
        QCOMPARE(Long(main.Get(), &IExeContext::get_CurUserID), user);
        QCOMPARE(Long(main.Get(), &IExeContext::get_ActiveVersionID), version);
        QCOMPARE(main->Login(ToBstr("mhart").Get(), ToBstr("mhart-demo").Get()), S_OK);
        Test();
        QCOMPARE(main->Login(ToBstr("mhart").Get(), ToBstr("mhart-demo").Get()), S_OK);
        // Also when the dialog's session fails after opening its database.
        General().password()->setText(QStringLiteral("wrong"));
        Test();
        QCOMPARE(messages_.texts, QStringList{kFailed});
        QCOMPARE(main->Login(ToBstr("mhart").Get(), ToBstr("mhart-demo").Get()), S_OK);
        QCOMPARE(main->SetActiveProduct(version), S_OK);
        ComPtr<IBugSet> bugs;
        QCOMPARE(main->OpenBugSet(nullptr, bugs.Put()), S_OK);
        main->Close();
    }

    void testTellsWhetherTheAutomaticLoginWorks() {
        ClientConfig stored = Mhart();
        stored.DefaultRoleID = roleIDs_.value("Harbor Ledger manager");
        Store(stored);
        Open();
        Test();
        QCOMPARE(messages_.texts, QStringList{kSucceeded});

        // Version mode with no version chosen cannot make one active. No stored version: no
        // product is chosen either.
        General().productMode()->click();
        QVERIFY(General().productList()->selectedItems().isEmpty());
        QCOMPARE(General().versionList()->count(), 0);
        Test();
        QCOMPARE(messages_.texts, QStringList{kFailed});
        Choose(General().productList(), "Beacon Mobile");
        Choose(General().versionList(), "1.2");
        Test();
        QCOMPARE(messages_.texts, QStringList{kSucceeded});

        General().password()->setText(QStringLiteral("wrong"));
        Test();
        QCOMPARE(messages_.texts, QStringList{kFailed});
        General().password()->setText(QStringLiteral("mhart-demo"));
        General().databasePath()->setText(environment_.File("missing.mdb"));
        Test();
        QCOMPARE(messages_.texts, QStringList{kFailed});
    }

    // Without a default role or product the start-up only logs in, and so does the test.
    void testWithoutDefaultRoleOnlyLogsIn() {
        ClientConfig stored = Mhart();
        stored.UseDefaultRoleOrProduct = 0;
        Store(stored);
        Open();
        Test();
        QCOMPARE(messages_.texts, QStringList{kSucceeded});
        General().loginName()->setText(QStringLiteral("nobody"));
        Test();
        QCOMPARE(messages_.texts, QStringList{kFailed});
    }

    void formatMenuListsTheNineFormats() {
        Store(Mhart());
        Open();
        const QStringList expected = {
            "dd,m,yyyy  \t21,Jan,2004",
            "dd,M,yyyy  \t21,1,2004",
            "dd,mm,yyyy  \t21,January,2004",
            "dd,m,yyyy  \t21,Jan,2004",
            "m,dd,yyyy  \tJan,21,2004",
            "m,dd  \tJan,21",
            "M,dd  \t1,21",
            "ww - dd,M,yyyy  \tMonday - 21,1,2004",
            "w - dd,M,yyyy  \tMon - 21,1,2004",
        };
        QStringList texts;
        for (const QAction* action : Other().formatMenu()->actions())
            texts << action->text();
        QCOMPARE(texts, expected);

        Other().formatButton()->click();
        QMenu* menu = Other().formatMenu();
        QTRY_VERIFY(menu->isVisible());
        const QPoint under =
            Other().formatButton()->mapToGlobal(QPoint(0, Other().formatButton()->height()));
        QCOMPARE(menu->geometry().topLeft(), under);
        menu->actions().at(2)->trigger();
        menu->hide();
        QCOMPARE(Other().formatEdit()->text(), QStringLiteral("dd,mm,yyyy"));
        Other().chooseFormat(7);
        QCOMPARE(Other().formatEdit()->text(), QStringLiteral("ww - dd,M,yyyy"));
        Ok();
        QCOMPARE(Saved().DateFormat, QStringLiteral("%A - %d,%m,%Y"));
    }

    // A stored code without a user code, shown and saved again unchanged.
    void dateFormatKeepsCodesItCannotShow() {
        ClientConfig stored = Mhart();
        stored.DateFormat = QStringLiteral("%d.%m.%Y %H:%M");
        Store(stored);
        Open();
        QCOMPARE(Other().formatEdit()->text(), QStringLiteral("dd.M.yyyy %H:%M"));
        Ok();
        QCOMPARE(Saved().DateFormat, stored.DateFormat);
        Open();
        Other().formatEdit()->clear();
        Ok();
        QCOMPARE(Saved().DateFormat, QString());
    }

    // A Bug.cfg that cannot be read or written: the file error is shown, the record still
    // holds what the dialog set.
    void bugCfgThatCannotBeWrittenShowsTheError() {
        const QString unwritable = environment_.File("no-such-folder/Bug.cfg");
        Open(unwritable);
        QCOMPARE(messages_.texts.size(), 1);
        QVERIFY(messages_.texts.first().contains("no-such-folder"));
        General().databasePath()->setText(demo_);
        Ok();
        QCOMPARE(messages_.texts.size(), 2);
        QVERIFY(!messages_.texts.last().isEmpty());
        QVERIFY(!QFile::exists(unwritable));
        QCOMPARE(dialog_->result(), int(QDialog::Accepted));
        QCOMPARE(config_.DatabasePath, demo_);
    }

    void passwordTooLongToSaveIsShown() {
        Store(Mhart());
        Open();
        messages_.texts.clear();
        // 64 characters fit the edit, but not the 64-byte block.
        General().password()->setText(QString(64, QChar(0x00E9)));
        QCOMPARE(General().password()->text().size(), 64);
        Ok();
        QCOMPARE(messages_.texts, QStringList{QString::fromUtf8(kPasswordTooLongToSave)});
        QCOMPARE(Saved().Password, QStringLiteral("mhart-demo"));
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "OptionsDialogTest.moc"
