#pragma once
// The "Attachment" tab: the files attached to the bug with name, size, date and the icon of
// their type. A double click opens a file with the desktop's program for it.
#include <QTreeWidget>

#include "client/panes/DetailPane.h"

namespace tarnwick {

class AttachmentPane : public DetailPane {
    Q_OBJECT
  public:
    AttachmentPane(DateFormatter formatDate, QWidget* parent = nullptr);
    void showBug(IBug* bug) override;
    QTreeWidget* list() const { return list_; }

  signals:
    // Opening a file failed in the engine.
    void openFailed(const tarnwick::EngineFailure& failure);

  private:
    void openRow(QTreeWidgetItem* row);
    DateFormatter formatDate_;
    QTreeWidget* list_;
    ComPtr<IFileSet> files_;
};

} // namespace tarnwick
