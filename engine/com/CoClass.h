#pragma once
// The base of every engine class. It gives a class, from its entry in the class table:
//   - reference counting through a non-delegating inner unknown, so that the object can live
//     inside an outer object (aggregation): the interfaces' own QueryInterface, AddRef and
//     Release go to the controlling unknown, which is the outer object's when there is one;
//   - QueryInterface for IUnknown, the class's own interface, IDispatch, ISupportErrorInfo (only
//     for classes that report error information) and IConnectionPointContainer (only for classes
//     with an outgoing event interface);
//   - the IDispatch members: named dispatch and type information of its interface;
//   - its share of the library's live-object count.
//
// A class is declared as
//     class CBug : public CoClass<IBugStub, classes::Bug> { ... };
// and overrides the members of its stub that it implements.
#include <atomic>
#include <memory>
#include <new>

#include <velmora/Com.h>

#include "engine/com/ClassInfo.h"
#include "engine/com/ConnectionPoint.h"
#include "engine/com/Dispatch.h"
#include "engine/com/Enumerator.h"
#include "engine/com/ModuleState.h"
#include "engine/com/TypeInfo.h"
#include "engine/com/generated/DispatchTables.h"

namespace velmora::engine {

template <class Stub, const ClassInfo& kClass>
class CoClass : public Stub, public ISupportErrorInfo, public IConnectionPointContainer {
  public:
    using Interface = typename Stub::Interface;

    CoClass() : inner_(this), controlling_(&inner_) {
        if (HasEventInterface(kClass))
            connectionPoint_ = std::make_unique<ConnectionPoint>(
                static_cast<IConnectionPointContainer*>(this), *kClass.eventIid);
        ObjectCreated();
    }
    virtual ~CoClass() {
        connectionPoint_.reset(); // its sinks are released while the object still counts
        ObjectDestroyed();
    }
    CoClass(const CoClass&) = delete;
    CoClass& operator=(const CoClass&) = delete;

    static constexpr const ClassInfo& Info() { return kClass; }

    // Makes `outer` the controlling unknown. Called once, by the creator, before the object is
    // handed out; a null outer leaves the object on its own.
    void AggregateInto(IUnknown* outer) { controlling_ = outer ? outer : &inner_; }
    // The non-delegating unknown: the object's identity when it is not aggregated, and what the
    // outer object holds when it is.
    IUnknown* InnerUnknown() { return &inner_; }

    // IUnknown, as seen through every interface of the object.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        return controlling_->QueryInterface(riid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return controlling_->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return controlling_->Release(); }

    // IDispatch: named dispatch and type information from the interface's dispatch table.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override {
        if (!pctinfo) return E_POINTER;
        *pctinfo = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID, ITypeInfo** ppTInfo) override {
        return dispatch::GetTypeInfo(DispatchTable(), iTInfo, ppTInfo);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID,
                                            DISPID* rgDispId) override {
        return dispatch::GetIDsOfNames(DispatchTable(), riid, rgszNames, cNames, rgDispId);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD wFlags,
                                     DISPPARAMS* pDispParams, VARIANT* pVarResult,
                                     EXCEPINFO* pExcepInfo, UINT* puArgErr) override {
        return dispatch::Invoke(DispatchTable(), static_cast<IDispatch*>(this), dispIdMember, riid,
                                wFlags, pDispParams, pVarResult, pExcepInfo, puArgErr);
    }

    // ISupportErrorInfo (answered only when the class reports error information).
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override {
        return riid == kClass.iid ? S_OK : S_FALSE;
    }

    // IConnectionPointContainer (answered only by classes with an event interface).
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** ppEnum) override {
        if (!ppEnum) return E_POINTER;
        *ppEnum = nullptr;
        try {
            std::vector<IConnectionPoint*> points;
            if (connectionPoint_) points.push_back(connectionPoint_.get());
            auto* enumerator = new ConnectionPointEnumerator(std::move(points));
            enumerator->AddRef();
            *ppEnum = enumerator;
            return S_OK;
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override {
        if (!ppCP) return E_POINTER;
        *ppCP = nullptr;
        if (!connectionPoint_ || riid != connectionPoint_->EventInterface())
            return CONNECT_E_NOCONNECTION;
        connectionPoint_->AddRef();
        *ppCP = connectionPoint_.get();
        return S_OK;
    }

  private:
    static const dispatch::InterfaceTable& DispatchTable() {
        return dispatch::TableOf<Interface>();
    }

    class NonDelegatingUnknown final : public IUnknown {
      public:
        explicit NonDelegatingUnknown(CoClass* owner) : owner_(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
            return owner_->InternalQueryInterface(riid, ppv);
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return ++owner_->references_; }
        ULONG STDMETHODCALLTYPE Release() override {
            const ULONG remaining = --owner_->references_;
            if (remaining == 0) delete owner_;
            return remaining;
        }

      private:
        CoClass* owner_;
    };

    HRESULT InternalQueryInterface(REFIID riid, void** ppv) {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        auto handOut = [ppv](auto* itf) {
            itf->AddRef();
            *ppv = itf;
            return S_OK;
        };
        if (riid == IID_IUnknown) return handOut(static_cast<IUnknown*>(&inner_));
        if (riid == kClass.iid) return handOut(static_cast<Interface*>(this));
        if (riid == IID_IDispatch) return handOut(static_cast<IDispatch*>(this));
        if (riid == IID_ISupportErrorInfo && kClass.supportsErrorInfo)
            return handOut(static_cast<ISupportErrorInfo*>(this));
        if (riid == IID_IConnectionPointContainer && connectionPoint_)
            return handOut(static_cast<IConnectionPointContainer*>(this));
        return E_NOINTERFACE;
    }

    NonDelegatingUnknown inner_;
    IUnknown* controlling_;
    std::atomic<ULONG> references_{0};
    std::unique_ptr<ConnectionPoint> connectionPoint_;
};

} // namespace velmora::engine
