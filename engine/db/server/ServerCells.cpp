#include "ServerCells.h"

#include <cstdlib>

namespace velmora::db {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}

} // namespace

Storage StorageOfType(Oid type) {
    switch (type) {
    case 16: // bool
    case 20: // int8
    case 21: // int2
    case 23: // int4
    case 26: // oid
        return Storage::Integer;
    case 700:  // float4
    case 701:  // float8
    case 1700: // numeric
        return Storage::Real;
    case 17: // bytea
        return Storage::Blob;
    default:
        return Storage::Text;
    }
}

std::string DecodeBytea(const char* text, size_t length) {
    std::string bytes;
    if (length >= 2 && text[0] == '\\' && text[1] == 'x') {
        bytes.reserve((length - 2) / 2);
        for (size_t i = 2; i + 1 < length; i += 2)
            bytes += static_cast<char>(HexDigit(text[i]) * 16 + HexDigit(text[i + 1]));
        return bytes;
    }
    size_t size = 0;
    unsigned char* raw = PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &size);
    if (raw != nullptr) {
        bytes.assign(reinterpret_cast<const char*>(raw), size);
        PQfreemem(raw);
    }
    return bytes;
}

Cell ReadServerCell(const PGresult* result, int row, int column, Storage storage) {
    Cell cell;
    if (PQgetisnull(result, row, column)) return cell;
    const char* text = PQgetvalue(result, row, column);
    const auto length = static_cast<size_t>(PQgetlength(result, row, column));
    cell.storage = storage;
    switch (storage) {
    case Storage::Integer:
        cell.integer = text[0] == 't' ? 1 : text[0] == 'f' ? 0 : std::strtoll(text, nullptr, 10);
        break;
    case Storage::Real:
        cell.real = std::strtod(text, nullptr);
        break;
    case Storage::Blob:
        cell.bytes = DecodeBytea(text, length);
        break;
    default:
        cell.bytes.assign(text, length);
        break;
    }
    return cell;
}

} // namespace velmora::db
