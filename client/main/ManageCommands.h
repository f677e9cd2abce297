#pragma once
// Manage > Add Production, Edit Production and Assign User to Classification: the
// administration dialogs on the window's session. Each returns at once; the dialog is open until
// the user closes it, and productsChanged follows one that may have changed what the lists show.
#include <QObject>
#include <QPointer>

#include "client/adapter/EngineCall.h"

class QDialog;
class QWidget;

namespace tarnwick {

class MessageSink;

class ManageCommands : public QObject {
    Q_OBJECT
  public:
    ManageCommands(MessageSink& messages, QWidget* window);

    void addProduction(IExeContext* session);
    void editProduction(IExeContext* session);
    void assignUser(IExeContext* session);

    // The open dialog, or null.
    QDialog* dialog() const;

  signals:
    void productsChanged();

  private:
    // Opens dialog (deleted when closed) unless another one is open.
    void show(QDialog* dialog);

    MessageSink& messages_;
    QWidget* window_;
    QPointer<QDialog> dialog_;
};

} // namespace tarnwick
