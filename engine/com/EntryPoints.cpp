// The functions the library exports: the component runtime finds the class factories through
// DllGetClassObject, `velmora register` / `unregister` call the registration pair, and
// VelmoraEngineVersion tells a program which engine it loaded.
#include <dlfcn.h>

#include <climits>
#include <cstdlib>
#include <string>

#include <velmora/Com.h>

#include "engine/com/ClassTable.h"
#include "engine/com/ModuleState.h"
#include "engine/com/Registration.h"

namespace {

// The full path of this library file, with links resolved; empty when it cannot be found.
std::string ThisLibraryPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ThisLibraryPath), &info) == 0 || !info.dli_fname) return {};
    char resolved[PATH_MAX];
    if (!realpath(info.dli_fname, resolved)) return {};
    return resolved;
}

} // namespace

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    return velmora::engine::GetClassObject(rclsid, riid, ppv);
}

STDAPI DllCanUnloadNow() {
    return velmora::engine::CanUnloadNow();
}

STDAPI DllRegisterServer() {
    try {
        const std::string path = ThisLibraryPath();
        if (path.empty()) return SELFREG_E_CLASS;
        return velmora::engine::RegisterServer(path);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

STDAPI DllUnregisterServer() {
    try {
        return velmora::engine::UnregisterServer();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

// The engine's version ("2.0.0"), for About boxes and diagnostics.
extern "C" __attribute__((visibility("default"))) const char* VelmoraEngineVersion() {
    return VELMORA_ENGINE_VERSION;
}
