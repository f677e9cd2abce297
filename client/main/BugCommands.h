#pragma once
// Report Bug, Report Feature and Edit: the bug editor on a new or the selected bug. The editor
// stays open until its bug is stored: a refusal leaves the user's input in place, a colleague's
// change made meanwhile is merged, and the files collected on the Attachment page are stored
// after the bug, deletions first.
#include <QObject>
#include <QPointer>
#include <QString>

#include "client/adapter/EngineCall.h"
#include "client/main/Workspace.h"

class QWidget;

namespace tarnwick {

class AttachmentPage;
class BugListView;
class BugSheet;
class ClientConfig;
class MessageSink;
class PendingFiles;

class BugCommands : public QObject {
    Q_OBJECT
  public:
    BugCommands(Workspace workspace, MessageSink& messages, const ClientConfig& config,
                QWidget* window);

    // Each opens the editor and returns at once; the editor is open until the user closes it.
    void reportBug(IExeContext* session);
    void reportFeature(IExeContext* session);
    void edit(IExeContext* session);

    // The open editor, or null.
    BugSheet* editor() const;

  signals:
    // A text for the status bar (a colleague's changes kept, files stored).
    void notice(const QString& text);
    // A bug was stored; the window shows the selection again.
    void bugStored();

  private:
    struct EditorPages;
    void report(IExeContext* session, bool feature);
    BugSheet* openEditor(IExeContext* session, const QString& caption);
    // Adds bug through list; returns the stored bug or null (the list showed why).
    ComPtr<IBug> addThrough(BugListView* list, IBug* bug, bool feature);
    // Stores the pending files of the editor's Attachment page on the stored bug, then closes
    // the editor.
    enum class FileChanges { All, AdditionsOnly };
    void storeFilesAndClose(IBug* stored, BugListView* list,
                            FileChanges changes = FileChanges::All);

    Workspace workspace_;
    MessageSink& messages_;
    const ClientConfig& config_;
    QWidget* window_;
    QPointer<BugSheet> editor_;
    AttachmentPage* attachments_ = nullptr;
};

} // namespace tarnwick
