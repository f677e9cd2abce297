#include "client/options/ProbeSession.h"

namespace tarnwick {

ProbeSession::ProbeSession(const QString& databasePath, const QString& loginName,
                           const QString& password, const QString& mainDatabase)
    : processDatabase_{databasePath, mainDatabase} {
    session_.object = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
    Check(session_.object->OpenAccessDB(ToBstr(databasePath).Get()));
    Check(session_.object->Login(ToBstr(loginName).Get(), ToBstr(password).Get()));
}

ProbeSession::ProbeSession(const QString& databasePath, const QString& mainDatabase)
    : processDatabase_{databasePath, mainDatabase} {
    session_.object = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
    Check(session_.object->OpenAccessDB(ToBstr(databasePath).Get()));
}

ProbeSession::ClosedSession::~ClosedSession() {
    if (object) object->Close();
}

ProbeSession::ProcessDatabase::~ProcessDatabase() {
    if (main.isEmpty() || main == probed) return;
    // A session of its own, opened and closed at once, only to set the process-wide connection;
    // the main session's user, role and version belong to its own object and stay as they are.
    // Even a failed open has set the connection, so there is nothing to report here.
    Attempt(
        [&] {
            const ComPtr<IExeContext> session =
                Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
            session->OpenAccessDB(ToBstr(main).Get());
            session->Close();
        },
        [](const EngineFailure&) {});
}

} // namespace tarnwick
