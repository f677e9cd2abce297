#include "engine/com/ConnectionPoint.h"

#include <algorithm>

#include "engine/com/Enumerator.h"
#include "engine/com/MemberGuard.h"

namespace velmora::engine {

ConnectionPoint::ConnectionPoint(IConnectionPointContainer* container, const IID& eventIid)
    : container_(container), eventIid_(eventIid) {}

ConnectionPoint::~ConnectionPoint() {
    // Detach first: a sink's Release may call back into this point.
    std::vector<CONNECTDATA> detached;
    detached.swap(connections_);
    for (const CONNECTDATA& connection : detached)
        connection.pUnk->Release();
}

HRESULT ConnectionPoint::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IConnectionPoint) {
        *ppv = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

// The point keeps its container (and so itself) alive while a caller holds it.
ULONG ConnectionPoint::AddRef() {
    return container_->AddRef();
}

ULONG ConnectionPoint::Release() {
    return container_->Release();
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* pIID) {
    if (!pIID) return E_POINTER;
    *pIID = eventIid_;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** ppCPC) {
    if (!ppCPC) return E_POINTER;
    container_->AddRef();
    *ppCPC = container_;
    return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* pUnkSink, DWORD* pdwCookie) {
    if (pdwCookie) *pdwCookie = 0;
    if (!pUnkSink || !pdwCookie) return E_POINTER;
    if (const HRESULT reserved = Guard([&] {
            connections_.reserve(connections_.size() + 1);
            return S_OK;
        });
        FAILED(reserved))
        return reserved;
    const DWORD cookie = nextCookie_++;
    if (nextCookie_ == 0) nextCookie_ = 1; // 0 is never a valid cookie
    pUnkSink->AddRef();
    connections_.push_back(CONNECTDATA{pUnkSink, cookie});
    *pdwCookie = cookie;
    return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD dwCookie) {
    auto found = std::find_if(connections_.begin(), connections_.end(),
                              [dwCookie](const CONNECTDATA& c) { return c.dwCookie == dwCookie; });
    if (found == connections_.end()) return CONNECT_E_NOCONNECTION;
    IUnknown* sink = found->pUnk;
    connections_.erase(found);
    sink->Release();
    return S_OK;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** ppEnum) {
    if (!ppEnum) return E_POINTER;
    *ppEnum = nullptr;
    return Guard([&] {
        auto* enumerator = new ConnectionEnumerator(connections_);
        enumerator->AddRef();
        *ppEnum = enumerator;
        return S_OK;
    });
}

} // namespace velmora::engine
