#pragma once
// The bug editor's "Attachment" page: the files of the bug with name, size, date and the icon of
// their type, and the changes the user makes to them. Adding and deleting only collect pending
// changes (pendingFiles()); the editor's owner applies them once the bug is stored
// (ApplyPendingFiles). Opening and saving a copy work on the stored files at once.
#include <QString>

#include "client/attachments/PendingFiles.h"
#include "client/editor/EditorPage.h"

class QAbstractItemView;
class QAction;
class QActionGroup;
class QFileDialog;
class QItemSelectionModel;
class QListView;
class QMenu;
class QStackedWidget;
class QStandardItemModel;
class QToolBar;
class QTreeView;

namespace tarnwick {

class MessageSink;

class AttachmentPage : public EditorPage {
    Q_OBJECT

  public:
    enum ViewMode { LargeIcons, SmallIcons, List, Detail };
    // Item data of a row's first column: the attachment's ID (0 for a file not stored yet) and
    // the key of its pending entry.
    static constexpr int IdRole = Qt::UserRole;
    static constexpr int KeyRole = Qt::UserRole + 1;

    explicit AttachmentPage(MessageSink& messages, QWidget* parent = nullptr);

    QString title() const override;
    void load(const BugEditorState& state) override;
    // Writes nothing into the bug: the files are changed after the bug is stored.
    void save(const BugEditorState& state) override;
    bool isModified() const override;

    const PendingFiles& pendingFiles() const { return pending_; }
    // The client's date format (strftime-style codes); empty for the locale's short date.
    void setDateFormat(const QString& storedFormat);

    // Adds the file at path as a new row and a pending addition. False without the right to
    // edit attachments or when path is not a readable file.
    bool addFile(const QString& path);
    // Deletes the selected row and its pending entry.
    void deleteSelected();
    // Opens the selected stored file with the desktop's program for it.
    void openSelected();
    // Copies the selected stored file to path, replacing a file there (the file dialog has asked).
    bool saveSelectedAs(const QString& path);
    // The file dialogs of Add file and Save As, opened without blocking; nullptr when the
    // command is not available.
    QFileDialog* chooseFileToAdd();
    QFileDialog* chooseSaveAsPath();

    void setViewMode(ViewMode mode);
    ViewMode viewMode() const { return mode_; }
    // The view showing the rows in the current mode.
    QAbstractItemView* currentView() const;
    void selectRow(int row);

    QStandardItemModel* rows() const { return model_; }
    QToolBar* toolBar() const { return toolBar_; }
    QMenu* contextMenu() const { return menu_; }
    QAction* addFileAction() const { return add_; }
    QAction* openAction() const { return open_; }
    QAction* saveAsAction() const { return saveAs_; }
    QAction* deleteAction() const { return delete_; }
    QAction* viewModeAction(ViewMode mode) const;

  private:
    void buildActions();
    void appendRow(int key, LONG id, const QString& name, qint64 size, DATE date);
    QString dateText(DATE date) const;
    int selectedRow() const;
    LONG selectedId() const;
    // The stored file with the ID from the bug's file set, or nullptr.
    ComPtr<IFile> storedFile(LONG id) const;
    void updateActions();
    void reportFailure(const EngineFailure& failure);

    MessageSink& messages_;
    QStandardItemModel* model_;
    QItemSelectionModel* selection_;
    QTreeView* detailView_;
    QListView* iconView_;
    QStackedWidget* views_;
    QToolBar* toolBar_;
    QMenu* menu_;
    QAction* add_ = nullptr;
    QAction* open_ = nullptr;
    QAction* saveAs_ = nullptr;
    QAction* delete_ = nullptr;
    QAction* openMenu_ = nullptr;
    QAction* saveAsMenu_ = nullptr;
    QAction* modeActions_[4] = {};
    QActionGroup* modes_ = nullptr;
    ViewMode mode_ = Detail;

    bool loaded_ = false;
    bool canEdit_ = false;
    ComPtr<IFileSet> files_;
    PendingFiles pending_;
    QString dateFormat_;
};

} // namespace tarnwick
