#pragma once
// The shared temporary directories and whole-file reads, and a fixture that points the log at a
// fresh directory.
#include "engine/log/Log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/engine_com/TestSupport.h"

namespace velmora::log::test {

using velmora::test::ReadFile;
using velmora::test::TempDir;

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
