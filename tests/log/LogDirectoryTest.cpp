// Where the log goes: the program's directory when writable, else the per-user state directory.
#include "LogTestSupport.h"
#include "engine/log/LogDirectoryResolution.h"

#include <sys/stat.h>
#include <sys/wait.h>

namespace velmora::log {
namespace {

using detail::LogEnvironment;
using detail::ResolveLogDirectory;
using test::ReadFile;
using test::TempDir;

TEST(ResolveLogDirectory, WritableProgramDirectoryIsUsed) {
    TempDir program;
    EXPECT_EQ(ResolveLogDirectory(program.WithSlash(), {"/unused", "/unused"}),
              program.WithSlash());
    EXPECT_EQ(ResolveLogDirectory(program.Path().string(), {}), program.WithSlash());
}

// A program directory that cannot be written to, whoever runs the test: a path under a file.
std::string UnwritableDirectory(const TempDir& dir) {
    std::ofstream(dir.Path() / "file") << "x";
    return (dir.Path() / "file" / "bin").string() + "/";
}

TEST(ResolveLogDirectory, UnwritableProgramDirectoryFallsBackToXdgStateHome) {
    TempDir program, state;
    const std::string xdg = (state.Path() / "xdg").string();
    const std::string resolved = ResolveLogDirectory(UnwritableDirectory(program), {xdg, "/home"});
    EXPECT_EQ(resolved, xdg + "/velmora/");
    EXPECT_TRUE(std::filesystem::is_directory(resolved));

    struct stat info {};
    ASSERT_EQ(::stat(resolved.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(ResolveLogDirectory, WithoutXdgStateHomeTheHomeStateDirectoryIsUsed) {
    TempDir program, home;
    const std::string expected = home.WithSlash() + ".local/state/velmora/";
    EXPECT_EQ(ResolveLogDirectory(UnwritableDirectory(program), {"", home.Path().string()}),
              expected);
    EXPECT_TRUE(std::filesystem::is_directory(expected));
}

TEST(ResolveLogDirectory, RelativeXdgStateHomeIsIgnored) {
    TempDir program, home;
    EXPECT_EQ(
        ResolveLogDirectory(UnwritableDirectory(program), {"relative/state", home.WithSlash()}),
        home.WithSlash() + ".local/state/velmora/");
}

TEST(ResolveLogDirectory, UnknownProgramDirectoryFallsBack) {
    TempDir state;
    EXPECT_EQ(ResolveLogDirectory("", {state.Path().string(), ""}), state.WithSlash() + "velmora/");
}

TEST(ResolveLogDirectory, ReadOnlyProgramDirectoryFallsBack) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
    TempDir program, state;
    std::filesystem::permissions(program.Path(), std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::owner_exec);
    EXPECT_EQ(ResolveLogDirectory(program.WithSlash(), {state.Path().string(), ""}),
              state.WithSlash() + "velmora/");
}

// The whole road: an entry logged while the program's directory cannot be written lands in the
// fallback directory instead of being lost.
TEST(ResolveLogDirectory, ErrLogIsWrittenToTheFallback) {
    TempDir program, state;
    SetLogDirectoryForTesting(
        ResolveLogDirectory(UnwritableDirectory(program), {state.Path().string(), ""}));
    LogError(0, "CExeContext::Login", "fell back");
    SetLogDirectoryForTesting("");
    EXPECT_NE(ReadFile(state.Path() / "velmora" / "Err.log").find("[Description]: fell back"),
              std::string::npos);
}

TEST(ProgramDirectory, IsTheDirectoryOfTheRunningProgram) {
    const std::string dir = detail::ProgramDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_EQ(std::filesystem::path(dir),
              std::filesystem::read_symlink("/proc/self/exe").parent_path() / "");
}

// Run in a child process, so that the process-wide cache starts empty.
TEST(LogDirectory, IsWorkedOutOnceAndKept) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SetLogDirectoryForTesting("");
        const std::string first = LogDirectory();
        const bool ok = first == ResolveLogDirectory(detail::ProgramDirectory(),
                                                     LogEnvironment::FromProcess()) &&
                        LogDirectory() == first && !first.empty() && first.back() == '/';
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(LogDirectory, TestingOverrideAddsTheSlashAndResets) {
    SetLogDirectoryForTesting("/some/where");
    EXPECT_EQ(LogDirectory(), "/some/where/");
    SetLogDirectoryForTesting("/else/");
    EXPECT_EQ(LogDirectory(), "/else/");
    SetLogDirectoryForTesting("");
    EXPECT_NE(LogDirectory(), "/else/");
}

} // namespace
} // namespace velmora::log
