// Per-thread initialisation of the runtime, and the task allocator. Creation does not depend on
// initialisation (nothing here needs it), but the count is kept so that calls pair as callers
// expect: the first initialisation on a thread answers S_OK, later ones S_FALSE.
#include <velmora/Com.h>

#include <cstdlib>

namespace {
// Hints a caller may add to the apartment model; accepted and ignored.
constexpr DWORD kDisableOle1Dde = 0x4;
constexpr DWORD kSpeedOverMemory = 0x8;

thread_local ULONG initialisations = 0;
} // namespace

extern "C" {

HRESULT CoInitialize(void* pvReserved) {
    return CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED);
}

HRESULT CoInitializeEx(void* pvReserved, DWORD dwCoInit) {
    if (pvReserved) return E_INVALIDARG;
    if (dwCoInit & ~DWORD(COINIT_APARTMENTTHREADED | kDisableOle1Dde | kSpeedOverMemory))
        return E_INVALIDARG;
    return initialisations++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    if (initialisations > 0) --initialisations;
}

void* CoTaskMemAlloc(size_t cb) {
    return std::malloc(cb ? cb : 1);
}

void CoTaskMemFree(void* pv) {
    std::free(pv);
}

} // extern "C"
