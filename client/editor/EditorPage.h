#pragma once
// One page of the bug editor. The editor hands every page the same state (the session, the bug
// being edited, the right that decides what may change, new or edit mode); a page reads the bug
// the first time it is shown and writes into it only when the editor is accepted, and only if it
// was shown: a page the user never opened leaves its properties as they are.
#include <QWidget>

#include "client/adapter/EngineCall.h"

namespace tarnwick {

// What every page of one editor run shares.
struct BugEditorState {
    enum Mode { New = 0, Edit = 1 };

    ComPtr<IExeContext> session;
    // The bug being edited; for a new one a newly created Bug object.
    ComPtr<IBug> bug;
    // The session's current right, or a new Right object with its initial values.
    ComPtr<IRight> right;
    Mode mode = New;
};

class EditorPage : public QWidget {
    Q_OBJECT

  public:
    using QWidget::QWidget;

    // The tab caption ("General", "Report", ...).
    virtual QString title() const = 0;
    // Fills the page from the bug. Called once, the first time the page is shown; raises
    // EngineFailure when the engine refuses a read.
    virtual void load(const BugEditorState& state) = 0;
    // Writes the page's values into the bug; called on OK for loaded pages only. Raises
    // EngineFailure with the engine's message when a value is refused.
    virtual void save(const BugEditorState& state) = 0;
    // Whether the user changed anything since load (the editor asks before discarding).
    virtual bool isModified() const = 0;

  signals:
    // The user changed something on the page.
    void modified();
};

} // namespace tarnwick
