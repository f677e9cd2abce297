#pragma once
// One bug report or feature request, detached from its row of tBugReport.
#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

// Not built yet: every member answers E_NOTIMPL.
class CBug : public CoClass<IBugStub, classes::Bug> {};

} // namespace velmora::engine
