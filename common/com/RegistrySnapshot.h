#pragma once
// The registry as object creation sees it: parsed once per version of the file and shared, so
// that creating many objects does not read the file each time.
#include <functional>
#include <memory>
#include <optional>

#include "Registry.h"

namespace velmora::com::registry {

// The current contents of the registry file (an empty registry when there is none). Fails like
// Load. A file replaced by Update or edited in place is noticed on the next call.
HRESULT CurrentSnapshot(std::shared_ptr<const Registry>* out);

// Asks the registries in turn, the user's file first, then the system-wide one (see
// SystemRegistryFilePath): `answer` gives std::nullopt when the registry it is shown does not
// answer, and the next one is asked. Gives `unanswered` when none does. A file that has to be
// read and cannot be fails the lookup like Load; a corrupt user file is never skipped. Without a
// home directory (and without $VELMORA_REGISTRY) only the system-wide file is asked.
HRESULT LookUp(const std::function<std::optional<HRESULT>(const Registry&)>& answer,
               HRESULT unanswered);

} // namespace velmora::com::registry
