// Where the log goes: the program's directory when writable, else the per-user state directory.
#include "LogTestSupport.h"
#include "engine/log/LogDirectoryResolution.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora::log {
namespace {

using detail::LogEnvironment;
using detail::ResolveLogDirectory;
using test::ReadFile;
using test::TempDir;

// A program directory that cannot be written to, whoever runs the test: a path under a file.
std::string UnwritableDirectory(const TempDir& dir) {
    std::ofstream(dir.Path() / "file") << "x";
    return (dir.Path() / "file" / "bin").string() + "/";
}

TEST(ResolveLogDirectory, WritableProgramDirectoryIsUsed) {
    TempDir program;
    EXPECT_EQ(ResolveLogDirectory(program.Path().string(), {"/unused", "/unused"}),
              program.WithSlash());
}

// The whole road: an entry logged while the program's directory cannot be written lands in a
// private fallback directory instead of being lost.
TEST(ResolveLogDirectory, UnwritableProgramDirectoryFallsBackToXdgStateHome) {
    TempDir program, state;
    const std::string xdg = (state.Path() / "xdg").string();
    const std::string resolved = ResolveLogDirectory(UnwritableDirectory(program), {xdg, "/home"});
    EXPECT_EQ(resolved, xdg + "/velmora/");
    struct stat info {};
    ASSERT_EQ(::stat(resolved.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    SetLogDirectoryForTesting(resolved);
    LogError(0, "CExeContext::Login", "fell back");
    SetLogDirectoryForTesting("");
    EXPECT_NE(ReadFile(resolved + "Err.log").find("[Description]: fell back"), std::string::npos);
}

TEST(ResolveLogDirectory, WithoutAnAbsoluteXdgStateHomeTheHomeStateDirectoryIsUsed) {
    TempDir program, home;
    const std::string expected = home.WithSlash() + ".local/state/velmora/";
    for (const char* xdg : {"", "relative/state"}) {
        SCOPED_TRACE(xdg);
        EXPECT_EQ(ResolveLogDirectory(UnwritableDirectory(program), {xdg, home.Path().string()}),
                  expected);
    }
    EXPECT_TRUE(std::filesystem::is_directory(expected));
}

TEST(ResolveLogDirectory, UnknownOrReadOnlyProgramDirectoryFallsBack) {
    TempDir program, state;
    const std::string expected = state.WithSlash() + "velmora/";
    EXPECT_EQ(ResolveLogDirectory("", {state.Path().string(), ""}), expected);
    if (::geteuid() == 0) return; // permissions do not bind the superuser
    std::filesystem::permissions(program.Path(), std::filesystem::perms::owner_read |
                                                     std::filesystem::perms::owner_exec);
    EXPECT_EQ(ResolveLogDirectory(program.WithSlash(), {state.Path().string(), ""}), expected);
}

// Run in a child process, so that the process-wide cache starts empty.
TEST(LogDirectory, IsTheProgramsDirectoryWorkedOutOnceAndKept) {
    EXPECT_EQ(std::filesystem::path(detail::ProgramDirectory()),
              std::filesystem::read_symlink("/proc/self/exe").parent_path() / "");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SetLogDirectoryForTesting("");
        const std::string first = LogDirectory();
        const bool ok = first == ResolveLogDirectory(detail::ProgramDirectory(),
                                                     LogEnvironment::FromProcess()) &&
                        LogDirectory() == first && first.back() == '/';
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

} // namespace
} // namespace velmora::log
