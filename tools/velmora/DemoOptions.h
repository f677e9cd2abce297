#pragma once
// The command line of `velmora demo FILE [--bugs N] [--seed S]`.
#include <cstdint>
#include <string>

namespace velmora::demo {

inline constexpr int kDefaultBugCount = 200;
inline constexpr int kMaxBugCount = 100000; // the plan is held in memory

struct DemoOptions {
    std::string file;
    int bugs = kDefaultBugCount; // bugs and features together
    uint64_t seed = 1;
    bool help = false;
};

// args are the words after "demo". Returns an empty text when they are valid, else what is
// wrong with them.
std::string ParseDemoOptions(int argc, char** argv, DemoOptions* options);

} // namespace velmora::demo
