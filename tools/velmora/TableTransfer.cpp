#include "TableTransfer.h"

#include <strings.h>

#include <optional>

#include "engine/db/Database.h"

namespace velmora::tool {
namespace {

using db::Connection;
using db::CursorType;
using db::FieldList;
using db::LockType;
using db::Recordset;
using db::Value;

bool SameName(const std::string& a, const char* b) {
    return strcasecmp(a.c_str(), b) == 0;
}

std::string ColumnList(const std::vector<std::string>& columns) {
    std::string list;
    for (const std::string& column : columns)
        list += (list.empty() ? "" : ", ") + QuotedName(column);
    return list;
}

// Reports at most every 256 rows and at the end, so a progress line costs nothing per row.
void Report(const RowsDone& progress, uint64_t done, bool last = false) {
    if (progress && (last || done % 256 == 0)) progress(done);
}

// Copies the streamed column of the current row of from into the pending row of to; returns
// the bytes copied. A content that fits in one piece is set as a value: it needs no spool file.
uint64_t CopyPieces(Recordset& from, Recordset& to, const std::string& column) {
    std::optional<std::vector<uint8_t>> first = from.GetChunk(column, kPieceBytes);
    if (!first) {
        // NULL or empty: the value itself is small, and tells which of the two it is.
        to.SetValue(column, from.GetValue(column));
        return 0;
    }
    std::optional<std::vector<uint8_t>> piece = from.GetChunk(column, kPieceBytes);
    uint64_t bytes = first->size();
    if (!piece || piece->empty()) {
        to.SetValue(column, Value::Binary(std::move(*first)));
        return bytes;
    }
    to.AppendChunk(column, first->data(), first->size());
    first.reset();
    while (piece && !piece->empty()) {
        to.AppendChunk(column, piece->data(), piece->size());
        bytes += piece->size();
        piece = from.GetChunk(column, kPieceBytes);
    }
    return bytes;
}

CopiedRows CopyThroughSet(Connection& from, Connection& to, const std::string& table,
                          const std::vector<std::string>& columns, const RowsDone& progress) {
    Recordset source;
    source.Open("SELECT " + ColumnList(columns) + " FROM " + table, from, CursorType::ForwardOnly,
                LockType::ReadOnly);
    Recordset target;
    target.Open("SELECT * FROM " + table + " WHERE 1=0", to, CursorType::Keyset,
                LockType::Optimistic);
    const FieldList fields(columns);
    CopiedRows copied;
    for (; !source.IsEOF(); source.MoveNext()) {
        target.AddNew();
        for (size_t i = 0; i < columns.size(); ++i) {
            if (IsStreamedColumn(table, columns[i]))
                copied.streamedBytes += CopyPieces(source, target, columns[i]);
            else
                target.SetValue(columns[i], source.GetValue(fields, i));
        }
        target.Update();
        Report(progress, ++copied.rows);
    }
    Report(progress, copied.rows, true);
    return copied;
}

CopiedRows CopyThroughInserts(Connection& from, Connection& to, const std::string& table,
                              const std::vector<std::string>& columns, const RowsDone& progress) {
    // Rows travel several to a statement: on a server every statement is a round trip.
    constexpr size_t kRowsPerInsert = 50;
    constexpr size_t kBytesPerInsert = 1024 * 1024;
    std::string row = "(";
    for (size_t i = 0; i < columns.size(); ++i)
        row += i ? ", ?" : "?";
    row += ")";
    const std::string head = "INSERT INTO " + table + " (" + ColumnList(columns) + ") VALUES ";
    Recordset source;
    source.Open("SELECT " + ColumnList(columns) + " FROM " + table, from, CursorType::ForwardOnly,
                LockType::ReadOnly);
    const FieldList fields(columns);
    std::vector<Value> values;
    size_t rows = 0;
    size_t bytes = 0;
    CopiedRows copied;
    auto flush = [&] {
        if (rows == 0) return;
        std::string insert = head;
        for (size_t r = 0; r < rows; ++r)
            insert += r ? ", " + row : row;
        to.Execute(insert, values);
        copied.rows += rows;
        values.clear();
        rows = 0;
        bytes = 0;
        Report(progress, copied.rows);
    };
    for (; !source.IsEOF(); source.MoveNext()) {
        for (size_t i = 0; i < columns.size(); ++i) {
            values.push_back(source.GetValue(fields, i));
            bytes += values.back().asText().size() + values.back().asBinary().size();
        }
        if (++rows == kRowsPerInsert || bytes >= kBytesPerInsert) flush();
    }
    flush();
    Report(progress, copied.rows, true);
    return copied;
}

// Feeds the streamed column of the current row to the hash piece by piece.
void HashPieces(Recordset& rows, const std::string& column, RowHash& hash) {
    std::optional<std::vector<uint8_t>> piece = rows.GetChunk(column, kPieceBytes);
    if (!piece) {
        hash.AddValue(rows.GetValue(column)); // NULL, or the empty value
        return;
    }
    hash.BeginPieces();
    while (!piece->empty()) {
        hash.Piece(piece->data(), piece->size());
        piece = rows.GetChunk(column, kPieceBytes);
    }
    hash.EndPieces();
}

} // namespace

std::vector<std::string> TableColumns(Connection& connection, const std::string& table) {
    Recordset rows;
    rows.Open("SELECT * FROM " + table + " WHERE 1=0", connection, CursorType::ForwardOnly,
              LockType::ReadOnly);
    std::vector<std::string> columns;
    for (db::LONG i = 0; i < rows.FieldCount(); ++i)
        columns.push_back(rows.FieldName(i));
    return columns;
}

uint64_t CountRows(Connection& connection, const std::string& table) {
    Recordset count;
    count.Open("SELECT COUNT(*) FROM " + table, connection, CursorType::ForwardOnly,
               LockType::ReadOnly);
    return static_cast<uint64_t>(count.GetValue(0).asDouble());
}

bool IsStreamedColumn(const std::string& table, const std::string& column) {
    return SameName(table, "tAttachment") && SameName(column, "FileContent");
}

std::string QuotedName(const std::string& name) {
    std::string quoted = "\"";
    for (const char c : name)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

CopiedRows CopyRows(Connection& from, Connection& to, const std::string& table,
                    const std::vector<std::string>& columns, const RowsDone& progress) {
    for (const std::string& column : columns)
        if (IsStreamedColumn(table, column))
            return CopyThroughSet(from, to, table, columns, progress);
    return CopyThroughInserts(from, to, table, columns, progress);
}

TableDigest DigestTable(Connection& connection, const std::string& table,
                        const std::vector<std::string>& columns, const RowsDone& progress) {
    Recordset rows;
    rows.Open("SELECT " + ColumnList(columns) + " FROM " + table, connection,
              CursorType::ForwardOnly, LockType::ReadOnly);
    const FieldList fields(columns);
    std::vector<bool> streamed;
    for (const std::string& column : columns)
        streamed.push_back(IsStreamedColumn(table, column));
    TableDigest digest;
    for (; !rows.IsEOF(); rows.MoveNext()) {
        RowHash hash;
        for (size_t i = 0; i < columns.size(); ++i) {
            if (streamed[i])
                HashPieces(rows, columns[i], hash);
            else
                hash.AddValue(rows.GetValue(fields, i));
        }
        digest.AddRow(hash);
        Report(progress, digest.rows);
    }
    Report(progress, digest.rows, true);
    return digest;
}

} // namespace velmora::tool
