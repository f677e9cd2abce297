// Every control a user can reach carries a name a screen reader reads: the main window logged
// in, the login wizard's pages and the small dialogs.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextEdit>

#include "client/dialogs/ChangePasswordDialog.h"
#include "client/dialogs/SelectProductDialog.h"
#include "client/dialogs/SystemInfoDialog.h"
#include "client/login/LoginWizard.h"
#include "client/main/SessionCommands.h"
#include "tests/client_main/MainWindowFixture.h"

namespace tarnwick::test {

namespace {

// The controls under root that have no accessible name, described for the failure message.
QStringList Unnamed(QWidget* root) {
    QStringList unnamed;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        const bool control =
            qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget) ||
            qobject_cast<QComboBox*>(widget) || qobject_cast<QAbstractItemView*>(widget) ||
            qobject_cast<QTextEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget);
        // Line edits inside combo boxes and the views' own scroll machinery speak through
        // their owner.
        if (!control || !widget->isVisibleTo(root) || qobject_cast<QComboBox*>(widget->parent()))
            continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty())
            unnamed.append(
                QStringLiteral("%1 \"%2\" in %3")
                    .arg(QString::fromLatin1(widget->metaObject()->className()),
                         widget->objectName(),
                         QString::fromLatin1(widget->parent()->metaObject()->className())));
    }
    return unnamed;
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT
    ClientTestEnvironment environment_;
    std::unique_ptr<MainWindowFixture> fixture_;

  private slots:
    void init() { fixture_ = std::make_unique<MainWindowFixture>(environment_); }
    void cleanup() {
        fixture_->stop();
        fixture_.reset();
    }

    void everyControlOfTheWindowAndItsDialogsHasAName() {
        fixture_->writeConfig(true, QStringLiteral("mhart"), QStringLiteral("mhart-demo"),
                              QStringLiteral("Harbor Ledger/2.1"));
        MainWindow& window = fixture_->start();
        QStringList unnamed = Unnamed(&window);
        IExeContext* session = window.sessionCommands().session();

        LoginWizard wizard(session, fixture_->messages, &window);
        wizard.show();
        unnamed += Unnamed(&wizard);
        wizard.setField(QStringLiteral("loginName"), QStringLiteral("mhart"));
        wizard.setField(QStringLiteral("password"), QStringLiteral("mhart-demo"));
        wizard.next();
        unnamed += Unnamed(&wizard);
        wizard.reject();

        SystemInfoDialog info(session, fixture_->messages, &window);
        info.open();
        unnamed += Unnamed(&info);
        info.reject();
        ChangePasswordDialog password(fixture_->messages, &window);
        password.open();
        unnamed += Unnamed(&password);
        password.reject();
        SelectProductDialog product(session, fixture_->messages, &window);
        product.open();
        unnamed += Unnamed(&product);
        product.reject();
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral("\n"))));
    }
};

} // namespace tarnwick::test

QTEST_MAIN(tarnwick::test::AccessibilityTest)
#include "AccessibilityTest.moc"
