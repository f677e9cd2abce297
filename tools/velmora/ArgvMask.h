#pragma once
// Keeping a password given inside a server URI on the command line out of the process list:
// the arguments are copied for the program's own use and the password characters in the
// original argument memory (what `ps` and /proc/PID/cmdline show) are overwritten.
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::tool {

// Where the passwords of a server data source sit in its text, as [begin, end) offsets: the
// part after the user name's ':' up to the '@' that ends the user information, and the value
// of every "password=" parameter of the query. None for a file path.
std::vector<std::pair<size_t, size_t>> PasswordSpans(std::string_view dataSource);

// Copies argv[0..argc) and then overwrites every password of every server data source among
// the original arguments with '*', in place. Returns the unchanged copies.
std::vector<std::string> TakeArguments(int argc, char** argv);

} // namespace velmora::tool
