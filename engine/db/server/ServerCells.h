#pragma once
// Reading the cells of a server's result (text form) as the data layer holds them.
#include "../Cell.h"

#include <libpq-fe.h>

namespace velmora::db {

// The storage a server type stands for: integers (and booleans) as Integer, floating and exact
// numbers as Real, bytea as Blob, everything else as Text.
Storage StorageOfType(Oid type);

// The cell at (row, column) of result, read as storage.
Cell ReadServerCell(const PGresult* result, int row, int column, Storage storage);

// The bytes of bytea's text form ("\x0a1b...").
std::string DecodeBytea(const char* text, size_t length);

} // namespace velmora::db
