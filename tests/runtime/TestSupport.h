#pragma once
// Helpers shared by the runtime tests: the temporary directories and environment overrides of the
// engine frame tests, a registry file of the test's own, and an object that counts its
// references.
#include <velmora/Com.h>

#include <atomic>
#include <filesystem>

#include "common/com/Registry.h"
#include "tests/engine_com/TestSupport.h"

namespace velmora::test {

// Points VELMORA_REGISTRY at a file in a fresh directory for the life of the object.
class ScopedRegistryFile {
  public:
    const std::filesystem::path& File() const { return file_; }
    const std::filesystem::path& Directory() const { return directory_.Path(); }

  private:
    TempDir directory_;
    std::filesystem::path file_ = directory_.Path() / "registry";
    ScopedEnv variable_{"VELMORA_REGISTRY", file_.string()};
};

// An object whose reference count the test can read; it is never deleted by Release, so a
// count that drops below its start shows an extra release instead of a crash.
class CountedObject : public IUnknown {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid != IID_IUnknown) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        *ppv = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }
    LONG References() const { return references_; }

  private:
    std::atomic<LONG> references_{1};
};

} // namespace velmora::test
