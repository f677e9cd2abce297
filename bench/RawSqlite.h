#pragma once
// The baseline: the same reads and writes done directly with the SQLite C API.
#include <string>

namespace velmora::bench::raw {

inline constexpr const char* kBugCondition = "(ReportedInVersionID = 0 AND BugType = 0)";

// Keys of the bug list in order, their count, then every column of the last row.
bool OpenCountLast(const std::string& path);
// Every column of every row of the bug list, in order.
bool Walk(const std::string& path);
// Keys ordered by Description, then every column of the first row.
bool SortByText(const std::string& path);
// Keys of the bugs matching two more conditions, and their count.
bool FilterTwoConditions(const std::string& path);
// Reads one bug and rewrites its description.
bool UpdateOne(const std::string& path, int id);
// Adds `count` bugs, each taking its identifier from tNextID under a write lock first.
bool AddMany(const std::string& path, int count);

} // namespace velmora::bench::raw
