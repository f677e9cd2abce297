#pragma once
// The class factory of one engine class: creates a new object on every request. Factories live
// for the whole process and are reused; holding one does not keep the library loaded, locking it
// (LockServer) does.
#include <velmora/Com.h>

#include "engine/com/ClassTable.h"

namespace velmora::engine {

class ClassFactory final : public IClassFactory {
  public:
    explicit ClassFactory(const ClassEntry& entry) : entry_(&entry) {}
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    // The factory is never destroyed while the process runs; its count only tells callers
    // something plausible.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid,
                                             void** ppvObject) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) override;

  private:
    const ClassEntry* entry_;
};

} // namespace velmora::engine
