#pragma once
// Helpers shared by the runtime, log and engine frame tests: fresh temporary directories,
// environment overrides, and reading the caller's error information.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

#include <velmora/Com.h>
#include <velmora/ComSupport.h>

namespace velmora::test {

// A private directory under the system temporary folder, removed with everything in it.
class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "velmora-frame-XXXXXX");
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored; // a test may have made the directory read-only
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    // The directory with a trailing '/', as the log directory is kept.
    std::string WithSlash() const { return path_.string() + "/"; }

  private:
    std::filesystem::path path_;
};

// Sets (or, with nullopt, removes) an environment variable for the life of the object.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = getenv(name)) old_ = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_.c_str(), old_->c_str(), 1);
        else
            unsetenv(name_.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string name_;
    std::optional<std::string> old_;
};

// The calling thread's error information, taken (and so cleared).
struct CallerError {
    std::string description;
    std::string source;
    GUID guid = GUID_NULL;
};
inline std::optional<CallerError> TakeCallerError() {
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) != S_OK || !info) return std::nullopt;
    CallerError error;
    com::Bstr description, source;
    info->GetDescription(description.Put());
    info->GetSource(source.Put());
    info->GetGUID(&error.guid);
    info->Release();
    error.description = description.Utf8();
    error.source = source.Utf8();
    return error;
}
inline void ClearCallerError() {
    SetErrorInfo(0, nullptr);
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A BSTR for an argument, freed at the end of the full expression's statement.
inline com::Bstr Text(const std::string& utf8) {
    return com::Bstr(utf8);
}

} // namespace velmora::test
