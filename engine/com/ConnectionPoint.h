#pragma once
// The one connection point of a class with an outgoing event interface. Sinks can be attached
// (Advise) and detached (Unadvise) and are listed by EnumConnections; the engine never calls
// them. The point lives inside its container object and shares its reference count.
#include <vector>

#include <velmora/Com.h>

namespace velmora::engine {

class ConnectionPoint final : public IConnectionPoint {
  public:
    ConnectionPoint(IConnectionPointContainer* container, const IID& eventIid);
    // Releases every sink still attached.
    ~ConnectionPoint();
    ConnectionPoint(const ConnectionPoint&) = delete;
    ConnectionPoint& operator=(const ConnectionPoint&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* pIID) override;
    HRESULT STDMETHODCALLTYPE
    GetConnectionPointContainer(IConnectionPointContainer** ppCPC) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* pUnkSink, DWORD* pdwCookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD dwCookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** ppEnum) override;

    const IID& EventInterface() const { return eventIid_; }
    size_t ConnectionCount() const { return connections_.size(); }

  private:
    IConnectionPointContainer* container_;
    IID eventIid_;
    std::vector<CONNECTDATA> connections_;
    DWORD nextCookie_ = 1;
};

} // namespace velmora::engine
