#include "KeyedRowStore.h"

#include "ContentDigest.h"
#include "ErrorCodes.h"
#include "Statement.h"
#include "WriteScope.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <sqlite3.h>

namespace velmora::db {
namespace {

// Values longer than these stay in the database until they are asked for.
constexpr int64_t kLongBinary = 64 * 1024;
constexpr int64_t kLongText = 64 * 1024;
// Rows fetched by one statement: keeps the statement text and its IN list small.
constexpr size_t kFetchBatch = 500;
// Long binaries travel to and from the database in pieces of this size.
constexpr size_t kBlobPiece = 1024 * 1024;

// Whether sql prepares. The statement prepared here is kept for reading the keys later, where the
// database reuses statements.
bool Prepares(sqlite3* db, const std::string& sql) {
    try {
        Statement probe(db, sql);
        return true;
    } catch (const DbError&) {
        return false;
    }
}

// The statement's row keys in its own order. Without an ORDER BY the rows come in rowid order,
// so that a plain SELECT lists rows in the order they were added.
std::string KeyQuery(const SelectShape& shape, const std::string& keyColumns) {
    std::string rest = shape.fromRest;
    if (!shape.hasOrderBy) {
        const std::string order = " ORDER BY " + shape.reference + ".rowid ";
        if (shape.limitOffset == std::string::npos) {
            rest += order;
        } else {
            rest.insert(shape.limitOffset, order);
        }
    }
    return "SELECT " + keyColumns + " FROM" + rest;
}

bool MayHoldLongBinary(const std::string& declaredType) {
    std::string upper;
    for (char c : declaredType)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const char* kind : {"INT", "REAL", "FLOA", "DOUB", "TEXT", "CHAR", "CLOB", "DATE"})
        if (upper.find(kind) != std::string::npos) return false;
    return true;
}

// Holds a connection's mutex (none when SQLite runs single-threaded) while the values of a
// statement's current row are read without taking it for every value.
class HoldConnection {
  public:
    explicit HoldConnection(sqlite3* db) : mutex_(sqlite3_db_mutex(db)) {
        sqlite3_mutex_enter(mutex_);
    }
    ~HoldConnection() { sqlite3_mutex_leave(mutex_); }
    HoldConnection(const HoldConnection&) = delete;
    HoldConnection& operator=(const HoldConnection&) = delete;

  private:
    sqlite3_mutex* mutex_;
};

// Resets a statement kept for reuse once a read is done with it, so that it holds no lock.
class ResetAfterUse {
  public:
    explicit ResetAfterUse(Statement& statement) : statement_(statement) {}
    ~ResetAfterUse() { statement_.Reset(); }
    ResetAfterUse(const ResetAfterUse&) = delete;
    ResetAfterUse& operator=(const ResetAfterUse&) = delete;

  private:
    Statement& statement_;
};

} // namespace

std::unique_ptr<KeyedRowStore> KeyedRowStore::TryCreate(sqlite3* db, const std::string& sql,
                                                        std::vector<Value> parameters,
                                                        const std::vector<ColumnInfo>& columns,
                                                        bool updatable) {
    const SelectShape shape = AnalyseSelect(sql);
    if (!shape.singleTable || columns.empty()) return nullptr;
    for (const ColumnInfo& column : columns) {
        if (column.column.empty() || !EqualsNoCase(column.table, shape.table) ||
            column.database != columns.front().database) {
            return nullptr;
        }
    }
    // The plain key query serves when the statement's conditions and order name table columns
    // only; an order by a result alias needs the select list as well.
    std::string keyQuery = KeyQuery(shape, shape.reference + ".rowid");
    if (!Prepares(db, keyQuery)) {
        keyQuery = KeyQuery(shape, shape.reference + ".rowid," + shape.selectList);
        if (!Prepares(db, keyQuery)) return nullptr;
    }
    return std::unique_ptr<KeyedRowStore>(
        new KeyedRowStore(db, columns, keyQuery, std::move(parameters), updatable));
}

KeyedRowStore::KeyedRowStore(sqlite3* db, std::vector<ColumnInfo> columns, std::string keyQuery,
                             std::vector<Value> parameters, bool updatable)
    : db_(db), keyQuery_(std::move(keyQuery)), parameters_(std::move(parameters)),
      updatable_(updatable) {
    SetColumns(std::move(columns));
    for (const ColumnInfo& column : columns_)
        direct_.push_back(!MayHoldLongBinary(column.declType));
}

KeyedRowStore::~KeyedRowStore() = default;

std::string KeyedRowStore::QualifiedTable() const {
    return QuoteName(columns_.front().database) + "." + QuoteName(columns_.front().table);
}

// rowid, then per column: the length of a long binary (else NULL) and the value (NULL for a long
// binary). typeof() and length() of a column do not read a binary's content.

std::string KeyedRowStore::RowProjection() const {
    std::string projection = "rowid";
    const std::string limit = std::to_string(kLongBinary);
    for (const ColumnInfo& column : columns_) {
        const std::string name = QuoteName(column.column);
        // Columns declared as numbers or texts cannot hold a long binary in practice: reading
        // them directly keeps page fetches close to the cost of a plain scan.
        if (!MayHoldLongBinary(column.declType)) {
            projection += ", NULL, " + name;
            continue;
        }
        const std::string isLong = "typeof(" + name + ")='blob' AND length(" + name + ")>" + limit;
        projection += ", CASE WHEN " + isLong + " THEN length(" + name + ") END";
        projection += ", CASE WHEN " + isLong + " THEN NULL ELSE " + name + " END";
    }
    return projection;
}

Row KeyedRowStore::ReadRow(sqlite3_stmt* statement) const {
    // With the connection held, the row's values are read without locking it for each one.
    const HoldConnection hold(db_);
    Row row;
    row.id = sqlite3_column_int64(statement, 0);
    row.cells.resize(columns_.size());
    for (size_t i = 0; i < columns_.size(); ++i) {
        const int lengthColumn = static_cast<int>(1 + 2 * i);
        Cell& cell = row.cells[i];
        if (!direct_[i] && sqlite3_column_type(statement, lengthColumn) != SQLITE_NULL) {
            cell.storage = Storage::Blob;
            cell.deferredSize = sqlite3_column_int64(statement, lengthColumn);
            continue;
        }
        sqlite3_value* value = sqlite3_column_value(statement, lengthColumn + 1);
        switch (sqlite3_value_type(value)) {
        case SQLITE_INTEGER:
            cell.storage = Storage::Integer;
            cell.integer = sqlite3_value_int64(value);
            break;
        case SQLITE_FLOAT:
            cell.storage = Storage::Real;
            cell.real = sqlite3_value_double(value);
            break;
        case SQLITE_TEXT: {
            cell.storage = Storage::Text;
            const auto* text = sqlite3_value_text(value);
            const int size = sqlite3_value_bytes(value);
            if (size > kLongText) {
                cell.deferredSize = size;
                cell.digest = ContentDigest(text, static_cast<size_t>(size));
            } else if (text != nullptr) {
                cell.bytes.assign(reinterpret_cast<const char*>(text), static_cast<size_t>(size));
            }
            break;
        }
        case SQLITE_BLOB: {
            cell.storage = Storage::Blob;
            const void* blob = sqlite3_value_blob(value);
            const int size = sqlite3_value_bytes(value);
            if (blob != nullptr) cell.bytes.assign(static_cast<const char*>(blob), size);
            break;
        }
        default:
            break;
        }
    }
    return row;
}

Statement& KeyedRowStore::RangeRead() {
    if (!rangeRead_) {
        rangeRead_ = std::make_unique<Statement>(db_, "SELECT " + RowProjection() + " FROM " +
                                                          QualifiedTable() +
                                                          " WHERE rowid BETWEEN ?1 AND ?2");
    }
    return *rangeRead_;
}

std::vector<int64_t> KeyedRowStore::Run() {
    cache_.Clear();
    Statement keys(db_, keyQuery_);
    keys.BindDerived(parameters_);
    std::vector<int64_t> ids;
    while (keys.Step())
        ids.push_back(keys.ColumnInt64(0));
    return ids;
}

std::vector<int64_t> KeyedRowStore::RunFirst(size_t count) {
    cache_.Clear();
    // The highest key first: a row added after this has a higher one, and the rest of the keys,
    // read later, leave it out.
    {
        Statement highest(db_, "SELECT max(rowid) FROM " + QualifiedTable());
        highestKey_ = highest.Step() && sqlite3_column_type(highest.get(), 0) != SQLITE_NULL
                          ? highest.ColumnInt64(0)
                          : INT64_MIN;
    }
    Statement keys(db_, keyQuery_);
    keys.BindDerived(parameters_);
    std::vector<int64_t> ids;
    while (ids.size() < count && keys.Step())
        ids.push_back(keys.ColumnInt64(0));
    return ids;
}

std::vector<int64_t> KeyedRowStore::RunRest(const std::unordered_set<int64_t>& known) {
    Statement keys(db_, keyQuery_);
    keys.BindDerived(parameters_);
    std::vector<int64_t> ids;
    while (keys.Step()) {
        const int64_t id = keys.ColumnInt64(0);
        if (id <= highestKey_ && !known.contains(id)) ids.push_back(id);
    }
    return ids;
}

const Row* KeyedRowStore::Cached(int64_t id) const {
    return cache_.Find(id);
}

void KeyedRowStore::Fetch(const std::vector<int64_t>& ids, uint64_t page) {
    for (size_t start = 0; start < ids.size(); start += kFetchBatch) {
        const size_t end = std::min(ids.size(), start + kFetchBatch);
        const auto [lowest, highest] = std::minmax_element(ids.begin() + start, ids.begin() + end);
        // A batch whose keys lie close together (the usual case: a list in key order) is read
        // as one range scan, which is much cheaper than looking every key up on its own; rows of
        // the range that are not in the batch are skipped.
        if (*highest - *lowest < static_cast<int64_t>(2 * (end - start))) {
            const std::unordered_set<int64_t> wanted(ids.begin() + start, ids.begin() + end);
            Statement& rows = RangeRead();
            const ResetAfterUse reset(rows);
            sqlite3_bind_int64(rows.get(), 1, *lowest);
            sqlite3_bind_int64(rows.get(), 2, *highest);
            while (rows.Step()) {
                if (wanted.contains(rows.ColumnInt64(0))) cache_.Put(ReadRow(rows.get()), page);
            }
            continue;
        }
        std::string list;
        for (size_t i = start; i < end; ++i) {
            if (!list.empty()) list += ',';
            list += std::to_string(ids[i]);
        }
        Statement rows(db_, "SELECT " + RowProjection() + " FROM " + QualifiedTable() +
                                " WHERE rowid IN (" + list + ")");
        while (rows.Step())
            cache_.Put(ReadRow(rows.get()), page);
    }
}

std::vector<int64_t> KeyedRowStore::LoadPage(const std::vector<int64_t>& ids) {
    const uint64_t page = cache_.BeginPage(ids);
    Fetch(ids, page);
    return cache_.Missing(ids);
}

void KeyedRowStore::Reload(int64_t id) {
    Fetch({id}, cache_.Forget(id));
}

std::unordered_set<int64_t> KeyedRowStore::Matching(const std::string& criterion,
                                                    const std::vector<int64_t>&) {
    return MatchingInTable(criterion);
}

size_t KeyedRowStore::FirstMatching(const std::string& criterion, std::span<const int64_t> ids,
                                    bool ascending) {
    // The database decides which rows match; a condition on the key is a lookup there.
    return FirstMatchingIn(MatchingInTable(criterion), ids, ascending);
}

std::unordered_set<int64_t> KeyedRowStore::MatchingInTable(const std::string& criterion) {
    // The condition sees the record set's columns under the record set's names.
    std::string view = "SELECT rowid AS velmora_key";
    for (const ColumnInfo& column : columns_) {
        view += ", " + QuoteName(column.column) + " AS " + QuoteName(column.name);
    }
    view += " FROM " + QualifiedTable();
    Statement query(db_, "SELECT velmora_key FROM (" + view + ") WHERE (" + criterion + ")");
    std::unordered_set<int64_t> ids;
    while (query.Step())
        ids.insert(query.ColumnInt64(0));
    return ids;
}

Value KeyedRowStore::FullValue(const Row& row, size_t column) {
    const Cell& cell = row.cells.at(column);
    if (!cell.IsDeferred()) return ToValue(cell, column);
    Statement read(db_, "SELECT " + QuoteName(columns_[column].column) + " FROM " +
                            QualifiedTable() + " WHERE rowid=?");
    sqlite3_bind_int64(read.get(), 1, row.id);
    if (!read.Step()) {
        Fail(kErrDeletedRow, "Row handle referred to a deleted row or a row marked for deletion.");
    }
    return ToValue(ReadCell(read.get(), 0), column);
}

std::vector<uint8_t> KeyedRowStore::ReadBytes(const Row& row, size_t column, int64_t offset,
                                              size_t count) {
    const Cell& cell = row.cells.at(column);
    if (!cell.IsDeferred()) {
        const int64_t size = static_cast<int64_t>(cell.bytes.size());
        if (offset >= size) return {};
        const size_t take = static_cast<size_t>(std::min<int64_t>(count, size - offset));
        return std::vector<uint8_t>(cell.bytes.begin() + offset,
                                    cell.bytes.begin() + offset + static_cast<int64_t>(take));
    }
    // Read straight from the stored value, without loading the rest of it.
    const ColumnInfo& info = columns_[column];
    sqlite3_blob* blob = nullptr;
    int rc = sqlite3_blob_open(db_, info.database.c_str(), info.table.c_str(), info.column.c_str(),
                               row.id, 0, &blob);
    if (rc != SQLITE_OK) {
        sqlite3_blob_close(blob);
        FailSqlite(db_, rc);
    }
    const int64_t size = sqlite3_blob_bytes(blob);
    std::vector<uint8_t> bytes;
    if (offset < size) {
        bytes.resize(static_cast<size_t>(std::min<int64_t>(count, size - offset)));
        rc = sqlite3_blob_read(blob, bytes.data(), static_cast<int>(bytes.size()),
                               static_cast<int>(offset));
    }
    sqlite3_blob_close(blob);
    if (rc != SQLITE_OK) FailSqlite(db_, rc);
    return bytes;
}

std::string KeyedRowStore::UnchangedCondition(const Row& original, int firstParameter) const {
    std::string condition;
    int parameter = firstParameter;
    for (size_t i = 0; i < columns_.size(); ++i) {
        const Cell& cell = original.cells[i];
        const std::string name = QuoteName(columns_[i].column);
        std::string p = "?";
        p += std::to_string(parameter);
        if (cell.storage == Storage::Null) {
            condition += " AND " + name + " IS NULL";
            continue;
        }
        ++parameter;
        // A long binary that was not kept is recognised by its length (its content is never
        // loaded whole), a long text by its fingerprint.
        if (cell.IsDeferred() && cell.storage == Storage::Blob) {
            condition += " AND typeof(" + name + ")='blob' AND length(" + name + ")=" + p;
        } else if (cell.IsDeferred()) {
            condition += " AND typeof(" + name + ")='text' AND velmora_digest(" + name + ")=" + p;
        } else {
            // Binary comparison: texts compare without regard to case by default, but a change
            // of case is a change.
            condition += " AND " + name + " IS " + p + " COLLATE BINARY";
        }
    }
    return condition;
}

int KeyedRowStore::BindUnchanged(sqlite3_stmt* statement, const Row& original,
                                 int firstParameter) const {
    int parameter = firstParameter;
    for (const Cell& cell : original.cells) {
        if (cell.storage == Storage::Null) continue;
        if (cell.IsDeferred()) {
            sqlite3_bind_int64(statement, parameter++,
                               cell.storage == Storage::Blob ? cell.deferredSize : cell.digest);
        } else {
            BindCell(statement, parameter++, cell);
        }
    }
    return parameter;
}

void KeyedRowStore::WriteSpools(int64_t rowid, const EditBuffer& edit) {
    // Allocated only when a long binary is written: most rows carry none, and a megabyte
    // cleared for every row written costs more than the write itself.
    std::vector<uint8_t> piece;
    for (size_t i = 0; i < columns_.size(); ++i) {
        const ChunkSpool* spool = edit.spools[i].get();
        if (spool == nullptr || spool->Size() == 0) continue;
        const size_t wanted = static_cast<size_t>(std::min<int64_t>(spool->Size(), kBlobPiece));
        if (piece.size() < wanted) piece.resize(wanted);
        const ColumnInfo& info = columns_[i];
        sqlite3_blob* blob = nullptr;
        int rc = sqlite3_blob_open(db_, info.database.c_str(), info.table.c_str(),
                                   info.column.c_str(), rowid, 1, &blob);
        for (int64_t offset = 0; rc == SQLITE_OK && offset < spool->Size();) {
            const size_t got = spool->ReadAt(offset, piece.data(), piece.size());
            if (got == 0) break;
            rc = sqlite3_blob_write(blob, piece.data(), static_cast<int>(got),
                                    static_cast<int>(offset));
            offset += static_cast<int64_t>(got);
        }
        sqlite3_blob_close(blob);
        if (rc != SQLITE_OK) FailSqlite(db_, rc);
    }
}

int64_t KeyedRowStore::Insert(const EditBuffer& edit) {
    if (!updatable_) FailNotUpdatable();
    std::string names;
    std::string values;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (!edit.Touched(i)) continue;
        if (!names.empty()) {
            names += ", ";
            values += ", ";
        }
        names += QuoteName(columns_[i].column);
        values += edit.spools[i] ? "zeroblob(?)" : "?";
    }
    const std::string sql =
        "INSERT INTO " + QualifiedTable() +
        (names.empty() ? " DEFAULT VALUES" : " (" + names + ") VALUES (" + values + ")") +
        " RETURNING rowid";
    WriteScope scope(db_);
    int64_t rowid = 0;
    {
        Statement insert(db_, sql);
        int parameter = 1;
        for (size_t i = 0; i < columns_.size(); ++i) {
            if (edit.spools[i]) {
                sqlite3_bind_int64(insert.get(), parameter++, edit.spools[i]->Size());
            } else if (edit.values[i]) {
                BindValue(insert.get(), parameter++, *edit.values[i]);
            }
        }
        if (!insert.Step()) Fail(kErrFail, "The new row was not stored.");
        rowid = insert.ColumnInt64(0);
        insert.Run();
    }
    WriteSpools(rowid, edit);
    Reload(rowid);
    scope.Commit();
    return rowid;
}

void KeyedRowStore::Update(const Row& original, const EditBuffer& edit) {
    if (!updatable_) FailNotUpdatable();
    std::string assignments;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (!edit.Touched(i)) continue;
        if (!assignments.empty()) assignments += ", ";
        assignments += QuoteName(columns_[i].column) + (edit.spools[i] ? "=zeroblob(?)" : "=?");
    }
    if (assignments.empty()) return;
    WriteScope scope(db_);
    {
        int parameter = 1;
        for (size_t i = 0; i < columns_.size(); ++i) {
            if (edit.Touched(i)) ++parameter;
        }
        Statement update(db_, "UPDATE " + QualifiedTable() + " SET " + assignments +
                                  " WHERE rowid=?" + std::to_string(parameter) +
                                  UnchangedCondition(original, parameter + 1));
        parameter = 1;
        for (size_t i = 0; i < columns_.size(); ++i) {
            if (edit.spools[i]) {
                sqlite3_bind_int64(update.get(), parameter++, edit.spools[i]->Size());
            } else if (edit.values[i]) {
                BindValue(update.get(), parameter++, *edit.values[i]);
            }
        }
        sqlite3_bind_int64(update.get(), parameter, original.id);
        BindUnchanged(update.get(), original, parameter + 1);
        update.Run();
        if (sqlite3_changes(db_) == 0) FailConcurrency();
    }
    WriteSpools(original.id, edit);
    Reload(original.id);
    scope.Commit();
}

void KeyedRowStore::Remove(const Row& original) {
    if (!updatable_) FailNotUpdatable();
    Statement remove(db_, "DELETE FROM " + QualifiedTable() + " WHERE rowid=?1" +
                              UnchangedCondition(original, 2));
    sqlite3_bind_int64(remove.get(), 1, original.id);
    BindUnchanged(remove.get(), original, 2);
    remove.Run();
    if (sqlite3_changes(db_) == 0) FailConcurrency();
    const int64_t id = original.id; // original may live in the cache
    cache_.Erase(id);
}

} // namespace velmora::db
