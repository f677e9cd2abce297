#include "Cell.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <sqlite3.h>

namespace velmora::db {

bool ContainsNoCase(const std::string& text, const std::string& word) {
    const auto it =
        std::search(text.begin(), text.end(), word.begin(), word.end(), [](char a, char b) {
            return std::toupper(static_cast<unsigned char>(a)) ==
                   std::toupper(static_cast<unsigned char>(b));
        });
    return it != text.end();
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

Cell ReadCell(sqlite3_stmt* statement, int column) {
    Cell cell;
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        cell.storage = Storage::Integer;
        cell.integer = sqlite3_column_int64(statement, column);
        break;
    case SQLITE_FLOAT:
        cell.storage = Storage::Real;
        cell.real = sqlite3_column_double(statement, column);
        break;
    case SQLITE_TEXT: {
        cell.storage = Storage::Text;
        const auto* text = sqlite3_column_text(statement, column);
        const int size = sqlite3_column_bytes(statement, column);
        if (text != nullptr) cell.bytes.assign(reinterpret_cast<const char*>(text), size);
        break;
    }
    case SQLITE_BLOB: {
        cell.storage = Storage::Blob;
        const void* blob = sqlite3_column_blob(statement, column);
        const int size = sqlite3_column_bytes(statement, column);
        if (blob != nullptr) cell.bytes.assign(static_cast<const char*>(blob), size);
        break;
    }
    default:
        break;
    }
    return cell;
}

void BindCell(sqlite3_stmt* statement, int index, const Cell& cell) {
    switch (cell.storage) {
    case Storage::Null:
        sqlite3_bind_null(statement, index);
        break;
    case Storage::Integer:
        sqlite3_bind_int64(statement, index, cell.integer);
        break;
    case Storage::Real:
        sqlite3_bind_double(statement, index, cell.real);
        break;
    case Storage::Text:
        sqlite3_bind_text64(statement, index, cell.bytes.data(), cell.bytes.size(),
                            SQLITE_TRANSIENT, SQLITE_UTF8);
        break;
    case Storage::Blob:
        // A zero-length blob must stay a blob, not become NULL.
        if (cell.bytes.empty()) {
            sqlite3_bind_zeroblob(statement, index, 0);
        } else {
            sqlite3_bind_blob64(statement, index, cell.bytes.data(), cell.bytes.size(),
                                SQLITE_TRANSIENT);
        }
        break;
    }
}

Cell ValueToCell(const Value& value) {
    Cell cell;
    switch (value.kind()) {
    case Value::Kind::Null:
        break;
    case Value::Kind::Int32:
    case Value::Kind::Byte:
    case Value::Kind::Bool:
        cell.storage = Storage::Integer;
        cell.integer = value.kind() == Value::Kind::Bool ? (value.asBool() ? 1 : 0) : value.asInt();
        break;
    case Value::Kind::Double:
    case Value::Kind::Date:
        cell.storage = Storage::Real;
        cell.real = value.asDouble();
        break;
    case Value::Kind::Text:
        cell.storage = Storage::Text;
        cell.bytes = value.asText();
        break;
    case Value::Kind::Binary:
        cell.storage = Storage::Blob;
        cell.bytes.assign(value.asBinary().begin(), value.asBinary().end());
        break;
    }
    return cell;
}

void BindValue(sqlite3_stmt* statement, int index, const Value& value) {
    BindCell(statement, index, ValueToCell(value));
}

NumberReading NumberReadingOf(const std::string& declType) {
    NumberReading reading;
    reading.yesNo = ContainsNoCase(declType, "YESNO");
    reading.date = ContainsNoCase(declType, "DATE");
    reading.byte = ContainsNoCase(declType, "BYTE");
    return reading;
}

Value CellToValue(const Cell& cell, const std::string& declType) {
    return CellToValue(cell, NumberReadingOf(declType));
}

Value CellToValue(const Cell& cell, const NumberReading& reading) {
    switch (cell.storage) {
    case Storage::Null:
        return Value::Null();
    case Storage::Integer:
        if (reading.yesNo) return Value::Bool(cell.integer != 0);
        if (reading.date) return Value::Date(static_cast<double>(cell.integer));
        if (reading.byte && cell.integer >= 0 && cell.integer <= 255) {
            return Value::Byte(static_cast<uint8_t>(cell.integer));
        }
        if (cell.integer < INT32_MIN || cell.integer > INT32_MAX) {
            return Value::Double(static_cast<double>(cell.integer));
        }
        return Value::Int(static_cast<LONG>(cell.integer));
    case Storage::Real:
        return reading.date ? Value::Date(cell.real) : Value::Double(cell.real);
    case Storage::Text:
        return Value::Text(cell.bytes);
    case Storage::Blob:
        return Value::Binary(std::vector<uint8_t>(cell.bytes.begin(), cell.bytes.end()));
    }
    return Value::Null();
}

std::string AffinityOf(const std::string& declType) {
    if (ContainsNoCase(declType, "INT")) return "INTEGER";
    if (ContainsNoCase(declType, "CHAR") || ContainsNoCase(declType, "CLOB") ||
        ContainsNoCase(declType, "TEXT")) {
        return "TEXT";
    }
    if (declType.empty() || ContainsNoCase(declType, "BLOB")) return "BLOB";
    if (ContainsNoCase(declType, "REAL") || ContainsNoCase(declType, "FLOA") ||
        ContainsNoCase(declType, "DOUB")) {
        return "REAL";
    }
    return "NUMERIC";
}

} // namespace velmora::db
