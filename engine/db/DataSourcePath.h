#pragma once
// The database file a connection string names.
#include <string>

namespace velmora::db {

// The path in "Provider=...;Data Source=<path>;Persist Security Info=False": everything between
// "Data Source=" and the final ";Persist Security Info=" (or the end of the text), so a path may
// itself contain ';'. Keys are matched without regard to case. Throws DbError when the text
// names no data source.
std::string DataSourcePath(const std::string& connectionString);

} // namespace velmora::db
