#pragma once
// The four lookup lists a bug's texts are chosen from.
#include "engine/admin/LookupList.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

class CBugPriority : public CLookupList<IBugPriorityStub, classes::BugPriority> {};

class CBugSeverity : public CLookupList<IBugSeverityStub, classes::BugSeverity> {};

class CBugReproductive : public CLookupList<IBugReproductiveStub, classes::BugReproductive> {};

// The statuses a bug may take; as a role's available statuses it can also be emptied.
class CBugStatus : public CLookupList<IBugStatusStub, classes::BugStatus> {
  public:
    HRESULT STDMETHODCALLTYPE Clear() override {
        entries_.clear();
        return S_OK;
    }
};

} // namespace velmora::engine
