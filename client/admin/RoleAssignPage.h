#pragma once
// The "Assign to Role" page of the product sheet: every role with a check for those that belong
// to the product. Roles of other products are left out while "Only show not assigned roles" is
// chosen.
#include <QWizardPage>

#include "client/admin/RoleChoices.h"

class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

namespace tarnwick::admin {

class RoleAssignPage : public QWizardPage {
    Q_OBJECT
  public:
    explicit RoleAssignPage(QWidget* parent = nullptr);

    // Lists the roles of the session, checking the product's. Raises EngineFailure.
    void load(IExeContext* session, IProduct* product, LONG productID);
    RoleChoices& choices() { return choices_; }
    void refresh();

    // Checks or unchecks every listed role.
    void checkAll(bool checked);

    QListWidget* list() const { return list_; }
    QRadioButton* onlyFreeRoles() const { return onlyFree_; }
    QRadioButton* allRoles() const { return all_; }
    QPushButton* selectAllButton() const { return selectAll_; }
    QPushButton* selectNoneButton() const { return selectNone_; }

  private:
    void takeCheck(QListWidgetItem* item);

    RoleChoices choices_;
    QListWidget* list_;
    QRadioButton* onlyFree_;
    QRadioButton* all_;
    QPushButton* selectAll_;
    QPushButton* selectNone_;
    bool filling_ = false;
};

} // namespace tarnwick::admin
