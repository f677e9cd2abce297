#pragma once
// Building statement texts: every text value embedded between single quotes has its own single
// quotes doubled, so a value such as O'Brien is read as text and can never change the statement.
#include <string>
#include <string_view>

namespace velmora::db {

// The value with each ' doubled, for use inside '...'.
std::string EscapeQuotes(std::string_view text);

} // namespace velmora::db
