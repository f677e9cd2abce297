#pragma once
// The scrolling cursor over rows of tBugReport through which bugs are added, changed and deleted.
#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

// Not built yet: every member answers E_NOTIMPL.
class CBugSet : public CoClass<IBugSetStub, classes::BugSet> {};

} // namespace velmora::engine
