#pragma once
// The registry as object creation sees it: parsed once per version of the file and shared, so
// that creating many objects does not read the file each time.
#include <memory>

#include "Registry.h"

namespace velmora::com::registry {

// The current contents of the registry file (an empty registry when there is none). Fails like
// Load. A file replaced by Update or edited in place is noticed on the next call.
HRESULT CurrentSnapshot(std::shared_ptr<const Registry>* out);

} // namespace velmora::com::registry
