#pragma once
// A product with its list of versions.
#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

// Not built yet: every member answers E_NOTIMPL.
class CProduct : public CoClass<IProductStub, classes::Product> {};

} // namespace velmora::engine
