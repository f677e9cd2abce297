#pragma once
// The classifications of one product, added, changed and removed through it.
#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

// Not built yet: every member answers E_NOTIMPL.
class CClassificationSet : public CoClass<IClassificationSetStub, classes::ClassificationSet> {};

} // namespace velmora::engine
