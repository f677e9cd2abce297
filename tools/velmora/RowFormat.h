#pragma once
// Turning rows of texts into the three output forms of the bug list: an aligned table for
// people, RFC 4180 CSV and a JSON array for programs. Dates are written as ISO 8601.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::tool {

// One cell: its text, and how JSON writes it (a number or a date with no value is null).
struct Cell {
    enum class Kind { Text, Number, Date };
    std::string text;
    Kind kind = Kind::Text;
    bool null = false; // an empty date: an empty cell, null in JSON
};

struct Column {
    std::string caption; // table and CSV header
    std::string key;     // JSON member name
};

// "YYYY-MM-DDTHH:MM:SS" of an automation date (days since 30 December 1899, the fraction the
// time of day, to the nearest second); nullopt for 0.0, which means "no date", and for dates
// outside the years 1 to 9999.
std::optional<std::string> IsoDateTime(double date);
// The automation date of a calendar day written "YYYY-MM-DD", or nullopt when the text is not
// such a day.
std::optional<double> ParseIsoDay(std::string_view text);

// A date cell: the ISO date-time, or an empty (null) cell for no date.
Cell DateCell(double date);

// One CSV field: quoted when it holds a comma, quote, CR or LF, with quotes doubled.
std::string CsvField(std::string_view text);
// A JSON string literal with quotes, backslashes and control characters escaped.
std::string JsonString(std::string_view utf8);

std::string FormatCsv(const std::vector<Column>& columns,
                      const std::vector<std::vector<Cell>>& rows);
std::string FormatJson(const std::vector<Column>& columns,
                       const std::vector<std::vector<Cell>>& rows);
// Columns padded to their widest cell (texts at most maxWidth characters; longer ones are cut
// and end in "..."), line breaks and tabs inside cells shown as blanks, dates without seconds.
std::string FormatTable(const std::vector<Column>& columns,
                        const std::vector<std::vector<Cell>>& rows, size_t maxWidth = 40);

} // namespace velmora::tool
