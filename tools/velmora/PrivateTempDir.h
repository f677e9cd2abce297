#pragma once
// A directory of our own (mode 0700, a name nobody can guess) under the system temporary
// folder, removed with its contents when the object goes.
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

namespace velmora::tool {

class PrivateTempDir {
  public:
    explicit PrivateTempDir(const char* prefix) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary directory under " +
                                     std::filesystem::temp_directory_path().string());
        path_ = pattern;
    }
    ~PrivateTempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    PrivateTempDir(const PrivateTempDir&) = delete;
    PrivateTempDir& operator=(const PrivateTempDir&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

} // namespace velmora::tool
