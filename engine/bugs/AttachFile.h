#pragma once
// One file attached to a bug, stored zipped in tAttachment.
#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

// Not built yet: every member answers E_NOTIMPL.
class CAttachFile : public CoClass<IFileStub, classes::File> {};

} // namespace velmora::engine
