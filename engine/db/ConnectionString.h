#pragma once
// The one process-wide connection text that opening a database sets and that every engine
// routine opening a connection of its own uses.
#include <string>

namespace velmora::db {

void SetProcessConnectionString(std::string connectionString);
std::string ProcessConnectionString();

// "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<path>;Persist Security Info=False"
std::string MakeConnectionString(const std::string& databasePath);

} // namespace velmora::db
