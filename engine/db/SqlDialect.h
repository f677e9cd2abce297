#pragma once
// The Access dialect bits that statement texts carry and SQLite does not read natively.
#include <optional>
#include <string>
#include <string_view>

namespace velmora::db {

// The OLE date a date literal's inner text stands for: "m/d/yyyy", "m/d/yyyy h:nn[:ss]" (month
// first, an optional AM/PM), "yyyy-mm-dd[ hh:nn[:ss]]" or a time alone; std::nullopt when the
// text is not a valid date.
std::optional<double> ParseDateLiteral(std::string_view inner);

// Replaces every #date# literal outside string literals, quoted names and comments by its OLE
// date number. A literal that is no valid date throws DbError (statement fault).
std::string TranslateDateLiterals(const std::string& sql);

// The shortest text SQLite reads back as exactly this double (always with a '.' or exponent).
std::string FormatReal(double value);

} // namespace velmora::db
