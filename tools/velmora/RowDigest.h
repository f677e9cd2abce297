#pragma once
// An order-independent fingerprint of a table's rows, computed alike on any two databases to
// tell whether they hold the same rows: each row's values go through a 64-bit hash, and the
// table's checksum is the sum of its rows' hashes modulo 2^64, so the order in which rows are
// read does not matter but every value of every row does.
#include <cstddef>
#include <cstdint>

namespace velmora::db {
class Value;
}

namespace velmora::tool {

// The hash of one row, fed one value after another in column order.
class RowHash {
  public:
    RowHash() = default;

    // A whole value: whether it is null, and otherwise its text (Value::toText()).
    void AddValue(const db::Value& value);

    // A value given in pieces, for contents too large to hold at once: BeginPieces, then any
    // number of Piece calls, then EndPieces. A null value is AddValue(Value::Null()) instead.
    // Pieces hash exactly as the whole value's text would.
    void BeginPieces();
    void Piece(const uint8_t* bytes, size_t size);
    void EndPieces();

    uint64_t Finish() const;

  private:
    void Mix(const void* bytes, size_t size);

    uint64_t state_ = 0xcbf29ce484222325ULL;
    uint64_t pieceLength_ = 0;
};

// The row count and checksum of one table.
struct TableDigest {
    uint64_t rows = 0;
    uint64_t checksum = 0;

    void AddRow(const RowHash& row) {
        ++rows;
        checksum += row.Finish();
    }
    bool operator==(const TableDigest&) const = default;
};

} // namespace velmora::tool
