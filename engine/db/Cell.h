#pragma once
// A stored value exactly as the database holds it, and its mapping to and from Value.
#include "Database.h"

#include <cstdint>
#include <string>

struct sqlite3_stmt;

namespace velmora::db {

enum class Storage { Null, Integer, Real, Text, Blob };

struct Cell {
    Storage storage = Storage::Null;
    int64_t integer = 0;
    double real = 0.0;
    std::string bytes; // Text or Blob content, unless deferred
    // A long Text or Blob that is not kept in memory: its byte length. -1 when not deferred.
    int64_t deferredSize = -1;
    int64_t digest = 0; // ContentDigest of a deferred Text

    bool IsDeferred() const { return deferredSize >= 0; }
};

// What a record set knows about one of its columns.
struct ColumnInfo {
    std::string name;     // as the statement names it
    std::string declType; // declared type of the underlying column ("" for expressions)
    std::string database; // origin of a plain table column; empty for expressions
    std::string table;
    std::string column;
    std::string collation; // collating sequence of the underlying column ("BINARY", "NOCASE")
};

Cell ReadCell(sqlite3_stmt* statement, int column);
void BindCell(sqlite3_stmt* statement, int index, const Cell& cell);
void BindValue(sqlite3_stmt* statement, int index, const Value& value);

// Storage class plus declared type: INTEGER is Int32 (Bool for "YESNO", Byte for "BYTE", Date for
// "DATE" declarations), REAL is Date for "DATE" declarations else Double, TEXT is Text, BLOB is
// Binary. An integer beyond 32 bits reads as Double rather than losing its high bits.
Value CellToValue(const Cell& cell, const std::string& declType);

// What a declared type says about reading stored numbers, worked out once per column so that
// reading a row does not search type names again.
struct NumberReading {
    bool yesNo = false; // integers read as Bool
    bool date = false;  // integers and reals read as Date
    bool byte = false;  // integers 0..255 read as Byte
};
NumberReading NumberReadingOf(const std::string& declType);
// The same as CellToValue(cell, declType) for reading == NumberReadingOf(declType).
Value CellToValue(const Cell& cell, const NumberReading& reading);

// The value as it is written: Bool as 0/1, Byte and Int32 as integers, Date as a real.
Cell ValueToCell(const Value& value);

// SQLite's affinity name for a declared type: "INTEGER", "TEXT", "BLOB", "REAL" or "NUMERIC".
std::string AffinityOf(const std::string& declType);

bool ContainsNoCase(const std::string& text, const std::string& word);
bool EqualsNoCase(const std::string& a, const std::string& b);

} // namespace velmora::db
