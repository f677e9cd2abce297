#pragma once
// The measured work done through the object model.
#include <string>

namespace velmora::bench::engine_work {

bool OpenCountLast(const std::string& path);
bool Walk(const std::string& path);
bool SortByText(const std::string& path);
bool FilterTwoConditions(const std::string& path);
// Opens the session and the bug list (untimed), then reads one bug by ID and updates it.
bool PrepareUpdate(const std::string& path);
bool UpdateOne(int id);
bool AddMany(const std::string& path, int count);
// Attaches `file` to bug 1 and restores it to `restored`.
bool AttachAndRestore(const std::string& path, const std::string& file,
                      const std::string& restored);

} // namespace velmora::bench::engine_work
