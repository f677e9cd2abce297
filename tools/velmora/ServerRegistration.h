#pragma once
// `velmora register` and `velmora unregister`: load the engine library and let it write or
// remove its own registration entries.
#include <string>
#include <vector>

// Where the engine library is looked for, in order: $VELMORA_LIBRARY alone when it is set;
// otherwise <program dir>/../lib/libVelmora.so, <program dir>/libVelmora.so and the build
// tree's engine directory (when known).
std::vector<std::string> EngineLibraryCandidates(const std::string& programDir,
                                                 const char* libraryOverride,
                                                 const std::string& buildEngineDir);

// Which registry file the registration goes to.
enum class RegistryScope {
    kUser,   // the file the runtime reads first ($VELMORA_REGISTRY or the user's own)
    kSystem, // the machine's file, read by every user whose own file does not know a class
};

// Registers (or unregisters) the first candidate that exists; returns the exit status and
// writes one line to stdout on success or to stderr on failure. Unregistering from the system
// file removes it, its lock file and its directory once nothing is registered in them.
int RunServerRegistration(bool unregister, RegistryScope scope);

// Makes `directory` (and the missing ones above it) readable by everyone, whatever the umask,
// so that every user can read the file put in it. False (errno set) when it cannot be made.
bool MakeSharedDirectory(const std::string& directory);
