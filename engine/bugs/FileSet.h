#pragma once
// The attachments of one bug.
#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

// Not built yet: every member answers E_NOTIMPL.
class CFileSet : public CoClass<IFileSetStub, classes::FileSet> {};

} // namespace velmora::engine
