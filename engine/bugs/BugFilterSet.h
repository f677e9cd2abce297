#pragma once
// An ordered list of bug filters, optionally split into two groups, and its SQL condition.
#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

// Not built yet: every member answers E_NOTIMPL.
class CBugFilterSet : public CoClass<IBugFilterSetStub, classes::BugFilterSet> {};

} // namespace velmora::engine
