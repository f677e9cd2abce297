#pragma once
// A short-lived engine session of the Options dialog, for testing the automatic login and for
// filling its role and product lists. It is never the main window's session: the dialog must be
// able to try another database or another user without touching what the main window has open.
#include <QString>

#include "client/adapter/EngineCall.h"

namespace tarnwick {

class ProbeSession {
  public:
    // Creates an ExeContext, opens databasePath and logs in. Raises EngineFailure.
    //
    // Opening a database also points the engine's one process-wide connection (used by every
    // engine routine that opens a connection of its own, identifier allocation among them) at
    // that file. mainDatabase names the file the main window's session has open, or is empty:
    // when the probe ends, however it ends, the process-wide connection is pointed back at it,
    // so the main session never writes into the file the probe looked at.
    ProbeSession(const QString& databasePath, const QString& loginName, const QString& password,
                 const QString& mainDatabase);
    // Only opens databasePath, logging nobody in: whether a database can be reached at all (a
    // server URI before anyone has chosen a login). Raises EngineFailure.
    ProbeSession(const QString& databasePath, const QString& mainDatabase);
    ProbeSession(const ProbeSession&) = delete;
    ProbeSession& operator=(const ProbeSession&) = delete;

    IExeContext* operator->() const { return session_.object.Get(); }
    IExeContext* Get() const { return session_.object.Get(); }

  private:
    // Destroyed after the session is closed, also when the constructor fails part way.
    struct ProcessDatabase {
        QString probed;
        QString main;
        ~ProcessDatabase();
    };
    struct ClosedSession {
        ComPtr<IExeContext> object;
        ~ClosedSession();
    };

    ProcessDatabase processDatabase_;
    ClosedSession session_;
};

} // namespace tarnwick
