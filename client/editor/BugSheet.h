#pragma once
// The bug editor: a modal tabbed dialog over one bug. The pages share one BugEditorState; each
// page reads the bug the first time its tab is shown, and on OK every page that was shown writes
// its values into the bug. The editor never stores the bug itself: its owner does, either after
// the dialog was accepted or, with a deferred store, while the dialog waits (finishSave).
#include <QDialog>
#include <QList>

#include "client/editor/EditorPage.h"

class QDialogButtonBox;
class QPushButton;
class QTabWidget;

namespace tarnwick {

class MessageSink;

class BugSheet : public QDialog {
    Q_OBJECT

  public:
    // caption: "New Bug", "New Feature", "Edit Bug" or "Edit Feature".
    BugSheet(ComPtr<IExeContext> session, const QString& caption, MessageSink& messages,
             QWidget* parent = nullptr);

    // Takes the page; its tab is captioned with its title. Pages keep the order of adding.
    void addPage(EditorPage* page);

    // The bug to edit, or none for a new Bug object; the session's current right (a new Right
    // when the session has none).
    void setBug(ComPtr<IBug> bugOrNull, BugEditorState::Mode mode);
    const BugEditorState& state() const { return state_; }
    ComPtr<IBug> bug() const { return state_.bug; }

    // With a deferred store, OK writes the pages and then emits saveRequested() and waits for
    // finishSave() instead of closing.
    void setDeferredStore(bool deferred) { deferredStore_ = deferred; }
    // The owner's answer to saveRequested(): true closes the dialog as accepted, false keeps it
    // open with everything as typed.
    void finishSave(bool stored);
    bool isWaitingForStore() const { return waiting_; }

    // Whether any page that was shown has changes.
    bool anyModified() const;

  public slots:
    // OK: writes the shown pages into the bug; stays open when the engine refuses a value.
    void accept() override;
    // Cancel, Esc and the window's close button: asks before dropping changes.
    void reject() override;
    void done(int result) override;

  signals:
    void saveRequested();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    enum class PageState { NotLoaded, Loaded, Failed };

    void loadPage(int index);
    void setWaiting(bool waiting);
    void restoreSize();
    void rememberSize() const;

    MessageSink& messages_;
    BugEditorState state_;
    QTabWidget* tabs_;
    QDialogButtonBox* buttons_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QList<EditorPage*> pages_;
    QList<PageState> pageStates_;
    bool deferredStore_ = false;
    bool waiting_ = false;
};

} // namespace tarnwick
