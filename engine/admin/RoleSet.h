#pragma once
// A list of roles through which roles are added, changed and removed.
#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

// Not built yet: every member answers E_NOTIMPL.
class CRoleSet : public CoClass<IRoleSetStub, classes::RoleSet> {};

} // namespace velmora::engine
