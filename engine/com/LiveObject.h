#pragma once
// The IUnknown of an engine helper object that answers one interface besides IUnknown
// (enumerators, type information): it counts its own references, deletes itself at the last
// release, and counts as a live object of the library for its whole life, so the library is not
// unloaded while a caller holds it.
#include <atomic>

#include <velmora/Com.h>

#include "engine/com/ModuleState.h"

namespace velmora::engine {

template <class Interface, const IID& kInterfaceId> class LiveObject : public Interface {
  public:
    LiveObject() { ObjectCreated(); }
    virtual ~LiveObject() { ObjectDestroyed(); }
    LiveObject(const LiveObject&) = delete;
    LiveObject& operator=(const LiveObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == kInterfaceId) {
            *ppv = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG remaining = --references_;
        if (remaining == 0) delete this;
        return remaining;
    }

  private:
    std::atomic<ULONG> references_{0};
};

} // namespace velmora::engine
