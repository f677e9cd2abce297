#include "WorkerSession.h"

#include "WorkerSeed.h"
#include "engine/com/EngineObjects.h"

namespace velmora::stress {

using com::Bstr;

WorkerSession::WorkerSession(const std::string& database, const std::string& login,
                             const std::string& password, LONG versionId)
    : context_(engine::CreateObject<engine::CExeContext>()), versionId_(versionId) {
    Require(context_->OpenAccessDB(Bstr(database).Get()), "OpenAccessDB");
    Require(context_->Login(Bstr(login).Get(), Bstr(password).Get()), "Login " + login);
    Require(context_->SetActiveProduct(versionId), "SetActiveProduct");
    Require(context_->get_CurUserID(&userId_), "CurUserID");
    Require(context_->OpenBugSet(nullptr, bugs_.Put()), "OpenBugSet");
    Require(context_->OpenFeatureSet(nullptr, features_.Put()), "OpenFeatureSet");
}

} // namespace velmora::stress
