#pragma once
// The registry entries of the engine: for each class its ProgID keys, its version-independent
// ProgID key and its CLSID key naming the library; and the type library's own keys.
#include <string>

#include <velmora/Com.h>

namespace velmora::com::registry {
class Registry;
}

namespace velmora::engine {

// Writes every entry into `registry`, naming libraryPath (a full path) as the server. Earlier
// entries of the same keys are replaced as a whole.
void WriteRegistration(com::registry::Registry& registry, const std::string& libraryPath);

// Removes every entry that WriteRegistration writes. The CLSID and TypeLib roots stay.
void RemoveRegistration(com::registry::Registry& registry);

// The same on the registry file, in one locked update; the registry's failure status otherwise.
HRESULT RegisterServer(const std::string& libraryPath);
HRESULT UnregisterServer();

} // namespace velmora::engine
