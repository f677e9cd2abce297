#include "ServerLibraries.h"

#include <dlfcn.h>

#include <map>
#include <mutex>

namespace velmora::com {
namespace {

struct LoadedLibrary {
    void* handle = nullptr;
    LPFNGETCLASSOBJECT getClassObject = nullptr;
};

// Recursive: loading runs the library's initialisers, which may themselves create objects.
std::recursive_mutex& TableMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

// Never destroyed: the libraries stay loaded until the process ends anyway.
std::map<std::string, LoadedLibrary>& Table() {
    static auto* table = new std::map<std::string, LoadedLibrary>();
    return *table;
}

} // namespace

HRESULT ServerEntryPoint(const std::string& path, LPFNGETCLASSOBJECT* entry) {
    *entry = nullptr;
    if (path.empty()) return CO_E_DLLNOTFOUND;
    std::lock_guard<std::recursive_mutex> guard(TableMutex());
    auto& table = Table();
    auto it = table.find(path);
    if (it == table.end()) {
        void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) return CO_E_DLLNOTFOUND; // a failed load is retried next time
        LoadedLibrary library;
        library.handle = handle;
        library.getClassObject =
            reinterpret_cast<LPFNGETCLASSOBJECT>(::dlsym(handle, "DllGetClassObject"));
        it = table.emplace(path, library).first;
    }
    if (!it->second.getClassObject) return CO_E_ERRORINDLL;
    *entry = it->second.getClassObject;
    return S_OK;
}

} // namespace velmora::com
