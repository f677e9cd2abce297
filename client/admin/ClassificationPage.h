#pragma once
// The "Classification" page of the product sheet: the product's classification names with Add,
// Delete and Edit. Changes stay on the page until the sheet is finished; a product needs at least
// one classification.
#include <QPointer>
#include <QWizardPage>

#include "client/admin/ClassificationEntries.h"
#include "client/admin/EnterNameDialog.h"

class QListWidget;
class QPushButton;

namespace tarnwick {
class MessageSink;
}

namespace tarnwick::admin {

class ClassificationPage : public QWizardPage {
    Q_OBJECT
  public:
    explicit ClassificationPage(MessageSink& messages, QWidget* parent = nullptr);

    // Shows the classifications of the set. Raises EngineFailure.
    void load(IClassificationSet* set);
    ClassificationEntries& entries() { return entries_; }
    void refresh();

    // Says "Product must have at least one classification!" and returns false while the list
    // is empty.
    bool check();
    bool validatePage() override { return check(); }

    // "&Add" and "&Edit" open "Enter Name"; "&Delete" asks once.
    void addClassification();
    void editClassification();
    void deleteClassification();

    QListWidget* list() const { return list_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* editButton() const { return edit_; }
    // The open "Enter Name" dialog, null when none is open.
    EnterNameDialog* nameDialog() const { return dialog_; }

  private:
    void openDialog(int editing);
    void takeDialog(int result);
    int selectedEntry() const;

    MessageSink& messages_;
    ClassificationEntries entries_;
    QListWidget* list_;
    QPushButton* add_;
    QPushButton* delete_;
    QPushButton* edit_;
    QPointer<EnterNameDialog> dialog_;
    int editing_ = -1;
};

} // namespace tarnwick::admin
