#pragma once
// "Assign User to Classification": the users, and for the chosen one a tree of the products of
// their roles with each product's classifications, checked where the user is assigned. Assign
// stores the checks.
#include <QDialog>
#include <QMap>

#include "client/adapter/EngineCall.h"

class QListWidget;
class QPushButton;
class QTreeWidget;

namespace tarnwick {
class MessageSink;
}

namespace tarnwick::admin {

class AssignUserDialog : public QDialog {
    Q_OBJECT
  public:
    AssignUserDialog(ComPtr<IExeContext> session, MessageSink& messages, QWidget* parent = nullptr);

    // Lists the users, then shows the dialog. When they cannot be read the engine's message is
    // shown and the dialog ends as rejected without appearing.
    void open() override;

    // Fills the tree for the user at the row of the user list.
    void chooseUser(int row);
    // "&Assign": the checked classifications of every product become the user's.
    void assign();

    QListWidget* users() const { return users_; }
    QTreeWidget* tree() const { return tree_; }
    QPushButton* assignButton() const { return assign_; }
    QPushButton* closeButton() const { return close_; }

  private:
    void fillUsers();
    void fillTree(LONG userID);
    LONG chosenUserID() const;

    ComPtr<IExeContext> session_;
    MessageSink& messages_;
    QMap<LONG, ComPtr<IUser>> userObjects_;
    QListWidget* users_;
    QTreeWidget* tree_;
    QPushButton* assign_;
    QPushButton* close_;
};

} // namespace tarnwick::admin
