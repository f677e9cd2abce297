#pragma once
// A list of products through which products are added, changed and deleted.
#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

// Not built yet: every member answers E_NOTIMPL.
class CProductSet : public CoClass<IProductSetStub, classes::ProductSet> {};

} // namespace velmora::engine
