// A minimal in-process server: one class, one factory kept for reuse, and the entry point the
// runtime looks up.
#include <atomic>
#include <new>

#include "TestServerApi.h"

namespace {

std::atomic<LONG> liveCounters{0};
std::atomic<LONG> factoryReferences{0};

class Counter final : public ITestCounter {
  public:
    Counter() { ++liveCounters; }
    ~Counter() { --liveCounters; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid != IID_IUnknown && riid != IID_ITestCounter) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        *ppv = static_cast<ITestCounter*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG remaining = --references_;
        if (remaining == 0) delete this;
        return remaining;
    }
    HRESULT STDMETHODCALLTYPE Increment(LONG* value) override {
        if (!value) return E_POINTER;
        *value = ++count_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Fail(LPOLESTR description) override {
        ICreateErrorInfo* create = nullptr;
        if (FAILED(CreateErrorInfo(&create))) return E_FAIL;
        create->SetDescription(description);
        create->SetSource(const_cast<LPOLESTR>(u"Velmora.TestCounter.1"));
        IErrorInfo* info = nullptr;
        if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
            SetErrorInfo(0, info);
            info->Release();
        }
        create->Release();
        return E_FAIL;
    }

  private:
    std::atomic<ULONG> references_{1};
    LONG count_ = 0;
};

class Factory final : public IClassFactory {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid != IID_IUnknown && riid != IID_IClassFactory) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++factoryReferences); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(--factoryReferences); }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* counter = new (std::nothrow) Counter();
        if (!counter) return E_OUTOFMEMORY;
        const HRESULT hr = counter->QueryInterface(riid, ppv);
        counter->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory factory;

} // namespace

extern "C" __attribute__((visibility("default"))) HRESULT
DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (clsid != CLSID_TestCounter) return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(riid, ppv);
}

extern "C" __attribute__((visibility("default"))) void TestServerOutstanding(LONG* objects,
                                                                             LONG* references) {
    *objects = liveCounters;
    *references = factoryReferences;
}
