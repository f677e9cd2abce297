// Creation of objects by class: the registry maps names to class identifiers and class
// identifiers to the library that serves them; the library's class factory makes the object.
#include <velmora/ComSupport.h>

#include <cstring>

#include "RegistrySnapshot.h"
#include "ServerLibraries.h"

namespace velmora::com {
namespace {

constexpr const char* kClassesRoot = "HKEY_CLASSES_ROOT\\";
// How many CurVer links are followed from a version-independent name.
constexpr int kMaxCurVerLinks = 4;

std::string ClassKey(REFCLSID clsid) {
    return kClassesRoot + std::string("CLSID\\") + GuidToString(clsid);
}

std::string NarrowText(LPCOLESTR text) {
    size_t length = 0;
    while (text[length] != 0)
        ++length;
    return ToUtf8(text, length);
}

// A name that can be looked up as one key: no separators, no control characters.
bool IsPlausibleProgID(const std::string& name) {
    if (name.empty() || name.find('\\') != std::string::npos) return false;
    for (const char c : name)
        if (static_cast<unsigned char>(c) < 0x20) return false;
    return true;
}

// The class a name stands for in one registry, or std::nullopt when that registry does not know
// the name (its CurVer links are followed within the same registry).
std::optional<HRESULT> ResolveProgID(const registry::Registry& reg, std::string name,
                                     CLSID* clsid) {
    for (int link = 0; link <= kMaxCurVerLinks; ++link) {
        const std::string key = kClassesRoot + name;
        if (const auto text = reg.GetValue(key + "\\CLSID", ""))
            return GuidFromString(*text, clsid) ? S_OK : CO_E_CLASSSTRING;
        const auto current = reg.GetValue(key + "\\CurVer", "");
        if (!current) return link == 0 ? std::nullopt : std::optional<HRESULT>(CO_E_CLASSSTRING);
        if (!IsPlausibleProgID(*current)) break;
        name = *current;
    }
    return CO_E_CLASSSTRING;
}

// Runs a call into a server library; an exception escaping from it is reported as a failure
// instead of unwinding through the caller.
template <class Call> HRESULT Guarded(Call call) {
    try {
        return call();
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace
} // namespace velmora::com

using namespace velmora::com;

extern "C" {

HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, CLSID* lpclsid) {
    if (!lpszProgID || !lpclsid) return E_INVALIDARG;
    try {
        const std::string name = NarrowText(lpszProgID);
        if (!IsPlausibleProgID(name)) return CO_E_CLASSSTRING;
        return registry::LookUp(
            [&](const registry::Registry& reg) { return ResolveProgID(reg, name, lpclsid); },
            CO_E_CLASSSTRING);
    } catch (const std::exception&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* lplpszProgID) {
    if (!lplpszProgID) return E_INVALIDARG;
    *lplpszProgID = nullptr;
    try {
        std::string name;
        const HRESULT hr = registry::LookUp(
            [&](const registry::Registry& reg) -> std::optional<HRESULT> {
                auto value = reg.GetValue(ClassKey(clsid) + "\\ProgID", "");
                if (!value || value->empty()) return std::nullopt;
                name = std::move(*value);
                return S_OK;
            },
            REGDB_E_CLASSNOTREG);
        if (FAILED(hr)) return hr;
        const std::u16string wide = ToUtf16(name);
        auto* copy = static_cast<OLECHAR*>(CoTaskMemAlloc((wide.size() + 1) * sizeof(OLECHAR)));
        if (!copy) return E_OUTOFMEMORY;
        std::memcpy(copy, wide.c_str(), (wide.size() + 1) * sizeof(OLECHAR));
        *lplpszProgID = copy;
        return S_OK;
    } catch (const std::exception&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, void* /*pvReserved*/, REFIID riid,
                         void** ppv) {
    if (!ppv) return E_INVALIDARG;
    *ppv = nullptr;
    // Only in-process servers exist here.
    if (!(dwClsContext & CLSCTX_INPROC_SERVER)) return REGDB_E_CLASSNOTREG;
    LPFNGETCLASSOBJECT getClassObject = nullptr;
    try {
        const std::string serverKey = ClassKey(rclsid) + "\\InprocServer32";
        std::string path;
        HRESULT hr = registry::LookUp(
            [&](const registry::Registry& reg) -> std::optional<HRESULT> {
                if (!reg.HasKey(serverKey)) return std::nullopt;
                path = reg.GetValue(serverKey, "").value_or("");
                return S_OK;
            },
            REGDB_E_CLASSNOTREG);
        if (FAILED(hr)) return hr;
        hr = ServerEntryPoint(path, &getClassObject);
        if (FAILED(hr)) return hr;
    } catch (const std::exception&) {
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = Guarded([&] { return getClassObject(rclsid, riid, ppv); });
    if (SUCCEEDED(hr) && !*ppv) return E_UNEXPECTED;
    if (FAILED(hr)) *ppv = nullptr;
    return hr;
}

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid,
                         void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    ComPtr<IClassFactory> factory;
    HRESULT hr = CoGetClassObject(rclsid, dwClsContext, nullptr, IID_IClassFactory,
                                  reinterpret_cast<void**>(factory.Put()));
    if (FAILED(hr)) return hr;
    hr = Guarded([&] { return factory->CreateInstance(pUnkOuter, riid, ppv); });
    if (SUCCEEDED(hr) && !*ppv) return E_UNEXPECTED;
    if (FAILED(hr)) *ppv = nullptr;
    return hr;
}

} // extern "C"
