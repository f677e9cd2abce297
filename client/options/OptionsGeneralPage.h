#pragma once
// The "General" page of the Options dialog: the default database, the automatic login and the
// role or product version made current after it. Its role and product lists are filled on a
// session of their own, never on the main window's.
#include <QFileDialog>
#include <QHash>
#include <QPointer>
#include <QWidget>

#include "client/adapter/EngineCall.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace tarnwick {

class ClientConfig;
class MessageSink;

class OptionsGeneralPage : public QWidget {
    Q_OBJECT
  public:
    explicit OptionsGeneralPage(MessageSink& messages, QWidget* parent = nullptr);

    // The database the main window has open (empty when none); see ProbeSession.
    void setMainDatabase(const QString& path) { mainDatabase_ = path; }

    // Shows the record's fields, enables the controls by the three check boxes and, when a
    // default role or product is set up, fills the lists with the stored choice selected.
    void load(const ClientConfig& config);
    // Writes the controls into the record, disabled ones included.
    void write(ClientConfig& config) const;

    // Empties and refills the three lists from the roles and products of the user named on the
    // page, in the database named there; selectStored selects the stored role or version.
    // An engine failure shows the engine's message and keeps what was filled.
    void fillLists(bool selectStored);
    // Tries what the automatic login will do and tells whether it worked.
    void runTest();
    // Opens the file dialog; a chosen file becomes the database path.
    void browse();

    // True while the lists hold what the database and user now on the page give.
    bool listsFilled() const { return listsFilled_; }
    // The file dialog opened by browse(), while it is open.
    QFileDialog* browseDialog() const { return browseDialog_; }

    QCheckBox* defaultDatabase() const { return defaultDatabase_; }
    QLineEdit* databasePath() const { return databasePath_; }
    QPushButton* browseButton() const { return browse_; }
    QCheckBox* defaultLogin() const { return defaultLogin_; }
    QLineEdit* loginName() const { return loginName_; }
    QLineEdit* password() const { return password_; }
    QCheckBox* savePassword() const { return savePassword_; }
    QCheckBox* defaultRoleOrProduct() const { return defaultRoleOrProduct_; }
    QRadioButton* roleMode() const { return roleMode_; }
    QRadioButton* productMode() const { return productMode_; }
    QListWidget* roleList() const { return roles_; }
    QListWidget* productList() const { return products_; }
    QListWidget* versionList() const { return versions_; }
    QPushButton* testButton() const { return test_; }

  private:
    struct VersionEntry {
        QString name;
        LONG id = 0;
    };

    void applyEnablingChain();
    void forgetFilledLists();
    void onRoleOrProductToggled(bool checked);
    void showVersionsOf(LONG productID);
    void fillFrom(IExeContext* session, bool selectStored);
    bool roleStepApplies() const;

    MessageSink& messages_;
    QString mainDatabase_;

    QCheckBox* defaultDatabase_;
    QLineEdit* databasePath_;
    QPushButton* browse_;
    QCheckBox* defaultLogin_;
    QLineEdit* loginName_;
    QLineEdit* password_;
    QCheckBox* savePassword_;
    QCheckBox* defaultRoleOrProduct_;
    QRadioButton* roleMode_;
    QRadioButton* productMode_;
    QButtonGroup* modes_;
    QListWidget* roles_;
    QListWidget* products_;
    QListWidget* versions_;
    QPushButton* test_;
    QPointer<QFileDialog> browseDialog_;

    // The stored choice, selected when the lists are filled on opening.
    LONG storedRoleID_ = 0;
    LONG storedVersionID_ = 0;
    // Each product's versions as the last filling read them, for choosing another product.
    QHash<LONG, QList<VersionEntry>> versionsByProduct_;
    bool listsFilled_ = false;
    bool loading_ = false;
};

} // namespace tarnwick
