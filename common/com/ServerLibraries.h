#pragma once
// The in-process server libraries loaded so far: each path is loaded once per process and stays
// loaded for its life.
#include <velmora/Com.h>

#include <string>

namespace velmora::com {

// Loads the library at path (once) and finds its DllGetClassObject. CO_E_DLLNOTFOUND when it
// cannot be loaded, CO_E_ERRORINDLL when it has no such entry point.
HRESULT ServerEntryPoint(const std::string& path, LPFNGETCLASSOBJECT* entry);

} // namespace velmora::com
