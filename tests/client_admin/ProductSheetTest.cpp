// The product sheet on real databases: the Add Production wizard's checks and what Finish
// stores, the Edit Production Property sheet's version, classification and role changes, and
// the engine's refusals.
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

#include "client/admin/ClassificationPage.h"
#include "client/admin/ProductSheet.h"
#include "client/admin/ProductionPage.h"
#include "client/admin/RoleAssignPage.h"
#include "client/admin/VersionPage.h"
#include "client/config/OleDate.h"
#include "client/widgets/MessageSink.h"
#include "tests/client_admin/AdminTestSession.h"
#include "tests/client_admin/SheetDriver.h"
#include "tests/client_support/ClientTestEnvironment.h"

using namespace tarnwick;
using namespace tarnwick::admin;
using namespace tarnwick::test;

namespace {

const QString kEmptyName = QStringLiteral("Product name cannot be empty.");
const QString kNoClassification = QStringLiteral("Product must have at least one classification!");
const QString kDeleteVersion = QStringLiteral("Do you really want to delete this version?");
const QString kDeleteVersionBugs = QStringLiteral(
    "Delete this version will permanently erase all bugs of this version!\n Do you want to "
    "continue?");
const QString kDeleteClassification = QStringLiteral("Do you really want to delete it?");
const QString kTakeRoles = QStringLiteral(
    "Corvala has detected some roles are to be assigned to another production. \nDo you wan to "
    "continue?\nClick Yes to continue, Click No to cancel.");

// The index in the session's product set of the product with that name.
LONG ProductIndex(IProductSet* products, const QString& name) {
    const LONG count = Long(products, &IProductSet::get_Count);
    for (LONG i = 0; i < count; ++i)
        if (Text(Item(products, &IProductSet::get_Item, i).Get(), &IProduct::get_Name) == name)
            return i;
    return -1;
}

} // namespace

class ProductSheetTest : public QObject {
    Q_OBJECT
    ClientTestEnvironment environment_;
    RecordingMessageSink messages_;
    int databases_ = 0;

    QString freshDatabase() {
        return environment_.NewDatabase(QStringLiteral("sheet%1.mdb").arg(++databases_));
    }

    // Adds a product through the wizard with the classification, the versions and the
    // checked roles.
    void addProduct(IExeContext* session, const QString& name, const QStringList& versions,
                    const QStringList& roles) {
        ProductSheet sheet(ComPtr<IExeContext>(session), messages_);
        sheet.open();
        sheet.productionPage()->nameEdit()->setText(name);
        sheet.next();
        for (const QString& version : versions)
            AddVersion(sheet.versionPage(), version, QString(), QDate(2026, 3, 1));
        sheet.next();
        AddClassification(sheet.classificationPage(), QStringLiteral("General"));
        sheet.next();
        for (const QString& role : roles)
            QVERIFY(CheckRole(sheet.roleAssignPage(), role, true));
        sheet.button(QWizard::FinishButton)->click();
        QCOMPARE(sheet.result(), int(QDialog::Accepted));
    }

    // A property sheet on the stored product of that name, opened.
    std::unique_ptr<ProductSheet> editSheet(IExeContext* session, const QString& name) {
        const ComPtr<IProductSet> products = Object(session, &IExeContext::get_ProductSet);
        auto sheet = std::make_unique<ProductSheet>(ComPtr<IExeContext>(session), products,
                                                    ProductIndex(products.Get(), name), messages_);
        sheet->open();
        return sheet;
    }

  private slots:
    void init() { messages_ = RecordingMessageSink(); }
    void cleanup() {
        for (QWidget* window : QApplication::topLevelWidgets())
            window->close();
    }

    // Next on the first page needs a name; Next on the classification page and Finish need a
    // classification. Nothing is stored on the way.
    void wizardChecksNameAndClassification() {
        const QString path = freshDatabase();
        const ComPtr<IExeContext> session = AdminSession(path);
        ProductSheet sheet(ComPtr<IExeContext>(session), messages_);
        sheet.open();
        sheet.next();
        QCOMPARE(sheet.currentPage(), sheet.productionPage());
        QCOMPARE(messages_.texts, QStringList{kEmptyName});

        sheet.productionPage()->nameEdit()->setText(QStringLiteral("Quayside"));
        sheet.next();
        QCOMPARE(sheet.currentPage(), sheet.versionPage());
        sheet.next();
        QCOMPARE(sheet.currentPage(), sheet.classificationPage());
        sheet.next();
        QCOMPARE(sheet.currentPage(), sheet.classificationPage());
        QCOMPARE(messages_.texts.last(), kNoClassification);

        // A classification added and deleted again leaves the list empty.
        AddClassification(sheet.classificationPage(), QStringLiteral("UI"));
        QVERIFY(SelectClassification(sheet.classificationPage(), QStringLiteral("UI")));
        sheet.classificationPage()->deleteButton()->click();
        QCOMPARE(messages_.texts.last(), kDeleteClassification);
        QVERIFY(ListedClassifications(sheet.classificationPage()).isEmpty());
        messages_.texts.clear();
        sheet.accept();
        QVERIFY(sheet.isVisible());
        QCOMPARE(messages_.texts, QStringList{kNoClassification});
        QVERIFY(ProductNames(path).isEmpty());
    }

    void finishStoresVersionsClassificationsAndRoles() {
        const QString path = freshDatabase();
        const ComPtr<IExeContext> session = AdminSession(path);
        const LONG wanted = AddRole(session.Get(), QStringLiteral("Quay developer"));
        AddRole(session.Get(), QStringLiteral("Quay tester"));

        ProductSheet sheet(ComPtr<IExeContext>(session), messages_);
        QSignalSpy finished(&sheet, &QDialog::finished);
        sheet.open();
        sheet.productionPage()->nameEdit()->setText(QStringLiteral("Quayside"));
        sheet.productionPage()->descriptionEdit()->setPlainText(QStringLiteral("Dock\nledger"));
        sheet.next();
        VersionPage* versions = sheet.versionPage();
        AddVersion(versions, QStringLiteral("1.0"), QStringLiteral("first"), QDate(2026, 1, 15));
        AddVersion(versions, QStringLiteral("1.1"), QStringLiteral("second"), QDate(2026, 4, 2));
        AddVersion(versions, QStringLiteral("scrap"), QString(), QDate(2026, 5, 1));
        QVERIFY(SelectVersion(versions, QStringLiteral("1.1")));
        EditSelectedVersion(versions, QStringLiteral("1.2"), QStringLiteral("renamed"),
                            QDate(2026, 6, 30));
        QVERIFY(SelectVersion(versions, QStringLiteral("scrap")));
        versions->deleteButton()->click();
        QCOMPARE(ListedVersions(versions), (QStringList{"1.0", "1.2"}));
        sheet.next();
        AddClassification(sheet.classificationPage(), QStringLiteral("UI"));
        AddClassification(sheet.classificationPage(), QStringLiteral("Core"));
        QVERIFY(SelectClassification(sheet.classificationPage(), QStringLiteral("Core")));
        RenameSelectedClassification(sheet.classificationPage(), QStringLiteral("Engine"));
        sheet.next();
        QVERIFY(CheckRole(sheet.roleAssignPage(), QStringLiteral("Quay developer"), true));
        sheet.button(QWizard::FinishButton)->click();

        QCOMPARE(finished.count(), 1);
        QCOMPARE(sheet.result(), int(QDialog::Accepted));
        QCOMPARE(messages_.texts, (QStringList{kDeleteVersion, kDeleteVersionBugs}));
        const StoredProduct stored = ReadProduct(path, QStringLiteral("Quayside"));
        QVERIFY(stored.id != 0);
        QCOMPARE(stored.description, QStringLiteral("Dock\nledger"));
        QCOMPARE(stored.versions, (QStringList{"1.0", "1.2"}));
        QCOMPARE(stored.versionDescriptions, (QStringList{"first", "renamed"}));
        QCOMPARE(stored.releaseDates, (QList<DATE>{OleDateFromDate(QDate(2026, 1, 15)),
                                                   OleDateFromDate(QDate(2026, 6, 30))}));
        QCOMPARE(stored.classifications, (QStringList{"UI", "Engine"}));
        QCOMPARE(stored.roles, QSet<LONG>{wanted});
        QCOMPARE(Long(sheet.product().Get(), &IProduct::get_ID), stored.id);
    }

    void selectAllAndNoneTouchEveryListedRole() {
        const QString path = freshDatabase();
        const ComPtr<IExeContext> session = AdminSession(path);
        AddRole(session.Get(), QStringLiteral("One"));
        AddRole(session.Get(), QStringLiteral("Two"));
        ProductSheet sheet(ComPtr<IExeContext>(session), messages_);
        sheet.open();
        WalkToRolePage(&sheet, QStringLiteral("Quayside"), QStringLiteral("UI"));
        RoleAssignPage* roles = sheet.roleAssignPage();
        roles->selectAllButton()->click();
        QCOMPARE(CheckedRoles(roles), ListedRoles(roles));
        QCOMPARE(roles->choices().checkedIDs().size(), ListedRoles(roles).size());
        roles->selectNoneButton()->click();
        QVERIFY(CheckedRoles(roles).isEmpty());
        QVERIFY(roles->choices().checkedIDs().isEmpty());
    }

    // Roles of another product are hidden while only free roles are shown; taking one asks
    // first, and No leaves every role where it was.
    void takingAnotherProductsRoleAsksFirst() {
        const QString path = freshDatabase();
        const ComPtr<IExeContext> session = AdminSession(path);
        const LONG harbour = AddRole(session.Get(), QStringLiteral("Harbour developer"));
        const LONG mine = AddRole(session.Get(), QStringLiteral("Quay developer"));
        addProduct(session.Get(), QStringLiteral("Harbour"), {}, {"Harbour developer"});
        const LONG harbourID = ReadProduct(path, QStringLiteral("Harbour")).id;

        ProductSheet sheet(ComPtr<IExeContext>(session), messages_);
        sheet.open();
        WalkToRolePage(&sheet, QStringLiteral("Quayside"), QStringLiteral("UI"));
        RoleAssignPage* roles = sheet.roleAssignPage();
        QVERIFY(!ListedRoles(roles).contains(QStringLiteral("Harbour developer")));
        roles->allRoles()->click();
        QVERIFY(ListedRoles(roles).contains(QStringLiteral("Harbour developer")));
        QVERIFY(CheckRole(roles, QStringLiteral("Harbour developer"), true));
        QVERIFY(CheckRole(roles, QStringLiteral("Quay developer"), true));
        messages_.texts.clear();
        messages_.answers = {false};
        sheet.button(QWizard::FinishButton)->click();

        QCOMPARE(messages_.texts, QStringList{kTakeRoles});
        QCOMPARE(sheet.result(), int(QDialog::Accepted));
        // No cancels the whole role step: not even the free role is bound.
        QVERIFY(ReadProduct(path, QStringLiteral("Quayside")).roles.isEmpty());
        QCOMPARE(ReadProduct(path, QStringLiteral("Harbour")).roles, QSet<LONG>{harbour});

        // Yes takes the role over.
        auto edit = editSheet(session.Get(), QStringLiteral("Quayside"));
        edit->roleAssignPage()->allRoles()->click();
        QVERIFY(CheckRole(edit->roleAssignPage(), QStringLiteral("Harbour developer"), true));
        QVERIFY(CheckRole(edit->roleAssignPage(), QStringLiteral("Quay developer"), true));
        messages_.texts.clear();
        messages_.answers = {true};
        edit->accept();
        QCOMPARE(messages_.texts, QStringList{kTakeRoles});
        QCOMPARE(ReadProduct(path, QStringLiteral("Quayside")).roles, (QSet<LONG>{harbour, mine}));
        QVERIFY(ReadProduct(path, QStringLiteral("Harbour")).roles.isEmpty());
        QVERIFY(harbourID != 0);
    }

    void uncheckingARoleFreesIt() {
        const QString path = freshDatabase();
        const ComPtr<IExeContext> session = AdminSession(path);
        const LONG kept = AddRole(session.Get(), QStringLiteral("Kept"));
        const LONG freed = AddRole(session.Get(), QStringLiteral("Freed"));
        addProduct(session.Get(), QStringLiteral("Quayside"), {}, {"Kept", "Freed"});
        QCOMPARE(ReadProduct(path, QStringLiteral("Quayside")).roles, (QSet<LONG>{kept, freed}));

        auto sheet = editSheet(session.Get(), QStringLiteral("Quayside"));
        QCOMPARE(sheet->windowTitle(), QStringLiteral("Edit Production Property"));
        QVERIFY(!sheet->isWizard());
        QCOMPARE(sheet->tabs()->count(), 4);
        QCOMPARE(sheet->tabs()->tabText(3), QStringLiteral("Assign to Role"));
        QCOMPARE(CheckedRoles(sheet->roleAssignPage()), (QStringList{"Kept", "Freed"}));
        QVERIFY(CheckRole(sheet->roleAssignPage(), QStringLiteral("Freed"), false));
        messages_.texts.clear();
        sheet->button(QWizard::FinishButton)->click();
        QCOMPARE(sheet->result(), int(QDialog::Accepted));
        QVERIFY(messages_.texts.isEmpty());
        QCOMPARE(ReadProduct(path, QStringLiteral("Quayside")).roles, QSet<LONG>{kept});
        // The freed role belongs to no product now: another product lists it as free.
        ProductSheet other(session, messages_);
        other.open();
        QVERIFY(ListedRoles(other.roleAssignPage()).contains(QStringLiteral("Freed")));
        QVERIFY(!ListedRoles(other.roleAssignPage()).contains(QStringLiteral("Kept")));
    }

    // A stored version is deleted only after two Yes answers, and only from the database when
    // the sheet is finished; the other versions keep their rows.
    void storedVersionDeleteAsksTwiceAndWaitsForOk() {
        const QString path = freshDatabase();
        const ComPtr<IExeContext> session = AdminSession(path);
        addProduct(session.Get(), QStringLiteral("Quayside"), {"1.0", "2.0"}, {});
        const StoredProduct before = ReadProduct(path, QStringLiteral("Quayside"));
        QCOMPARE(before.versions, (QStringList{"1.0", "2.0"}));

        auto sheet = editSheet(session.Get(), QStringLiteral("Quayside"));
        VersionPage* versions = sheet->versionPage();
        QVERIFY(SelectVersion(versions, QStringLiteral("1.0")));
        messages_.texts.clear();
        messages_.answers = {false};
        versions->deleteButton()->click();
        QCOMPARE(messages_.texts, QStringList{kDeleteVersion});
        QCOMPARE(ListedVersions(versions), (QStringList{"1.0", "2.0"}));

        messages_.texts.clear();
        messages_.answers = {true, false};
        versions->deleteButton()->click();
        QCOMPARE(messages_.texts, (QStringList{kDeleteVersion, kDeleteVersionBugs}));
        QCOMPARE(ListedVersions(versions), (QStringList{"1.0", "2.0"}));

        messages_.answers = {true, true};
        versions->deleteButton()->click();
        QCOMPARE(ListedVersions(versions), QStringList{"2.0"});
        QCOMPARE(ReadProduct(path, QStringLiteral("Quayside")).versions,
                 (QStringList{"1.0", "2.0"}));

        sheet->accept();
        QCOMPARE(sheet->result(), int(QDialog::Accepted));
        const StoredProduct after = ReadProduct(path, QStringLiteral("Quayside"));
        QCOMPARE(after.versions, QStringList{"2.0"});
        QCOMPARE(after.versionIDs, QList<LONG>{before.versionIDs.at(1)});
    }

    void cancelledSheetStoresNothing() {
        const QString path = freshDatabase();
        const ComPtr<IExeContext> session = AdminSession(path);
        addProduct(session.Get(), QStringLiteral("Quayside"), {"1.0"}, {});
        auto sheet = editSheet(session.Get(), QStringLiteral("Quayside"));
        QVERIFY(SelectVersion(sheet->versionPage(), QStringLiteral("1.0")));
        messages_.answers = {true, true};
        sheet->versionPage()->deleteButton()->click();
        sheet->productionPage()->nameEdit()->setText(QStringLiteral("Renamed"));
        sheet->reject();
        const StoredProduct after = ReadProduct(path, QStringLiteral("Quayside"));
        QCOMPARE(after.versions, QStringList{"1.0"});
    }

    // Edits of stored versions and classifications are written to the same rows; deleting a
    // stored classification asks once and No keeps it.
    void propertySheetWritesEditsInPlace() {
        const QString path = freshDatabase();
        const ComPtr<IExeContext> session = AdminSession(path);
        addProduct(session.Get(), QStringLiteral("Quayside"), {"1.0"}, {});
        const StoredProduct before = ReadProduct(path, QStringLiteral("Quayside"));

        auto sheet = editSheet(session.Get(), QStringLiteral("Quayside"));
        QCOMPARE(sheet->productionPage()->name(), QStringLiteral("Quayside"));
        sheet->productionPage()->nameEdit()->setText(QStringLiteral("Quayside Pro"));
        sheet->productionPage()->descriptionEdit()->setPlainText(QStringLiteral("new text"));
        QVERIFY(SelectVersion(sheet->versionPage(), QStringLiteral("1.0")));
        EditSelectedVersion(sheet->versionPage(), QStringLiteral("1.0.1"), QStringLiteral("fix"),
                            QDate(2026, 2, 2));
        AddVersion(sheet->versionPage(), QStringLiteral("2.0"), QString(), QDate());
        ClassificationPage* classes = sheet->classificationPage();
        QVERIFY(SelectClassification(classes, QStringLiteral("General")));
        messages_.answers = {false};
        classes->deleteButton()->click();
        QCOMPARE(ListedClassifications(classes), QStringList{"General"});
        RenameSelectedClassification(classes, QStringLiteral("Everything"));
        sheet->accept();
        QCOMPARE(sheet->result(), int(QDialog::Accepted));

        QCOMPARE(ReadProduct(path, QStringLiteral("Quayside")).id, 0);
        const StoredProduct after = ReadProduct(path, QStringLiteral("Quayside Pro"));
        QCOMPARE(after.id, before.id);
        QCOMPARE(after.description, QStringLiteral("new text"));
        QCOMPARE(after.versions, (QStringList{"1.0.1", "2.0"}));
        QCOMPARE(after.versionIDs.first(), before.versionIDs.first());
        QCOMPARE(after.versionDescriptions.first(), QStringLiteral("fix"));
        QCOMPARE(after.releaseDates, (QList<DATE>{OleDateFromDate(QDate(2026, 2, 2)), 0.0}));
        QCOMPARE(after.classifications, QStringList{"Everything"});
        QCOMPARE(after.classificationIDs, before.classificationIDs);
    }

    void propertySheetOkChecksEveryPage() {
        const QString path = freshDatabase();
        const ComPtr<IExeContext> session = AdminSession(path);
        addProduct(session.Get(), QStringLiteral("Quayside"), {}, {});
        auto sheet = editSheet(session.Get(), QStringLiteral("Quayside"));
        QVERIFY(SelectClassification(sheet->classificationPage(), QStringLiteral("General")));
        messages_.texts.clear();
        messages_.answers = {true};
        sheet->classificationPage()->deleteButton()->click();
        sheet->accept();
        QVERIFY(sheet->isVisible());
        QCOMPARE(messages_.texts.last(), kNoClassification);
        QCOMPARE(sheet->tabs()->currentWidget(), sheet->classificationPage());

        sheet->productionPage()->nameEdit()->clear();
        sheet->accept();
        QCOMPARE(messages_.texts.last(), kEmptyName);
        QCOMPARE(sheet->tabs()->currentWidget(), sheet->productionPage());
        QCOMPARE(ReadProduct(path, QStringLiteral("Quayside")).classifications,
                 QStringList{"General"});
    }

    // Without the right to add products the engine's message is shown and the wizard stays
    // open with nothing stored.
    void refusedAddShowsTheEngineMessage() {
        const QString path = freshDatabase();
        const ComPtr<IExeContext> session =
            AdminSession(path, QStringLiteral("No products"), &IRight::put_AddProduct);
        ProductSheet sheet(ComPtr<IExeContext>(session), messages_);
        sheet.open();
        WalkToRolePage(&sheet, QStringLiteral("Quayside"), QStringLiteral("UI"));
        messages_.texts.clear();
        sheet.button(QWizard::FinishButton)->click();
        QVERIFY(sheet.isVisible());
        QCOMPARE(messages_.texts,
                 QStringList{"You have no right to add product, please contact your manager!"});
        QVERIFY(ProductNames(path).isEmpty());
    }

    // A refusal after the product was stored (here: its classification) leaves the sheet open;
    // Finish again does not add the product a second time.
    void finishAgainAfterARefusalDoesNotAddTwice() {
        const QString path = freshDatabase();
        const ComPtr<IExeContext> session =
            AdminSession(path, QStringLiteral("No classes"), &IRight::put_Add_Edit_Del_BugClass);
        ProductSheet sheet(ComPtr<IExeContext>(session), messages_);
        sheet.open();
        WalkToRolePage(&sheet, QStringLiteral("Quayside"), QStringLiteral("UI"));
        messages_.texts.clear();
        sheet.button(QWizard::FinishButton)->click();
        sheet.button(QWizard::FinishButton)->click();
        QVERIFY(sheet.isVisible());
        const QString refusal =
            QStringLiteral("You have no right to add classification, please contact your manager!");
        QCOMPARE(messages_.texts, (QStringList{refusal, refusal}));
        QCOMPARE(ProductNames(path), QStringList{"Quayside"});
        QVERIFY(ReadProduct(path, QStringLiteral("Quayside")).classifications.isEmpty());
    }

    void sheetOnAMissingProductShowsTheMessage() {
        const QString path = freshDatabase();
        const ComPtr<IExeContext> session = AdminSession(path);
        const ComPtr<IProductSet> products = Object(session.Get(), &IExeContext::get_ProductSet);
        ProductSheet sheet(session, products, 3, messages_);
        QSignalSpy finished(&sheet, &QDialog::finished);
        sheet.open();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(sheet.result(), int(QDialog::Rejected));
        QVERIFY(!sheet.isVisible());
        QCOMPARE(messages_.texts, QStringList{"Some error has occured, please see err.log!"});
    }
};

QTEST_MAIN(ProductSheetTest)
#include "ProductSheetTest.moc"
