#include "Log.h"
#include "LogDirectoryResolution.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace velmora::log {

namespace detail {

namespace {

std::string WithTrailingSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

bool IsWritableDirectory(const std::string& dir) {
    struct stat info {};
    return !dir.empty() && ::stat(dir.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           ::access(dir.c_str(), W_OK | X_OK) == 0;
}

// Creates dir and its missing parents with mode 0700; existing ones are left as they are.
void MakeDirectories(const std::string& dir) {
    for (size_t pos = 1; pos <= dir.size(); ++pos) {
        if (pos != dir.size() && dir[pos] != '/') continue;
        const std::string prefix = dir.substr(0, pos);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return;
    }
}

std::string HomeFromPasswordDatabase() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry{};
    passwd* result = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &result) != 0 ||
        result == nullptr || result->pw_dir == nullptr)
        return {};
    return result->pw_dir;
}

} // namespace

LogEnvironment LogEnvironment::FromProcess() {
    LogEnvironment env;
    if (const char* state = std::getenv("XDG_STATE_HOME")) env.xdgStateHome = state;
    if (const char* home = std::getenv("HOME")) env.home = home;
    if (env.home.empty()) env.home = HomeFromPasswordDatabase();
    return env;
}

std::string ProgramDirectory() {
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return {};
        if (static_cast<size_t>(length) < buffer.size()) {
            const std::string path(buffer.data(), static_cast<size_t>(length));
            const size_t slash = path.rfind('/');
            return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::string ResolveLogDirectory(const std::string& programDir, const LogEnvironment& env) {
    if (IsWritableDirectory(programDir)) return WithTrailingSlash(programDir);

    std::string stateHome;
    if (!env.xdgStateHome.empty() && env.xdgStateHome.front() == '/')
        stateHome = env.xdgStateHome;
    else if (!env.home.empty())
        stateHome = WithTrailingSlash(env.home) + ".local/state";
    else
        return WithTrailingSlash(programDir); // nowhere better: writing reports the failure

    const std::string fallback = WithTrailingSlash(stateHome) + "velmora/";
    MakeDirectories(fallback);
    return fallback;
}

} // namespace detail

namespace {

std::mutex directoryMutex;
std::optional<std::string> cachedDirectory;

} // namespace

std::string LogDirectory() {
    std::lock_guard lock(directoryMutex);
    if (!cachedDirectory)
        cachedDirectory = detail::ResolveLogDirectory(detail::ProgramDirectory(),
                                                      detail::LogEnvironment::FromProcess());
    return *cachedDirectory;
}

void SetLogDirectoryForTesting(const std::string& dirWithSlash) {
    std::lock_guard lock(directoryMutex);
    if (dirWithSlash.empty())
        cachedDirectory.reset();
    else
        cachedDirectory = detail::WithTrailingSlash(dirWithSlash);
}

} // namespace velmora::log
