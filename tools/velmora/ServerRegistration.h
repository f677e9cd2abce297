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

// Registers (or unregisters) the first candidate that exists; returns the exit status and
// writes one line to stdout on success or to stderr on failure.
int RunServerRegistration(bool unregister);
