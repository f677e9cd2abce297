#pragma once
// The properties a fuzz target checks beyond "no crash": when one is broken the process stops
// with a message, so that libFuzzer keeps the input as a crash and the corpus replay fails.
#include <string>

namespace velmora::fuzz {

[[noreturn]] void FuzzFailure(const char* file, int line, const std::string& what);

} // namespace velmora::fuzz

#define FUZZ_CHECK(condition, what)                                                                \
    do {                                                                                           \
        if (!(condition)) ::velmora::fuzz::FuzzFailure(__FILE__, __LINE__, (what));                \
    } while (false)
