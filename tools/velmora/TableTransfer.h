#pragma once
// Moving one table's rows from one database to another through the data layer alone, so the
// same code serves a file and a server on either side, and reading a table's digest to check
// the result. Every failure is a db::DbError.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "RowDigest.h"

namespace velmora::db {
class Connection;
}

namespace velmora::tool {

// Told the number of rows done so far; may be empty.
using RowsDone = std::function<void(uint64_t done)>;

// The size of the pieces a large value is read and written in.
constexpr int32_t kPieceBytes = 1 << 20;

// The table's columns, in the order SELECT * gives them.
std::vector<std::string> TableColumns(db::Connection& connection, const std::string& table);

uint64_t CountRows(db::Connection& connection, const std::string& table);

// Whether the column holds contents that can be far too large to hold at once (the files of
// attachments): those are read and written in pieces.
bool IsStreamedColumn(const std::string& table, const std::string& column);

// A column name as the statement text needs it: in double quotes, since some names are keywords
// ("Read", "Add") or hold a space ("IE Version").
std::string QuotedName(const std::string& name);

struct CopiedRows {
    uint64_t rows = 0;
    uint64_t streamedBytes = 0; // bytes of the streamed columns
};

// Adds every row of the table in from to the same table in to, columns by name. A table with a
// streamed column goes through an updatable set that takes the contents piece by piece; any
// other through one parameterised INSERT per row.
CopiedRows CopyRows(db::Connection& from, db::Connection& to, const std::string& table,
                    const std::vector<std::string>& columns, const RowsDone& progress);

// The row count and checksum of the given columns of the table, streamed columns read in
// pieces.
TableDigest DigestTable(db::Connection& connection, const std::string& table,
                        const std::vector<std::string>& columns, const RowsDone& progress);

} // namespace velmora::tool
