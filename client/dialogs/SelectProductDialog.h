#pragma once
// Makes another version of one of the user's products active: a tree of the products of the
// user's roles with their versions.
#include <QDialog>

#include "client/adapter/EngineCall.h"

class QTreeWidget;

namespace tarnwick {

class MessageSink;

class SelectProductDialog : public QDialog {
    Q_OBJECT
  public:
    SelectProductDialog(IExeContext* session, MessageSink& messages, QWidget* parent = nullptr);

    // Fills the tree and shows the dialog. When the products cannot be read the engine's
    // message is shown and the dialog ends as rejected without appearing.
    void open() override;
    // A chosen version becomes active and the dialog closes; a product node asks for a version;
    // with nothing chosen the dialog closes and nothing changes.
    void accept() override;

    // The version made active by the last OK, 0 when none was.
    LONG activatedVersionID() const { return activated_; }
    QTreeWidget* tree() const { return tree_; }

  private:
    void fill();

    IExeContext* session_;
    MessageSink& messages_;
    QTreeWidget* tree_;
    LONG activated_ = 0;
};

} // namespace tarnwick
