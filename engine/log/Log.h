#pragma once
// The engine's error log: dated entries appended to a text file (normally "Err.log") in the log
// directory, and the texts that go into them.
#include <cstdint>
#include <optional>
#include <string>

namespace velmora::db {
class DbError;
}

namespace velmora::log {

// The file every engine failure is logged to.
inline constexpr const char* kErrorLogFileName = "Err.log";

// Directory the log is written to, with a trailing '/': the directory of the running program
// when it is writable, else ${XDG_STATE_HOME:-$HOME/.local/state}/velmora/ (created if missing).
// Worked out on the first call and kept for the life of the process (thread-safe).
std::string LogDirectory();

// Appends one entry to LogDirectory() + fileName. Returns std::nullopt on success, else the file
// system's message; nothing is written then.
std::optional<std::string> AppendEntry(const std::string& fileName, int32_t code,
                                       const std::string& source, const std::string& description);

// Deletes LogDirectory() + fileName. std::nullopt on success; "Can't open <full path>" when no
// file exists there; the file system's message when deleting fails.
std::optional<std::string> ClearLog(const std::string& fileName);

// The text an entry carries when its description is empty: 0 "Unknown Error",
// 1 "Exceed Array's bound", any other code the empty text.
std::string DefaultDescription(int32_t code);

// Appends an entry to Err.log. A failure to log is ignored: it never changes the outcome of the
// operation that logs.
void LogError(int32_t code, const std::string& source, const std::string& message) noexcept;

// LogError with the message ComposeComErrorMessage makes of a caught data-access error.
void LogComError(int32_t code, const std::string& source,
                 const velmora::db::DbError& error) noexcept;

// description + "\t(Source=" + source + ",\tMessage=" + SystemMessage(hresult) + ")".
std::string ComposeComErrorMessage(int32_t hresult, const std::string& description,
                                   const std::string& source);

// The operating system's text for a status code (the classic system message table of the
// component platform); "IDispatch error #n" for the unnamed codes 0x80040200 to 0x8004FFFF, where
// n is the code minus 0x80040200; "Unknown error 0xXXXXXXXX" for any other code.
std::string SystemMessage(int32_t hresult);

// For tests: log to dirWithSlash from now on (a missing trailing '/' is added). An empty text
// drops the override and the cached directory, so the next call works it out again.
void SetLogDirectoryForTesting(const std::string& dirWithSlash);

} // namespace velmora::log
