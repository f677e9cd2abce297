#pragma once
// The administration object: lists users, roles and products and links them together.
#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

// Not built yet: every member answers E_NOTIMPL.
class CAdmin : public CoClass<IAdminStub, classes::Admin> {};

} // namespace velmora::engine
