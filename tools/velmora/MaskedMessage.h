#pragma once
// Messages that may quote a data source given on the command line, whichever layer wrote them,
// shown with that data source's password masked.
#include <string>

namespace velmora::tool {

// The message with every occurrence of dataSource replaced by its masked form
// (db::MaskedDataSource); unchanged when dataSource holds no password.
std::string MaskedMessage(std::string message, const std::string& dataSource);

} // namespace velmora::tool
