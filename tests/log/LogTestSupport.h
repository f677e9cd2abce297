#pragma once
// Fresh temporary directories and whole-file reads for the log tests.
#include "engine/log/Log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace velmora::log::test {

// A private directory under the system temporary folder, removed with everything in it.
class TempDir {
  public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "velmora-log-XXXXXX");
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }

    const std::filesystem::path& Path() const { return path_; }
    // The directory with a trailing '/', as the log directory is kept.
    std::string WithSlash() const { return path_.string() + "/"; }

  private:
    std::filesystem::path path_;
};

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Points the log at a fresh directory for one test and drops the override afterwards.
class LogDirectoryFixture : public ::testing::Test {
  protected:
    void SetUp() override { SetLogDirectoryForTesting(dir_.WithSlash()); }
    void TearDown() override { SetLogDirectoryForTesting(""); }

    std::filesystem::path LogPath(const std::string& name = kErrorLogFileName) const {
        return dir_.Path() / name;
    }

    TempDir dir_;
};

} // namespace velmora::log::test
