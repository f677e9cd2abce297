// The registry file on disk: where it is, reading it, and replacing it safely under concurrency.
#include "common/com/Registry.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <thread>

#include "TestSupport.h"

namespace {

namespace registry = velmora::com::registry;
using registry::Registry;
using velmora::test::ReadFile;
using velmora::test::ScopedEnv;
using velmora::test::ScopedRegistryFile;

void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(RegistryFile, PathComesFromTheEnvironment) {
    {
        ScopedEnv file("VELMORA_REGISTRY", "/some/where/reg");
        EXPECT_EQ(registry::RegistryFilePath(), "/some/where/reg");
    }
    ScopedEnv noFile("VELMORA_REGISTRY", std::nullopt);
    {
        ScopedEnv config("XDG_CONFIG_HOME", "/cfg");
        EXPECT_EQ(registry::RegistryFilePath(), "/cfg/velmora/registry");
    }
    ScopedEnv home("HOME", "/home/someone");
    {
        ScopedEnv config("XDG_CONFIG_HOME", std::nullopt);
        EXPECT_EQ(registry::RegistryFilePath(), "/home/someone/.config/velmora/registry");
    }
    ScopedEnv relative("XDG_CONFIG_HOME", "relative/dir");
    EXPECT_EQ(registry::RegistryFilePath(), "/home/someone/.config/velmora/registry");
}

TEST(RegistryFile, UpdateWritesWhatLoadReadsCreatingMissingDirectories) {
    velmora::test::TempDir directory;
    const auto path = directory.Path() / "a" / "b" / "registry";
    ScopedEnv file("VELMORA_REGISTRY", path.string());
    Registry reg;
    reg.CreateKey("Stale");
    EXPECT_EQ(registry::Load(&reg), S_OK) << "a missing file is an empty registry";
    EXPECT_TRUE(reg.SubKeys("").empty());

    ASSERT_EQ(registry::Update([](Registry& r) {
                  r.SetValue("HKEY_CLASSES_ROOT\\Velmora.Bug.1", "", "Bug Class");
              }),
              S_OK);
    ASSERT_EQ(registry::Update([](Registry& r) {
                  r.SetValue("HKEY_CLASSES_ROOT\\Velmora.Bug.1\\CLSID", "", "{X}");
              }),
              S_OK);
    ASSERT_EQ(registry::Load(&reg), S_OK);
    EXPECT_EQ(reg.GetValue("HKEY_CLASSES_ROOT\\Velmora.Bug.1", ""), "Bug Class");
    EXPECT_EQ(reg.GetValue("HKEY_CLASSES_ROOT\\Velmora.Bug.1\\CLSID", ""), "{X}");
    EXPECT_NE(ReadFile(path).find("[HKEY_CLASSES_ROOT\\Velmora.Bug.1]"), std::string::npos);
}

TEST(RegistryFile, ReplacementIsAtomicAndLeavesNoTemporaryFiles) {
    ScopedRegistryFile file;
    ASSERT_EQ(registry::Update([](Registry& reg) { reg.CreateKey("First"); }), S_OK);
    chmod(file.File().c_str(), 0640);
    struct stat before {};
    ASSERT_EQ(stat(file.File().c_str(), &before), 0);
    ASSERT_EQ(registry::Update([](Registry& reg) { reg.CreateKey("Second"); }), S_OK);
    struct stat after {};
    ASSERT_EQ(stat(file.File().c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino) << "a new file was renamed into place";
    EXPECT_EQ(after.st_mode & 07777, 0640u) << "permissions are kept";

    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(file.Directory()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"registry", "registry.lock"}));
}

TEST(RegistryFile, FailedChangeOrCorruptFileLeavesTheFileAlone) {
    ScopedRegistryFile file;
    ASSERT_EQ(registry::Update([](Registry& reg) { reg.CreateKey("Kept"); }), S_OK);
    const std::string before = ReadFile(file.File());
    EXPECT_EQ(registry::Update([](Registry& reg) {
                  reg.CreateKey("Lost");
                  throw std::runtime_error("changed my mind");
              }),
              REGDB_E_WRITEREGDB);
    EXPECT_EQ(registry::Update([](Registry& reg) { reg.CreateKey("bad\nname"); }),
              REGDB_E_WRITEREGDB);
    EXPECT_EQ(ReadFile(file.File()), before);

    const std::string garbage = "this is not a registry\n\x01\x02";
    WriteFile(file.File(), garbage);
    Registry reg;
    EXPECT_EQ(registry::Load(&reg), REGDB_E_READREGDB);
    EXPECT_EQ(registry::Update([](Registry& r) { r.CreateKey("K"); }), REGDB_E_READREGDB);
    EXPECT_EQ(ReadFile(file.File()), garbage);
}

TEST(RegistryFile, UnreadableOrUnwritablePathsFail) {
    ScopedRegistryFile file;
    // A directory where the file should be cannot be read (even by root).
    std::filesystem::create_directory(file.File());
    Registry reg;
    EXPECT_EQ(registry::Load(&reg), REGDB_E_READREGDB);

    // A regular file where a directory should be cannot hold the registry.
    const auto blocker = file.Directory() / "blocker";
    WriteFile(blocker, "x");
    ScopedEnv below("VELMORA_REGISTRY", (blocker / "registry").string());
    EXPECT_EQ(registry::Update([](Registry& r) { r.CreateKey("K"); }), REGDB_E_WRITEREGDB);
}

// Two processes write large values, one update each, while this one keeps reading: no update
// is lost, and no reader ever sees a half-written file.
TEST(RegistryFile, ConcurrentWritersInTwoProcessesLoseNothingAndReadersSeeWholeFiles) {
    ScopedRegistryFile file;
    ASSERT_EQ(registry::Update([](Registry& reg) { reg.CreateKey("Start"); }), S_OK);
    constexpr int kKeysPerWriter = 40;
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            for (int i = 0; i < kKeysPerWriter; ++i) {
                const HRESULT hr = registry::Update([&](Registry& reg) {
                    reg.SetValue("Big\\" + std::to_string(c) + "_" + std::to_string(i), "",
                                 std::string(10000, 'x'));
                });
                if (FAILED(hr)) _exit(10);
            }
            _exit(0);
        }
    }
    int failures = 0, reads = 0;
    for (const pid_t child : children) {
        int status = 0;
        pid_t done = 0;
        while ((done = waitpid(child, &status, WNOHANG)) == 0) {
            Registry reg; // an empty or cut file might still parse: check the first key
            if (registry::Load(&reg) != S_OK || !reg.HasKey("Start")) ++failures;
            ++reads;
        }
        ASSERT_EQ(done, child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_GT(reads, 0);
    EXPECT_EQ(failures, 0);
    Registry reg;
    ASSERT_EQ(registry::Load(&reg), S_OK);
    EXPECT_EQ(reg.SubKeys("Big").size(), size_t(2 * kKeysPerWriter));
}

TEST(RegistryFile, ConcurrentWritersInOneProcessLoseNothing) {
    ScopedRegistryFile file;
    std::vector<std::thread> writers;
    std::atomic<int> failures{0};
    for (int t = 0; t < 4; ++t)
        writers.emplace_back([t, &failures] {
            for (int i = 0; i < 10; ++i)
                if (FAILED(registry::Update([&](Registry& reg) {
                        reg.CreateKey("T" + std::to_string(t) + "_" + std::to_string(i));
                    })))
                    ++failures;
        });
    for (auto& writer : writers)
        writer.join();
    EXPECT_EQ(failures, 0);
    Registry reg;
    ASSERT_EQ(registry::Load(&reg), S_OK);
    EXPECT_EQ(reg.SubKeys("").size(), 40u);
}

} // namespace
