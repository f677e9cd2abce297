// The small dialogs of the main window against real databases: the system information
// round trip through the engine, the password check, and choosing the active product version.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QtTest>

#include "client/dialogs/ChangePasswordDialog.h"
#include "client/dialogs/SelectProductDialog.h"
#include "client/dialogs/SystemInfoDialog.h"
#include "client/dialogs/SystemInfoForm.h"
#include "client/widgets/MessageSink.h"
#include "tests/client_login/LoginTestSession.h"
#include "tests/client_support/ClientTestEnvironment.h"

using namespace tarnwick;
using namespace tarnwick::test;
using Field = SystemInfoForm::Field;

namespace {

const QList<Field> kFields = {Field::CPU,       Field::Memory,         Field::HardDisk,
                              Field::OS,        Field::OSBuild,        Field::ServicePack,
                              Field::IEVersion, Field::NetEnvironment, Field::Note};

// One text per field, some taken from the drop-down lists and some typed in.
QMap<Field, QString> SampleTexts() {
    return {{Field::CPU, "AMD Athlon"},
            {Field::Memory, "768M"},
            {Field::HardDisk, "120G"},
            {Field::OS, "Linux"},
            {Field::OSBuild, "6.1.0-21"},
            {Field::ServicePack, "Service Pack 2"},
            {Field::IEVersion, "Firefox 115"},
            {Field::NetEnvironment, "100 Mbit/s, behind a proxy"},
            {Field::Note, "Docked laptop\nsecond line"}};
}

// The nine texts of the current user's stored record; empty when there is none.
QMap<Field, QString> StoredTexts(IExeContext* session) {
    QMap<Field, QString> texts;
    const ComPtr<IUser> user = Object(session, &IExeContext::get_CurUser);
    const ComPtr<IUserSysInfo> info = Object(user.Get(), &IUser::get_SysInfo);
    if (!info) return texts;
    texts[Field::CPU] = Text(info.Get(), &IUserSysInfo::get_CPU);
    texts[Field::Memory] = Text(info.Get(), &IUserSysInfo::get_Memory);
    texts[Field::HardDisk] = Text(info.Get(), &IUserSysInfo::get_HardDisk);
    texts[Field::OS] = Text(info.Get(), &IUserSysInfo::get_OS);
    texts[Field::OSBuild] = Text(info.Get(), &IUserSysInfo::get_OSBuild);
    texts[Field::ServicePack] = Text(info.Get(), &IUserSysInfo::get_ServicePack);
    texts[Field::IEVersion] = Text(info.Get(), &IUserSysInfo::get_IEVersion);
    texts[Field::NetEnvironment] = Text(info.Get(), &IUserSysInfo::get_NetEnvironment);
    texts[Field::Note] = Text(info.Get(), &IUserSysInfo::get_Note);
    return texts;
}

QMap<Field, QString> FormTexts(const SystemInfoForm& form) {
    QMap<Field, QString> texts;
    for (Field field : kFields)
        texts[field] = form.text(field);
    return texts;
}

LONG ActiveVersionID(IExeContext* session) {
    LONG id = -1;
    session->get_ActiveVersionID(&id);
    return id;
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT
  private:
    ClientTestEnvironment environment_;
    QString demo_;
    RecordingMessageSink messages_;

  private slots:
    void initTestCase() { demo_ = environment_.DemoDatabase(QStringLiteral("demo.mdb"), 10); }
    void cleanup() { messages_.texts.clear(); }

    void systemInformationRoundTrip() {
        const QString path = environment_.NewDatabase(QStringLiteral("sysinfo.mdb"));
        const ComPtr<IExeContext> session = LoginSession(path, "Admin", QString());
        QVERIFY(StoredTexts(session.Get()).isEmpty());

        // A user without a record starts from an empty form; OK creates the record.
        {
            SystemInfoDialog dialog(session.Get(), messages_);
            dialog.open();
            QVERIFY(dialog.isVisible());
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Enter Your Computer System Infomation"));
            for (Field field : kFields)
                QCOMPARE(dialog.form()->text(field), QString());
            const QMap<Field, QString> sample = SampleTexts();
            for (Field field : kFields)
                dialog.form()->setText(field, sample[field]);
            dialog.accept();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QVERIFY(!dialog.isVisible());
        }
        QCOMPARE(StoredTexts(session.Get()), SampleTexts());

        // Reopened, the dialog shows the record; Cancel leaves it as it was.
        {
            SystemInfoDialog dialog(session.Get(), messages_);
            dialog.open();
            QCOMPARE(FormTexts(*dialog.form()), SampleTexts());
            dialog.form()->setText(Field::CPU, "Intel Pentium");
            dialog.reject();
        }
        QCOMPARE(StoredTexts(session.Get()), SampleTexts());

        // A second OK rewrites the same record, emptied fields included.
        {
            SystemInfoDialog dialog(session.Get(), messages_);
            dialog.open();
            dialog.form()->setText(Field::Note, QString());
            dialog.form()->setText(Field::OS, "Unix");
            dialog.accept();
        }
        QMap<Field, QString> expected = SampleTexts();
        expected[Field::Note] = QString();
        expected[Field::OS] = "Unix";
        QCOMPARE(StoredTexts(session.Get()), expected);
        QVERIFY(messages_.texts.isEmpty());
        session->Close();
    }

    void systemInformationFailureKeepsTheDialogOpen() {
        const QString path = environment_.NewDatabase(QStringLiteral("sysinfo-fail.mdb"));
        const ComPtr<IExeContext> session = LoginSession(path, "Admin", QString());
        SystemInfoDialog dialog(session.Get(), messages_);
        dialog.open();
        dialog.form()->setText(Field::CPU, "AMD Duron");
        // The record is stored over the process's connection text, which now names a file
        // that cannot be opened.
        const auto other = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
        QVERIFY(FAILED(other->OpenAccessDB(ToBstr(environment_.File("missing/x.mdb")).Get())));
        dialog.accept();
        QCOMPARE(messages_.texts,
                 QStringList{QStringLiteral("Set user's system infomation failed")});
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));

        QVERIFY(SUCCEEDED(session->OpenAccessDB(ToBstr(path).Get())));
        QVERIFY(SUCCEEDED(session->Login(ToBstr("Admin").Get(), ToBstr("").Get())));
        QVERIFY(StoredTexts(session.Get()).isEmpty());
        dialog.reject();
        session->Close();
    }

    void systemInformationNeedsAUser() {
        const ComPtr<IExeContext> session = OpenSession(demo_);
        SystemInfoDialog dialog(session.Get(), messages_);
        QSignalSpy finished(&dialog, &QDialog::finished);
        dialog.open();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        session->Close();
    }

    void readOnlyFormTakesNoInput() {
        SystemInfoForm form;
        form.show();
        form.setText(Field::Memory, "64M");
        form.setText(Field::OSBuild, "2600");
        form.setReadOnly(true);
        auto* memory = form.findChildren<QComboBox*>().value(1);
        QCOMPARE(memory->accessibleName(), QStringLiteral("Memory"));
        QTest::keyClick(memory, Qt::Key_Down);
        QTest::keyClicks(memory->lineEdit(), "x");
        QCOMPARE(form.text(Field::Memory), QStringLiteral("64M"));
        for (QLineEdit* edit : form.findChildren<QLineEdit*>())
            QVERIFY(edit->isReadOnly());
        QVERIFY(form.findChild<QPlainTextEdit*>()->isReadOnly());

        form.setReadOnly(false);
        QTest::keyClick(memory, Qt::Key_Down);
        QCOMPARE(form.text(Field::Memory), QStringLiteral("128M"));
        form.load(nullptr);
        for (Field field : kFields)
            QCOMPARE(form.text(field), QString());
    }

    void changePasswordComparesExactly() {
        ChangePasswordDialog dialog(messages_);
        dialog.open();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Change Password"));
        for (QLineEdit* edit :
             {dialog.oldPasswordEdit(), dialog.newPasswordEdit(), dialog.verifyPasswordEdit()})
            QCOMPARE(edit->echoMode(), QLineEdit::Password);
        dialog.oldPasswordEdit()->setText("old");
        dialog.newPasswordEdit()->setText("secret");
        dialog.verifyPasswordEdit()->setText("Secret");
        dialog.accept();
        QCOMPARE(messages_.texts, QStringList{QStringLiteral("The password doesn't match!")});
        QVERIFY(dialog.isVisible());

        dialog.verifyPasswordEdit()->setText("secret");
        dialog.accept();
        QCOMPARE(messages_.texts.size(), 1);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.oldPassword(), QStringLiteral("old"));
        QCOMPARE(dialog.newPassword(), QStringLiteral("secret"));
    }

    void changePasswordAcceptsAnEmptyMatch() {
        ChangePasswordDialog dialog(messages_);
        dialog.open();
        dialog.oldPasswordEdit()->setText("old");
        dialog.accept();
        QVERIFY(messages_.texts.isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.newPassword(), QString());
    }

    void selectProductListsTheUsersProducts() {
        const ComPtr<IExeContext> session = LoginSession(demo_, "lchen", "lchen-demo");
        SelectProductDialog dialog(session.Get(), messages_);
        dialog.open();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Select Current Product"));
        QTreeWidget* tree = dialog.tree();
        QStringList products;
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            QTreeWidgetItem* product = tree->topLevelItem(i);
            products << product->text(0);
            QCOMPARE(product->data(0, Qt::UserRole).toInt(), 0);
            QVERIFY(product->isExpanded());
            QVERIFY(product->childCount() >= 3);
            for (int v = 0; v < product->childCount(); ++v)
                QVERIFY(product->child(v)->data(0, Qt::UserRole).toInt() > 0);
        }
        products.sort();
        QCOMPARE(products, (QStringList{"Beacon Mobile", "Tidewater Sync"}));
        dialog.reject();
        session->Close();
    }

    void selectProductActivatesAVersionOnly() {
        const ComPtr<IExeContext> session = LoginSession(demo_, "mhart", "mhart-demo");
        SelectProductDialog dialog(session.Get(), messages_);
        dialog.open();
        QTreeWidgetItem* product = dialog.tree()->topLevelItem(1);
        product->setSelected(true);
        dialog.accept();
        QCOMPARE(messages_.texts, QStringList{QStringLiteral("Please select a version!")});
        QVERIFY(dialog.isVisible());
        QCOMPARE(ActiveVersionID(session.Get()), 0);

        QTreeWidgetItem* version = product->child(1);
        dialog.tree()->setCurrentItem(version);
        dialog.accept();
        const LONG id = version->data(0, Qt::UserRole).toInt();
        QCOMPARE(messages_.texts.size(), 1);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.activatedVersionID(), id);
        QCOMPARE(ActiveVersionID(session.Get()), id);

        // Reopened with nothing chosen, OK closes and changes nothing.
        dialog.open();
        QCOMPARE(dialog.activatedVersionID(), 0);
        dialog.tree()->clearSelection();
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(ActiveVersionID(session.Get()), id);
        session->Close();
    }

    void selectProductShowsTheEngineRefusal() {
        const ComPtr<IExeContext> session = LoginSession(demo_, "pnovak", "pnovak-demo");
        SelectProductDialog dialog(session.Get(), messages_);
        dialog.open();
        QTreeWidgetItem* version = dialog.tree()->topLevelItem(0)->child(0);
        version->setData(0, Qt::UserRole, 987654);
        dialog.tree()->setCurrentItem(version);
        dialog.accept();
        QCOMPARE(messages_.texts, QStringList{QStringLiteral("Set Active Product Failed")});
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.activatedVersionID(), 0);
        dialog.reject();
        session->Close();
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
