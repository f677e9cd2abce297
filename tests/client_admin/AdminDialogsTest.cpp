// Production Property and Assign User to Classification on real databases: the product list
// with its edit (and the question about synchronising) and its two-step delete, the user list
// with the tree of the user's products and classifications, Assign, and the engine's refusals.
// Also the captions of the small dialogs of the product sheet.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextEdit>
#include <QTreeWidget>
#include <QtTest>

#include "client/admin/AddVersionDialog.h"
#include "client/admin/AssignUserDialog.h"
#include "client/admin/ClassificationPage.h"
#include "client/admin/EnterNameDialog.h"
#include "client/admin/ProductSheet.h"
#include "client/admin/ProductionPage.h"
#include "client/admin/ProductionPropertyDialog.h"
#include "client/admin/RoleAssignPage.h"
#include "client/admin/VersionPage.h"
#include "client/widgets/MessageSink.h"
#include "tests/client_admin/AdminTestSession.h"
#include "tests/client_admin/SheetDriver.h"
#include "tests/client_support/ClientTestEnvironment.h"

using namespace tarnwick;
using namespace tarnwick::admin;
using namespace tarnwick::test;

namespace {

const QString kSynchronize = QStringLiteral(
    "The production's property is changed, do you want to synchronize the database so that "
    "consistance is maintained?");
const QString kDeleteProduction = QStringLiteral("Do you really want to delete this production?");
const QString kDeleteProductionBugs = QStringLiteral(
    "Delete this production will permanently erase all versions and all bugs of this "
    "production!\n Do you want to continue?");

// A product with the classifications and versions, stored straight through the engine.
LONG StoreProduct(IExeContext* session, const QString& name, const QStringList& classifications,
                  const QStringList& versions = {}) {
    LONG id = 0;
    const bool stored = Attempt(
        [&] {
            const auto product = Create<IProduct>(CLSID_Product, IID_IProduct);
            Check(product->put_Name(ToBstr(name).Get()));
            for (const QString& version : versions) {
                ComPtr<IVersion> added;
                Check(product->AddVersion(ToBstr(version).Get(), nullptr, 0.0, added.Put()));
            }
            const ComPtr<IProductSet> products = Object(session, &IExeContext::get_ProductSet);
            Check(products->Add(product.Get()));
            const ComPtr<IClassificationSet> classes =
                Object(product.Get(), &IProduct::get_ClassificationSet);
            Check(classes->put_ExeContext(session));
            for (const QString& classification : classifications) {
                const auto item =
                    Create<IClassification>(CLSID_Classification, IID_IClassification);
                Check(item->put_Name(ToBstr(classification).Get()));
                Check(classes->Add(item.Get()));
            }
            id = Long(product.Get(), &IProduct::get_ID);
        },
        [](const EngineFailure& failure) { qWarning("%s", qPrintable(failure.text)); });
    return stored ? id : 0;
}

// A user holding a new role in each of the products (and one role of no product).
LONG StoreUserWithRoles(IExeContext* session, const QString& login, const QList<LONG>& productIDs) {
    LONG userID = 0;
    Attempt(
        [&] {
            const ComPtr<IAdmin> admin = Object(session, &IExeContext::get_Admin);
            const ComPtr<IUserSet> users = Object(admin.Get(), &IAdmin::get_UserSet);
            const auto user = Create<IUser>(CLSID_User, IID_IUser);
            Check(user->put_LoginName(ToBstr(login).Get()));
            Check(user->put_UserName(ToBstr(login + QStringLiteral(" (name)")).Get()));
            Check(users->Add(user.Get()));
            userID = Long(user.Get(), &IUser::get_ID);
            Check(
                admin->AssignUserToRole(userID, AddRole(session, login + QStringLiteral("-none"))));
            int n = 0;
            for (LONG productID : productIDs) {
                const LONG role = AddRole(session, login + QStringLiteral("-%1").arg(++n));
                BindRole(session, role, productID);
                Check(admin->AssignUserToRole(userID, role));
            }
        },
        [](const EngineFailure& failure) { qWarning("%s", qPrintable(failure.text)); });
    return userID;
}

int Row(const QTreeWidget* list, const QString& name) {
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(0) == name) return i;
    return -1;
}

int Row(const QListWidget* list, const QString& name) {
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text() == name) return i;
    return -1;
}

QStringList TopLevelTexts(const QTreeWidget* tree) {
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts.append(tree->topLevelItem(i)->text(0));
    return texts;
}

// The tree's classifications as "product/classification", with the checked ones marked "+".
QStringList TreeChecks(const QTreeWidget* tree) {
    QStringList texts;
    for (int p = 0; p < tree->topLevelItemCount(); ++p) {
        const QTreeWidgetItem* node = tree->topLevelItem(p);
        for (int c = 0; c < node->childCount(); ++c)
            texts.append(
                node->text(0) + QLatin1Char('/') + node->child(c)->text(0) +
                (node->child(c)->checkState(0) == Qt::Checked ? QStringLiteral("+") : QString()));
    }
    return texts;
}

void CheckChild(QTreeWidget* tree, const QString& product, const QString& classification) {
    for (int p = 0; p < tree->topLevelItemCount(); ++p) {
        QTreeWidgetItem* node = tree->topLevelItem(p);
        if (node->text(0) != product) continue;
        for (int c = 0; c < node->childCount(); ++c)
            if (node->child(c)->text(0) == classification)
                node->child(c)->setCheckState(0, Qt::Checked);
    }
}

// The version copy that the bugs reported in the version carry.
QSet<QString> CopiedVersionNames(const QString& path, LONG versionID) {
    QSet<QString> names;
    const ComPtr<IExeContext> session = LoginSession(path, QStringLiteral("Admin"), QString());
    Attempt(
        [&] {
            Check(session->SetActiveProduct(versionID));
            ComPtr<IBugSet> bugs;
            Check(session->OpenBugSet(nullptr, bugs.Put()));
            Check(bugs->First());
            for (LONG end = 0; Check(bugs->IsEnd(&end)), !end; Check(bugs->Next()))
                names.insert(Text(Object(bugs.Get(), &IBugSet::get_CurItem).Get(),
                                  &IBug::get_ReportedInVersion));
        },
        [](const EngineFailure& failure) { qWarning("%s", qPrintable(failure.text)); });
    session->Close();
    return names;
}

// The controls under root that a screen reader could not name.
QStringList Unnamed(QWidget* root) {
    QStringList unnamed;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        const bool control =
            qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget) ||
            qobject_cast<QComboBox*>(widget) || qobject_cast<QAbstractItemView*>(widget) ||
            qobject_cast<QTextEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget);
        // Line edits inside combo boxes and spin boxes speak through their owner.
        if (!control || !widget->isVisibleTo(root) || qobject_cast<QComboBox*>(widget->parent()) ||
            qobject_cast<QAbstractSpinBox*>(widget->parent()))
            continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty())
            unnamed.append(QString::fromLatin1(widget->metaObject()->className()));
    }
    return unnamed;
}

} // namespace

class AdminDialogsTest : public QObject {
    Q_OBJECT
    ClientTestEnvironment environment_;
    RecordingMessageSink messages_;
    int databases_ = 0;

    QString freshDatabase() {
        return environment_.NewDatabase(QStringLiteral("dialogs%1.mdb").arg(++databases_));
    }

  private slots:
    void init() { messages_ = RecordingMessageSink(); }
    void cleanup() {
        for (QWidget* window : QApplication::topLevelWidgets())
            window->close();
    }

    // A stored version without a release date keeps having none when it is edited.
    void versionWithoutDateKeepsNone() {
        AddVersionDialog version;
        version.setVersion(QStringLiteral("1.0"), QString(), 0.0);
        QCOMPARE(version.releaseDate(), 0.0);
        QVERIFY(AddVersionDialog().releaseDate() != 0.0);
    }

    void everyControlIsNamed() {
        const QString path = freshDatabase();
        const ComPtr<IExeContext> session = AdminSession(path);
        StoreProduct(session.Get(), QStringLiteral("Quayside"), {"General"});
        ProductSheet wizard(session, messages_);
        wizard.open();
        for (QWidget* page : {static_cast<QWidget*>(wizard.productionPage()),
                              static_cast<QWidget*>(wizard.versionPage()),
                              static_cast<QWidget*>(wizard.classificationPage()),
                              static_cast<QWidget*>(wizard.roleAssignPage())})
            QCOMPARE(Unnamed(page).join(", "), QString());
        QCOMPARE(Unnamed(&wizard).join(", "), QString());
        ProductionPropertyDialog property(session, messages_);
        property.open();
        QCOMPARE(Unnamed(&property).join(", "), QString());
        property.list()->topLevelItem(0)->setSelected(true);
        property.editButton()->click();
        QVERIFY(property.sheet());
        QCOMPARE(Unnamed(property.sheet()).join(", "), QString());
        property.sheet()->reject();
        AssignUserDialog assign(session, messages_);
        assign.open();
        QCOMPARE(Unnamed(&assign).join(", "), QString());
        AddVersionDialog version;
        version.show();
        QCOMPARE(Unnamed(&version).join(", "), QString());
        EnterNameDialog name;
        name.show();
        QCOMPARE(Unnamed(&name).join(", "), QString());
    }

    void productionPropertyListsEveryProduct() {
        const QString path = freshDatabase();
        const ComPtr<IExeContext> session = AdminSession(path);
        StoreProduct(session.Get(), QStringLiteral("Quayside"), {"General"});
        StoreProduct(session.Get(), QStringLiteral("Harbour"), {"General"});
        ProductionPropertyDialog dialog(session, messages_);
        dialog.open();
        QVERIFY(dialog.isVisible());
        QCOMPARE(TopLevelTexts(dialog.list()), (QStringList{"Quayside", "Harbour"}));
        dialog.closeButton()->click();
        QVERIFY(!dialog.isVisible());
    }

    // The product goes only after two Yes answers, from the database and from the list.
    void deleteAsksTwice() {
        const QString path = freshDatabase();
        const ComPtr<IExeContext> session = AdminSession(path);
        StoreProduct(session.Get(), QStringLiteral("Quayside"), {"General"}, {"1.0"});
        StoreProduct(session.Get(), QStringLiteral("Harbour"), {"General"});
        ProductionPropertyDialog dialog(session, messages_);
        dialog.open();
        dialog.list()->topLevelItem(Row(dialog.list(), "Quayside"))->setSelected(true);

        messages_.answers = {false};
        dialog.deleteButton()->click();
        QCOMPARE(messages_.texts, QStringList{kDeleteProduction});
        messages_.texts.clear();
        messages_.answers = {true, false};
        dialog.deleteButton()->click();
        QCOMPARE(messages_.texts, (QStringList{kDeleteProduction, kDeleteProductionBugs}));
        QCOMPARE(ProductNames(path), (QStringList{"Quayside", "Harbour"}));
        QCOMPARE(dialog.list()->topLevelItemCount(), 2);

        messages_.answers = {true, true};
        dialog.deleteButton()->click();
        QCOMPARE(ProductNames(path), QStringList{"Harbour"});
        QCOMPARE(TopLevelTexts(dialog.list()), QStringList{"Harbour"});
    }

    void refusedDeleteShowsTheEngineMessage() {
        const QString path = freshDatabase();
        const ComPtr<IExeContext> session =
            AdminSession(path, QStringLiteral("Keeper"), &IRight::put_DeleteProduct);
        StoreProduct(session.Get(), QStringLiteral("Quayside"), {"General"});
        ProductionPropertyDialog dialog(session, messages_);
        dialog.open();
        dialog.list()->topLevelItem(0)->setSelected(true);
        messages_.answers = {true, true};
        dialog.deleteButton()->click();
        QCOMPARE(
            messages_.texts.last(),
            QStringLiteral("You have no right to delete product, please contact your manager!"));
        QCOMPARE(dialog.list()->topLevelItemCount(), 1);
        QCOMPARE(ProductNames(path), QStringList{"Quayside"});
    }

    // After an edit the dialog asks whether to synchronise: No leaves the bugs' copies of the
    // old version name, Yes rewrites them. A cancelled sheet asks nothing.
    void editAsksToSynchronize() {
        const QString path = environment_.DemoDatabase(QStringLiteral("demo.mdb"), 40);
        const ComPtr<IExeContext> session = AdminSession(path);
        const StoredProduct ledger = ReadProduct(path, QStringLiteral("Harbor Ledger"));
        int withBugs = -1;
        for (int v = 0; v < ledger.versionIDs.size() && withBugs < 0; ++v)
            if (!CopiedVersionNames(path, ledger.versionIDs.at(v)).isEmpty()) withBugs = v;
        QVERIFY(withBugs >= 0);
        const QString oldName = ledger.versions.at(withBugs);
        const LONG versionID = ledger.versionIDs.at(withBugs);

        ProductionPropertyDialog dialog(session, messages_);
        QSignalSpy edited(&dialog, &ProductionPropertyDialog::editFinished);
        dialog.open();
        dialog.list()->topLevelItem(Row(dialog.list(), "Harbor Ledger"))->setSelected(true);
        dialog.editButton()->click();
        QVERIFY(dialog.sheet());
        QCOMPARE(dialog.sheet()->windowTitle(), QStringLiteral("Edit Production Property"));
        dialog.sheet()->reject();
        QCOMPARE(edited.count(), 1);
        QVERIFY(messages_.texts.isEmpty());

        dialog.list()->topLevelItem(Row(dialog.list(), "Harbor Ledger"))->setSelected(true);
        dialog.editButton()->click();
        VersionPage* versions = dialog.sheet()->versionPage();
        QVERIFY(SelectVersion(versions, oldName));
        EditSelectedVersion(versions, oldName + QStringLiteral(" LTS"), QString(),
                            QDate(2026, 1, 1));
        messages_.answers = {false};
        dialog.sheet()->accept();
        QCOMPARE(edited.count(), 2);
        QVERIFY(!dialog.sheet());
        QCOMPARE(messages_.texts, QStringList{kSynchronize});
        QCOMPARE(ReadProduct(path, QStringLiteral("Harbor Ledger")).versions.at(withBugs),
                 oldName + QStringLiteral(" LTS"));
        QCOMPARE(CopiedVersionNames(path, versionID), QSet<QString>{oldName});

        messages_.texts.clear();
        dialog.list()->topLevelItem(Row(dialog.list(), "Harbor Ledger"))->setSelected(true);
        dialog.editButton()->click();
        messages_.answers = {true};
        dialog.sheet()->accept();
        QCOMPARE(messages_.texts, QStringList{kSynchronize});
        QCOMPARE(CopiedVersionNames(path, versionID), QSet<QString>{oldName + " LTS"});
        // The list was read again and still offers every product.
        QCOMPARE(dialog.list()->topLevelItemCount(), 3);
    }

    // The tree shows one node per product of the user's roles; Assign stores the checks of
    // every product, and a new dialog shows them back.
    void assignStoresTheChecksOfEveryProduct() {
        const QString path = freshDatabase();
        const ComPtr<IExeContext> session = AdminSession(path);
        const LONG quay = StoreProduct(session.Get(), QStringLiteral("Quayside"), {"UI", "Core"});
        const LONG harbour = StoreProduct(session.Get(), QStringLiteral("Harbour"), {"Docs"});
        StoreProduct(session.Get(), QStringLiteral("Elsewhere"), {"Hidden"});
        const LONG user =
            StoreUserWithRoles(session.Get(), QStringLiteral("ines"), {quay, harbour, quay});
        QVERIFY(user != 0);

        AssignUserDialog dialog(session, messages_);
        dialog.open();
        const int row = Row(dialog.users(), QStringLiteral("ines (name)"));
        QVERIFY(row >= 0);
        dialog.chooseUser(row);
        QCOMPARE(TopLevelTexts(dialog.tree()), (QStringList{"Quayside", "Harbour"}));
        QCOMPARE(TreeChecks(dialog.tree()),
                 (QStringList{"Quayside/UI", "Quayside/Core", "Harbour/Docs"}));
        QVERIFY(dialog.tree()->topLevelItem(0)->isExpanded());
        QVERIFY(dialog.tree()->topLevelItem(1)->isExpanded());

        CheckChild(dialog.tree(), QStringLiteral("Quayside"), QStringLiteral("Core"));
        CheckChild(dialog.tree(), QStringLiteral("Harbour"), QStringLiteral("Docs"));
        dialog.assignButton()->click();
        QVERIFY(messages_.texts.isEmpty());
        const StoredProduct quayside = ReadProduct(path, QStringLiteral("Quayside"));
        QCOMPARE(UserClassifications(path, user, quay),
                 QSet<LONG>{quayside.classificationIDs.at(1)});
        QCOMPARE(UserClassifications(path, user, harbour).size(), 1);

        AssignUserDialog again(session, messages_);
        again.open();
        again.chooseUser(Row(again.users(), QStringLiteral("ines (name)")));
        QCOMPARE(TreeChecks(again.tree()),
                 (QStringList{"Quayside/UI", "Quayside/Core+", "Harbour/Docs+"}));
        // Choosing another user shows that user's products instead.
        again.chooseUser(Row(again.users(), QStringLiteral("Admin")));
        QVERIFY(!TopLevelTexts(again.tree()).contains(QStringLiteral("Harbour")));
    }

    void refusedAssignShowsTheEngineMessage() {
        const QString path = freshDatabase();
        const ComPtr<IExeContext> session =
            AdminSession(path, QStringLiteral("No classes"), &IRight::put_AssignClassToUser);
        const LONG quay = StoreProduct(session.Get(), QStringLiteral("Quayside"), {"UI"});
        const LONG user = StoreUserWithRoles(session.Get(), QStringLiteral("ines"), {quay});
        AssignUserDialog dialog(session, messages_);
        dialog.open();
        dialog.chooseUser(Row(dialog.users(), QStringLiteral("ines (name)")));
        CheckChild(dialog.tree(), QStringLiteral("Quayside"), QStringLiteral("UI"));
        dialog.assignButton()->click();
        QCOMPARE(messages_.texts,
                 QStringList{"You have no right to assign classification to user, please contact "
                             "your manager!"});
        QVERIFY(UserClassifications(path, user, quay).isEmpty());
    }

    // A developer of the demo team may neither add products nor assign classifications; each
    // dialog shows the engine's refusal.
    void demoDeveloperIsRefused() {
        const QString path = environment_.DemoDatabase(QStringLiteral("demo.mdb"), 40);
        const ComPtr<IExeContext> session =
            LoginSession(path, QStringLiteral("dokafor"), QStringLiteral("dokafor-demo"));
        QVERIFY(Attempt(
            [&] {
                const ComPtr<IUser> me = Object(session.Get(), &IExeContext::get_CurUser);
                const ComPtr<IRoleSet> roles = Object(me.Get(), &IUser::get_RoleSet);
                // The first of dokafor's roles that may not assign classifications.
                for (LONG i = 0; i < Long(roles.Get(), &IRoleSet::get_Count); ++i) {
                    const ComPtr<IRole> role = Item(roles.Get(), &IRoleSet::get_Item, i);
                    const ComPtr<IRight> right = Object(role.Get(), &IRole::get_Right);
                    if (Long(right.Get(), &IRight::get_AssignClassToUser)) continue;
                    Check(session->SetCurRole(Long(role.Get(), &IRole::get_ID)));
                    return;
                }
                QFAIL("dokafor has no role without the right to assign classifications");
            },
            [](const EngineFailure&) {}));

        ProductSheet sheet(session, messages_);
        sheet.open();
        WalkToRolePage(&sheet, QStringLiteral("Quayside"), QStringLiteral("UI"));
        messages_.texts.clear();
        sheet.button(QWizard::FinishButton)->click();
        QCOMPARE(messages_.texts,
                 QStringList{"You have no right to add product, please contact your manager!"});
        QVERIFY(sheet.isVisible());
        sheet.reject();

        messages_.texts.clear();
        AssignUserDialog dialog(session, messages_);
        dialog.open();
        dialog.chooseUser(Row(dialog.users(), QStringLiteral("Admin")));
        QVERIFY(dialog.tree()->topLevelItemCount() > 0);
        dialog.assignButton()->click();
        QCOMPARE(messages_.texts,
                 QStringList{"You have no right to assign classification to user, please contact "
                             "your manager!"});
        QCOMPARE(ProductNames(path).size(), 3);
    }

    void demoUsersAreListed() {
        const QString path = environment_.DemoDatabase(QStringLiteral("demo.mdb"), 40);
        const ComPtr<IExeContext> session = AdminSession(path);
        AssignUserDialog dialog(session, messages_);
        dialog.open();
        QCOMPARE(dialog.users()->count(), 8); // Admin and the seven demo users
        dialog.chooseUser(Row(dialog.users(), QStringLiteral("Admin")));
        QCOMPARE(TopLevelTexts(dialog.tree()),
                 (QStringList{"Harbor Ledger", "Tidewater Sync", "Beacon Mobile"}));
        QVERIFY(messages_.texts.isEmpty());
    }
};

QTEST_MAIN(AdminDialogsTest)
#include "AdminDialogsTest.moc"
