#pragma once
// One worker's session, as a client opens it: OpenAccessDB, Login, SetActiveProduct, then the bug
// and feature lists of the active version.
#include <string>

#include <velmora/ComSupport.h>

#include "engine/session/ExeContext.h"

namespace velmora::stress {

class WorkerSession {
  public:
    // Throws std::runtime_error naming the step that failed.
    WorkerSession(const std::string& database, const std::string& login,
                  const std::string& password, LONG versionId);

    engine::CExeContext* Context() const { return context_.Get(); }
    LONG UserId() const { return userId_; }
    LONG VersionId() const { return versionId_; }
    // The bug list (type 0) or the feature list (type 1) of the active version.
    IBugSet* List(LONG bugType) const { return bugType == 0 ? bugs_.Get() : features_.Get(); }

  private:
    com::ComPtr<engine::CExeContext> context_;
    com::ComPtr<IBugSet> bugs_;
    com::ComPtr<IBugSet> features_;
    LONG userId_ = 0;
    LONG versionId_;
};

} // namespace velmora::stress
