#pragma once
// The server baseline: the same reads and writes as RawSqlite, done directly with libpq on a
// server database made by the engine's schema. There the tables are named in lower case and the
// columns quoted with their letter case ("BugID"); texts are citext and dates double precision.
#include <string>

namespace velmora::bench::raw_pq {

inline constexpr const char* kBugCondition = "(\"ReportedInVersionID\" = 0 AND \"BugType\" = 0)";

// Keys of the bug list in order, their count, then every column of the last row.
bool OpenCountLast(const std::string& uri);
// Every column of every row of the bug list, in order, streamed a row at a time.
bool Walk(const std::string& uri);
// Keys ordered by Description, then every column of the first row.
bool SortByText(const std::string& uri);
// Keys of the bugs matching two more conditions, and their count.
bool FilterTwoConditions(const std::string& uri);
// Connects and reads the keys of the bug list (untimed, as the engine's list is opened
// untimed); then reads one bug and rewrites its description.
bool PrepareUpdate(const std::string& uri);
bool UpdateOne(int id);
// Adds `count` bugs, each taking its identifier from tNextID under the writers' lock first.
bool AddMany(const std::string& uri, int count);
// Deflates `file` (zlib level 6) into a new row of tAttachment for bug 1, sent a piece at a time
// by COPY, then reads it back in slices and inflates it to `restored`.
bool AttachAndRestore(const std::string& uri, const std::string& file, const std::string& restored);

} // namespace velmora::bench::raw_pq
