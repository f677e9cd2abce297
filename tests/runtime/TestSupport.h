#pragma once
// Helpers shared by the runtime tests: a private temporary directory, a registry file of the
// test's own, and an object that counts its references.
#include <velmora/Com.h>

#include "common/com/Registry.h"

#include <stdlib.h>

#include <atomic>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

namespace velmora::test {

// A fresh directory under the system temporary folder, removed with everything in it.
class TemporaryDirectory {
  public:
    TemporaryDirectory() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "velmora-rt-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
    ~TemporaryDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Sets (or, given null, unsets) an environment variable for the life of the object.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = getenv(name)) previous_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() {
        if (previous_)
            setenv(name_, previous_->c_str(), 1);
        else
            unsetenv(name_);
    }

  private:
    const char* name_;
    std::optional<std::string> previous_;
};

// Points VELMORA_REGISTRY at a file in a fresh directory for the life of the object.
class ScopedRegistryFile {
  public:
    const std::filesystem::path& File() const { return file_; }
    const std::filesystem::path& Directory() const { return directory_.Path(); }

  private:
    TemporaryDirectory directory_;
    std::filesystem::path file_ = directory_.Path() / "registry";
    ScopedEnvironment variable_{"VELMORA_REGISTRY", file_.c_str()};
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
