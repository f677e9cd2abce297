#pragma once
// The two ways a test reaches its database directly: sqlite3 for a file, libpq for a server URI.
// Each call opens a connection of its own and closes it again, as a separate client would.
#include <string>
#include <vector>

namespace velmora::test::detail {

// What a query's first row held in its first column.
struct FirstCell {
    bool row = false;  // the query returned a row
    bool null = false; // ... whose first column was NULL
    std::string value; // as text or as raw bytes, as asked
};

// Runs each statement in turn; "" on success, else the message and the failing statement.
std::string FileExecute(const std::string& path, const std::string& sql);
std::string ServerExecute(const std::string& uri, const std::string& sql);

// `parameter`, when given, is bound as bytes to the placeholder ?1. Throws std::runtime_error.
FirstCell FileQuery(const std::string& path, const std::string& sql, bool asBytes,
                    const std::string* parameter);
FirstCell ServerQuery(const std::string& uri, const std::string& sql, bool asBytes,
                      const std::string* parameter);

// Every row, each column as text ("NULL" for a NULL). Throws std::runtime_error.
using Rows = std::vector<std::vector<std::string>>;
Rows FileRows(const std::string& path, const std::string& sql);
Rows ServerRows(const std::string& uri, const std::string& sql);

} // namespace velmora::test::detail
