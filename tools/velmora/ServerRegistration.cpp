#include "ServerRegistration.h"

#include <dlfcn.h>
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include <velmora/Com.h>

#include "common/com/Registry.h"

namespace {

constexpr const char* kLibraryName = "libVelmora.so";

std::string ProgramDirectory() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : program.parent_path().string();
}

struct LibraryCloser {
    void operator()(void* handle) const { dlclose(handle); }
};
using LibraryHandle = std::unique_ptr<void, LibraryCloser>;

// The system file lives in a directory of its own, made readable by everyone before the engine
// writes it, and handed to the engine as the registry file to use (the engine registers itself
// in whatever file the runtime names).
bool PrepareSystemRegistry() {
    const std::string directory =
        std::filesystem::path(velmora::com::registry::kSystemRegistryFile).parent_path().string();
    if (!MakeSharedDirectory(directory)) {
        std::fprintf(stderr, "velmora: cannot create %s: %s\n", directory.c_str(),
                     std::strerror(errno));
        return false;
    }
    return setenv("VELMORA_REGISTRY", velmora::com::registry::kSystemRegistryFile, 1) == 0;
}

// After unregistering: no empty file, lock file or directory is left behind.
bool TidySystemRegistry() {
    const HRESULT hr = velmora::com::registry::RemoveIfEmpty();
    if (FAILED(hr)) {
        std::fprintf(stderr, "velmora: cannot remove the empty registry file %s (0x%08X)\n",
                     velmora::com::registry::kSystemRegistryFile, static_cast<uint32_t>(hr));
        return false;
    }
    if (hr == S_OK) {
        const std::string directory =
            std::filesystem::path(velmora::com::registry::kSystemRegistryFile)
                .parent_path()
                .string();
        ::rmdir(directory.c_str()); // stays when something else is kept in it
    }
    return true;
}

} // namespace

bool MakeSharedDirectory(const std::string& directory) {
    std::string path;
    for (const auto& part : std::filesystem::path(directory)) {
        path = (std::filesystem::path(path) / part).string();
        if (path == "/") continue;
        if (::mkdir(path.c_str(), 0755) == 0) {
            // mkdir applies the umask; the mode asked for is set explicitly.
            if (::chmod(path.c_str(), 0755) != 0) return false;
        } else if (errno != EEXIST) {
            return false;
        }
    }
    struct stat info {};
    if (::stat(directory.c_str(), &info) != 0) return false;
    if (!S_ISDIR(info.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

std::vector<std::string> EngineLibraryCandidates(const std::string& programDir,
                                                 const char* libraryOverride,
                                                 const std::string& buildEngineDir) {
    if (libraryOverride && *libraryOverride) return {libraryOverride};
    std::vector<std::string> candidates = {programDir + "/../lib/" + kLibraryName,
                                           programDir + "/" + kLibraryName};
    if (!buildEngineDir.empty()) candidates.push_back(buildEngineDir + "/" + kLibraryName);
    return candidates;
}

int RunServerRegistration(bool unregister, RegistryScope scope) {
#ifdef VELMORA_BUILD_ENGINE_DIR
    const std::string buildEngineDir = VELMORA_BUILD_ENGINE_DIR;
#else
    const std::string buildEngineDir;
#endif
    const auto candidates =
        EngineLibraryCandidates(ProgramDirectory(), std::getenv("VELMORA_LIBRARY"), buildEngineDir);
    std::string libraryPath;
    for (const std::string& candidate : candidates) {
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error)) {
            libraryPath = std::filesystem::weakly_canonical(candidate, error).string();
            if (error) libraryPath = candidate;
            break;
        }
    }
    if (libraryPath.empty()) {
        std::fprintf(stderr, "velmora: cannot find the engine library (looked for %s)\n",
                     candidates.front().c_str());
        return 1;
    }

    if (scope == RegistryScope::kSystem && !PrepareSystemRegistry()) return 1;

    LibraryHandle library(dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL));
    if (!library) {
        std::fprintf(stderr, "velmora: cannot load %s: %s\n", libraryPath.c_str(), dlerror());
        return 1;
    }
    const char* entryName = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    auto entry = reinterpret_cast<LPFNREGISTERSERVER>(dlsym(library.get(), entryName));
    if (!entry) {
        std::fprintf(stderr, "velmora: %s does not export %s\n", libraryPath.c_str(), entryName);
        return 1;
    }
    const HRESULT hr = entry();
    const std::string registryFile = velmora::com::registry::RegistryFilePath();
    if (FAILED(hr)) {
        std::fprintf(stderr, "velmora: %s failed (0x%08X) on the registry file %s\n",
                     unregister ? "unregistration" : "registration", static_cast<uint32_t>(hr),
                     registryFile.c_str());
        return 1;
    }
    if (unregister && scope == RegistryScope::kSystem && !TidySystemRegistry()) return 1;
    std::printf("%s %s %s %s\n", unregister ? "Unregistered" : "Registered", libraryPath.c_str(),
                unregister ? "from" : "in", registryFile.c_str());
    return 0;
}
