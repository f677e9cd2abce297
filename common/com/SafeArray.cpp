// One-dimensional arrays of automation values. The array owns its elements: strings, variants
// and interface references in it are freed or released when it is destroyed.
#include <velmora/Com.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

#include "VariantTypes.h"

namespace {

// Feature flags describing what the elements own.
constexpr USHORT kHasVarType = 0x0080;
constexpr USHORT kHoldsBstr = 0x0100;
constexpr USHORT kHoldsUnknown = 0x0200;
constexpr USHORT kHoldsDispatch = 0x0400;
constexpr USHORT kHoldsVariant = 0x0800;

USHORT FeaturesFor(VARTYPE vt) {
    switch (vt) {
    case VT_BSTR:
        return kHasVarType | kHoldsBstr;
    case VT_UNKNOWN:
        return kHasVarType | kHoldsUnknown;
    case VT_DISPATCH:
        return kHasVarType | kHoldsDispatch;
    case VT_VARIANT:
        return kHasVarType | kHoldsVariant;
    default:
        return kHasVarType;
    }
}

ULONG Count(const SAFEARRAY* psa) {
    return psa->rgsabound[0].cElements;
}

// Frees or releases what each element owns and leaves the elements zeroed.
HRESULT ReleaseElements(SAFEARRAY* psa) {
    const ULONG count = Count(psa);
    switch (psa->vt) {
    case VT_BSTR: {
        auto* items = static_cast<BSTR*>(psa->pvData);
        for (ULONG i = 0; i < count; ++i)
            SysFreeString(std::exchange(items[i], nullptr));
        break;
    }
    case VT_UNKNOWN:
    case VT_DISPATCH: {
        auto* items = static_cast<IUnknown**>(psa->pvData);
        for (ULONG i = 0; i < count; ++i)
            if (IUnknown* item = std::exchange(items[i], nullptr)) item->Release();
        break;
    }
    case VT_VARIANT: {
        auto* items = static_cast<VARIANT*>(psa->pvData);
        for (ULONG i = 0; i < count; ++i) {
            const HRESULT hr = VariantClear(&items[i]);
            if (FAILED(hr)) return hr;
        }
        break;
    }
    default:
        break;
    }
    return S_OK;
}

// Fills the freshly created (zeroed) copy with copies of the source's elements.
HRESULT CopyElements(const SAFEARRAY* source, SAFEARRAY* copy) {
    const ULONG count = Count(source);
    switch (source->vt) {
    case VT_BSTR: {
        auto* from = static_cast<BSTR*>(source->pvData);
        auto* to = static_cast<BSTR*>(copy->pvData);
        for (ULONG i = 0; i < count; ++i) {
            if (!from[i]) continue;
            to[i] = SysAllocStringByteLen(reinterpret_cast<const char*>(from[i]),
                                          SysStringByteLen(from[i]));
            if (!to[i]) return E_OUTOFMEMORY;
        }
        return S_OK;
    }
    case VT_UNKNOWN:
    case VT_DISPATCH: {
        auto* from = static_cast<IUnknown**>(source->pvData);
        auto* to = static_cast<IUnknown**>(copy->pvData);
        for (ULONG i = 0; i < count; ++i) {
            to[i] = from[i];
            if (to[i]) to[i]->AddRef();
        }
        return S_OK;
    }
    case VT_VARIANT: {
        auto* from = static_cast<VARIANT*>(source->pvData);
        auto* to = static_cast<VARIANT*>(copy->pvData);
        for (ULONG i = 0; i < count; ++i) {
            const HRESULT hr = VariantCopy(&to[i], &from[i]);
            if (FAILED(hr)) return hr;
        }
        return S_OK;
    }
    default:
        if (count) std::memcpy(copy->pvData, source->pvData, size_t(count) * source->cbElements);
        return S_OK;
    }
}

} // namespace

extern "C" {

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements) {
    const ULONG elementSize = velmora::com::ArrayElementSize(vt);
    if (elementSize == 0) return nullptr;
    // Both bounds must be representable: the upper bound is lLbound + cElements - 1.
    const int64_t upper = int64_t(lLbound) + int64_t(cElements) - 1;
    if (upper > std::numeric_limits<LONG>::max() || upper < std::numeric_limits<LONG>::min())
        return nullptr;

    auto* psa = static_cast<SAFEARRAY*>(std::calloc(1, sizeof(SAFEARRAY)));
    if (!psa) return nullptr;
    // Zeroed storage is a valid empty value for every element type (VT_EMPTY for variants).
    psa->pvData = std::calloc(cElements ? cElements : 1, elementSize);
    if (!psa->pvData) {
        std::free(psa);
        return nullptr;
    }
    psa->cDims = 1;
    psa->fFeatures = FeaturesFor(vt);
    psa->cbElements = elementSize;
    psa->cLocks = 0;
    psa->rgsabound[0].cElements = cElements;
    psa->rgsabound[0].lLbound = lLbound;
    psa->vt = vt;
    return psa;
}

HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData) {
    if (!psa || !ppvData) return E_INVALIDARG;
    if (psa->cLocks == std::numeric_limits<ULONG>::max()) return E_UNEXPECTED;
    ++psa->cLocks;
    *ppvData = psa->pvData;
    return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* psa) {
    if (!psa) return E_INVALIDARG;
    if (psa->cLocks == 0) return E_UNEXPECTED;
    --psa->cLocks;
    return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound) {
    if (!psa || !plLbound) return E_INVALIDARG;
    if (nDim != 1) return DISP_E_BADINDEX;
    *plLbound = psa->rgsabound[0].lLbound;
    return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound) {
    if (!psa || !plUbound) return E_INVALIDARG;
    if (nDim != 1) return DISP_E_BADINDEX;
    *plUbound = static_cast<LONG>(int64_t(psa->rgsabound[0].lLbound) + Count(psa) - 1);
    return S_OK;
}

HRESULT SafeArrayGetVartype(SAFEARRAY* psa, VARTYPE* pvt) {
    if (!psa || !pvt) return E_INVALIDARG;
    *pvt = psa->vt;
    return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut) {
    if (!ppsaOut) return E_INVALIDARG;
    *ppsaOut = nullptr;
    if (!psa) return S_OK;
    SAFEARRAY* copy = SafeArrayCreateVector(psa->vt, psa->rgsabound[0].lLbound, Count(psa));
    if (!copy) return E_OUTOFMEMORY;
    const HRESULT hr = CopyElements(psa, copy);
    if (FAILED(hr)) {
        SafeArrayDestroy(copy);
        return hr;
    }
    *ppsaOut = copy;
    return S_OK;
}

HRESULT SafeArrayDestroy(SAFEARRAY* psa) {
    if (!psa) return S_OK;
    if (psa->cLocks > 0) return DISP_E_ARRAYISLOCKED;
    const HRESULT hr = ReleaseElements(psa);
    if (FAILED(hr)) return hr;
    std::free(psa->pvData);
    std::free(psa);
    return S_OK;
}

} // extern "C"
