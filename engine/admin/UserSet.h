#pragma once
// A list of users through which users are added, changed and removed.
#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

// Not built yet: every member answers E_NOTIMPL.
class CUserSet : public CoClass<IUserSetStub, classes::UserSet> {};

} // namespace velmora::engine
