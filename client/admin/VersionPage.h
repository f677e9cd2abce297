#pragma once
// The "Version" page of the product sheet: the product's versions with Add, Delete and Edit.
// Changes stay on the page until the sheet is finished.
#include <QPointer>
#include <QWizardPage>

#include "client/admin/AddVersionDialog.h"
#include "client/admin/VersionEntries.h"

class QPushButton;
class QTreeWidget;

namespace tarnwick {
class MessageSink;
}

namespace tarnwick::admin {

class VersionPage : public QWizardPage {
    Q_OBJECT
  public:
    explicit VersionPage(MessageSink& messages, QWidget* parent = nullptr);

    // Shows the product's versions. Raises EngineFailure.
    void load(IProduct* product);
    VersionEntries& entries() { return entries_; }
    // Lists the entries again (after they were applied).
    void refresh();

    // "&Add" and "&Edit" open "Add Version" and take its values when it is accepted.
    void addVersion();
    void editVersion();
    // "&Delete": asks twice for each selected version; any No stops.
    void deleteVersions();

    QTreeWidget* list() const { return list_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* editButton() const { return edit_; }
    // The open "Add Version" dialog, null when none is open.
    AddVersionDialog* versionDialog() const { return dialog_; }

  private:
    void openDialog(int editing);
    void takeDialog(int result);
    QList<int> selectedEntries() const;

    MessageSink& messages_;
    VersionEntries entries_;
    QTreeWidget* list_;
    QPushButton* add_;
    QPushButton* delete_;
    QPushButton* edit_;
    QPointer<AddVersionDialog> dialog_;
    int editing_ = -1; // the entry the open dialog changes, -1 for a new one
};

} // namespace tarnwick::admin
