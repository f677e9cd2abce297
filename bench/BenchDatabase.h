#pragma once
// Builds the benchmark databases: a seed database with one role holding every right and N bugs
// and features with realistic long texts.
#include <string>

namespace velmora::bench {

// Creates path with `bugs` rows in tBugReport (nine in ten are bugs, the rest features), all
// reported in version 0, and role 1 ("Bench", every right) held by Admin. Returns "" or an error.
std::string BuildBenchDatabase(const std::string& path, long bugs);

// A file of `megabytes` MB of text-like data (compresses about as well as source code or logs).
std::string WriteSampleFile(const std::string& path, long megabytes);

} // namespace velmora::bench
