#pragma once
// How the log directory is chosen; the parts are separate so that tests can drive the choice
// with a directory and an environment of their own.
#include <string>

namespace velmora::log::detail {

// The environment variables the fallback directory depends on; empty means unset.
struct LogEnvironment {
    std::string xdgStateHome;
    std::string home;

    // The current process's values; home falls back to the password database when HOME is
    // unset.
    static LogEnvironment FromProcess();
};

// The directory of the running program with a trailing '/', or "" when it cannot be read.
std::string ProgramDirectory();

// programDir (with a trailing '/') when it is a writable directory; otherwise the fallback
// <state>/velmora/ with <state> = env.xdgStateHome when that is an absolute path, else
// env.home + "/.local/state". The fallback is created (mode 0700) when missing; when it cannot
// be created the path is still returned, so that writing reports the file system's message.
std::string ResolveLogDirectory(const std::string& programDir, const LogEnvironment& env);

} // namespace velmora::log::detail
