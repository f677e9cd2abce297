#include "ServerStores.h"

#include "../ErrorCodes.h"
#include "../SelectShape.h"
#include "../SqlDialect.h"
#include "ServerCells.h"

#include <algorithm>
#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace velmora::db {
namespace {

// Values longer than this stay on the server until they are asked for.
constexpr int64_t kLong = 64 * 1024;

// The 64-bit fingerprint of a long text, worked out by the server.
std::string Digest(const std::string& column) {
    return "('x' || substr(md5(" + column + "::text), 1, 16))::bit(64)::bigint";
}

int64_t ReadInteger(const PGresult* result, int row, int column) {
    return std::strtoll(PQgetvalue(result, row, column), nullptr, 10);
}

std::string ExactReal(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

// The value a held cell compares with, as text for the cast that goes with its storage.
Value CellParameter(const Cell& cell) {
    switch (cell.storage) {
    case Storage::Integer:
        return Value::Text(std::to_string(cell.integer));
    case Storage::Real:
        return Value::Text(ExactReal(cell.real));
    case Storage::Blob:
        return Value::Binary(std::vector<uint8_t>(cell.bytes.begin(), cell.bytes.end()));
    default:
        return Value::Text(cell.bytes);
    }
}

std::string Placeholder(std::vector<Value>& values, Value value) {
    values.push_back(std::move(value));
    return "$" + std::to_string(values.size());
}

std::string IdArray(const std::vector<int64_t>& ids) {
    std::string list = "{";
    for (const int64_t id : ids) {
        if (list.size() > 1) list += ',';
        list += std::to_string(id);
    }
    return list + "}";
}

bool MayBeLong(Storage storage) {
    return storage == Storage::Text || storage == Storage::Blob;
}

} // namespace

const char* ServerCastOf(Storage storage) {
    switch (storage) {
    case Storage::Integer:
        return "::bigint";
    case Storage::Real:
        return "::float8";
    case Storage::Blob:
        return "::bytea";
    default:
        return "::citext";
    }
}

// ---------------------------------------------------------------------------------------------
// Keyed store

namespace {

// Works out whether sql can be served by key: a plain SELECT whose columns all come from one
// table with a key, and the query of its keys.
std::shared_ptr<const KeyedPlan> MakePlan(ServerDatabase& db, const std::string& sql,
                                          size_t parameterCount) {
    auto plan = std::make_shared<KeyedPlan>();
    const SelectShape shape = AnalyseSelect(sql);
    if (!shape.singleTable) return plan;
    const ServerCatalog& catalog = db.Catalog();
    const ServerTable* table = catalog.TableByName(shape.table);
    if (table == nullptr || table->key.empty()) return plan;
    const ServerStatement statement =
        TranslateForServer(sql, catalog.Names(), parameterCount, true, &catalog.Numbers());
    PgResult described = db.Describe(statement.text);
    const int fields = PQnfields(described.get());
    for (int i = 0; i < fields; ++i) {
        const Oid origin = PQftable(described.get(), i);
        const int number = PQftablecol(described.get(), i);
        const ServerTable* from = catalog.TableByOid(origin);
        if (from != table || number <= 0 || static_cast<size_t>(number) > table->columns.size())
            return std::make_shared<KeyedPlan>();
        const ServerColumn& column = table->columns[static_cast<size_t>(number) - 1];
        if (column.hidden) continue; // SELECT * never shows the hidden key
        ColumnInfo info;
        info.name = PQfname(described.get(), i);
        info.declType = column.declType;
        info.database = "main";
        info.table = table->name;
        info.column = column.name;
        plan->columns.push_back(std::move(info));
        plan->storages.push_back(StorageOfType(PQftype(described.get(), i)));
    }
    if (plan->columns.empty()) return std::make_shared<KeyedPlan>();
    // The statement's row keys in its own order; without an ORDER BY in key order, so that a
    // plain SELECT lists rows in the order they were added, as a file does.
    const std::string keyColumn = shape.reference + "." + QuoteName(table->key);
    auto keyQuery = [&](const std::string& selected) {
        std::string rest = shape.fromRest;
        if (!shape.hasOrderBy) {
            const std::string order = " ORDER BY " + keyColumn + " ";
            if (shape.limitOffset == std::string::npos) {
                rest += order;
            } else {
                rest.insert(shape.limitOffset, order);
            }
        }
        return "SELECT " + selected + " FROM" + rest;
    };
    std::string keys = keyQuery(keyColumn);
    // An order by a result alias needs the select list as well.
    try {
        db.Describe(
            TranslateForServer(keys, catalog.Names(), parameterCount, false, &catalog.Numbers())
                .text);
    } catch (const DbError&) {
        keys = keyQuery(keyColumn + "," + shape.selectList);
        try {
            db.Describe(
                TranslateForServer(keys, catalog.Names(), parameterCount, false, &catalog.Numbers())
                    .text);
        } catch (const DbError&) {
            return std::make_shared<KeyedPlan>();
        }
    }
    plan->keyed = true;
    plan->table = table->name;
    plan->key = table->key;
    plan->keyQuery = std::move(keys);
    return plan;
}

} // namespace

std::unique_ptr<ServerKeyedStore>
ServerKeyedStore::TryCreate(const std::shared_ptr<ServerDatabase>& db, const std::string& sql,
                            const std::vector<Value>& parameters, bool updatable) {
    std::shared_ptr<const KeyedPlan> plan = db->FindPlan(sql);
    if (!plan) {
        plan = MakePlan(*db, sql, parameters.size());
        db->KeepPlan(sql, plan);
    } else {
        // A kept plan was made with a certain number of values; a different count is the
        // caller's fault, reported as when the statement is described.
        TranslateForServer(sql, db->Catalog().Names(), parameters.size(), true,
                           &db->Catalog().Numbers());
    }
    if (!plan->keyed) return nullptr;
    return std::unique_ptr<ServerKeyedStore>(
        new ServerKeyedStore(db, plan->columns, plan->storages, plan->table, plan->key,
                             plan->keyQuery, parameters, updatable));
}

ServerKeyedStore::ServerKeyedStore(std::shared_ptr<ServerDatabase> db,
                                   std::vector<ColumnInfo> columns, std::vector<Storage> storages,
                                   std::string table, std::string key, std::string keyQuery,
                                   std::vector<Value> parameters, bool updatable)
    : db_(std::move(db)), storages_(std::move(storages)), table_(std::move(table)),
      key_(std::move(key)), keyQuery_(std::move(keyQuery)), parameters_(std::move(parameters)),
      updatable_(updatable) {
    SetColumns(std::move(columns));
}

std::string ServerKeyedStore::Table() const {
    return QuoteName(table_);
}

std::string ServerKeyedStore::Key() const {
    return QuoteName(key_);
}

// The key, then per column either its value, or (for a text or binary) the length and, for a
// text, the fingerprint of a long value, and the value only when it is short.
std::string ServerKeyedStore::RowProjection() const {
    std::string projection = Key();
    const std::string limit = std::to_string(kLong);
    for (size_t i = 0; i < columns_.size(); ++i) {
        const std::string name = QuoteName(columns_[i].column);
        if (!MayBeLong(storages_[i])) {
            projection += ", " + name;
            continue;
        }
        const std::string isLong = "octet_length(" + name + ")>" + limit;
        projection += ", CASE WHEN " + isLong + " THEN octet_length(" + name + ") END";
        projection += storages_[i] == Storage::Text
                          ? ", CASE WHEN " + isLong + " THEN " + Digest(name) + " END"
                          : std::string(", NULL");
        projection += ", CASE WHEN " + isLong + " THEN NULL ELSE " + name + " END";
    }
    return projection;
}

Row ServerKeyedStore::ReadRow(const PGresult* result, int row) const {
    Row read;
    read.id = ReadInteger(result, row, 0);
    read.cells.resize(columns_.size());
    int field = 1;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (!MayBeLong(storages_[i])) {
            read.cells[i] = ReadServerCell(result, row, field++, storages_[i]);
            continue;
        }
        if (!PQgetisnull(result, row, field)) {
            Cell& cell = read.cells[i];
            cell.storage = storages_[i];
            cell.deferredSize = ReadInteger(result, row, field);
            if (cell.storage == Storage::Text) cell.digest = ReadInteger(result, row, field + 1);
        } else {
            read.cells[i] = ReadServerCell(result, row, field + 2, storages_[i]);
        }
        field += 3;
    }
    return read;
}

std::vector<int64_t> ServerKeyedStore::Keys(const std::string& sql) {
    PgResult result = db_->RunEngineSql(sql, parameters_, false);
    const int rows = PQntuples(result.get());
    std::vector<int64_t> ids;
    ids.reserve(static_cast<size_t>(rows));
    for (int row = 0; row < rows; ++row)
        ids.push_back(ReadInteger(result.get(), row, 0));
    return ids;
}

std::vector<int64_t> ServerKeyedStore::Run() {
    cache_.Clear();
    return Keys(keyQuery_);
}

std::vector<int64_t> ServerKeyedStore::RunFirst(size_t count) {
    cache_.Clear();
    // The highest key first: a row added after this has a higher one, and the rest of the keys,
    // read later, leave it out.
    {
        PgResult highest = db_->Run("SELECT max(" + Key() + ") FROM " + Table(), {});
        highestKey_ =
            PQgetisnull(highest.get(), 0, 0) ? INT64_MIN : ReadInteger(highest.get(), 0, 0);
    }
    return Keys("SELECT * FROM (" + keyQuery_ + ") AS velmora_keys LIMIT " + std::to_string(count));
}

std::vector<int64_t> ServerKeyedStore::RunRest(const std::unordered_set<int64_t>& known) {
    std::vector<int64_t> ids;
    for (const int64_t id : Keys(keyQuery_)) {
        if (id <= highestKey_ && !known.contains(id)) ids.push_back(id);
    }
    return ids;
}

const Row* ServerKeyedStore::Cached(int64_t id) const {
    return cache_.Find(id);
}

void ServerKeyedStore::Fetch(const std::vector<int64_t>& ids, uint64_t page) {
    if (ids.empty()) return;
    PgResult rows = db_->Run("SELECT " + RowProjection() + " FROM " + Table() + " WHERE " + Key() +
                                 " = ANY($1::bigint[])",
                             {Value::Text(IdArray(ids))});
    const int count = PQntuples(rows.get());
    for (int row = 0; row < count; ++row)
        cache_.Put(ReadRow(rows.get(), row), page);
}

std::vector<int64_t> ServerKeyedStore::LoadPage(const std::vector<int64_t>& ids) {
    const uint64_t page = cache_.BeginPage(ids);
    Fetch(ids, page);
    return cache_.Missing(ids);
}

void ServerKeyedStore::Reload(int64_t id) {
    Fetch({id}, cache_.Forget(id));
}

std::unordered_set<int64_t> ServerKeyedStore::MatchingInTable(const std::string& criterion) {
    // The condition sees the record set's columns under the record set's names.
    NameDictionary names = db_->Catalog().Names();
    std::string view = "SELECT " + Key() + " AS velmora_key";
    for (const ColumnInfo& column : columns_) {
        view += ", " + QuoteName(column.column) + " AS " + QuoteName(column.name);
        names[LowerName(column.name)] = column.name;
    }
    view += " FROM " + Table();
    const ServerStatement condition =
        TranslateForServer(criterion, names, 0, true, &db_->Catalog().Numbers());
    PgResult result = db_->Run("SELECT velmora_key FROM (" + view + ") AS velmora_view WHERE (" +
                                   condition.text + ")",
                               {});
    std::unordered_set<int64_t> ids;
    const int rows = PQntuples(result.get());
    for (int row = 0; row < rows; ++row)
        ids.insert(ReadInteger(result.get(), row, 0));
    return ids;
}

std::unordered_set<int64_t> ServerKeyedStore::Matching(const std::string& criterion,
                                                       const std::vector<int64_t>&) {
    return MatchingInTable(criterion);
}

size_t ServerKeyedStore::FirstMatching(const std::string& criterion, std::span<const int64_t> ids,
                                       bool ascending) {
    // The database decides which rows match; a condition on the key is a lookup there.
    return FirstMatchingIn(MatchingInTable(criterion), ids, ascending);
}

Value ServerKeyedStore::FullValue(const Row& row, size_t column) {
    const Cell& cell = row.cells.at(column);
    if (!cell.IsDeferred()) return ToValue(cell, column);
    PgResult result = db_->Run("SELECT " + QuoteName(columns_[column].column) + " FROM " + Table() +
                                   " WHERE " + Key() + " = $1::bigint",
                               {Value::Text(std::to_string(row.id))});
    if (PQntuples(result.get()) == 0) {
        Fail(kErrDeletedRow, "Row handle referred to a deleted row or a row marked for deletion.");
    }
    return ToValue(ReadServerCell(result.get(), 0, 0, storages_[column]), column);
}

std::vector<uint8_t> ServerKeyedStore::ReadBytes(const Row& row, size_t column, int64_t offset,
                                                 size_t count) {
    const Cell& cell = row.cells.at(column);
    if (!cell.IsDeferred()) {
        const int64_t size = static_cast<int64_t>(cell.bytes.size());
        if (offset >= size) return {};
        const size_t take = static_cast<size_t>(std::min<int64_t>(count, size - offset));
        return std::vector<uint8_t>(cell.bytes.begin() + offset,
                                    cell.bytes.begin() + offset + static_cast<int64_t>(take));
    }
    // Only the slice asked for travels; the column is stored without compression, so the server
    // reads only that slice as well.
    const std::string name = QuoteName(columns_[column].column);
    const std::string bytes =
        storages_[column] == Storage::Blob ? name : "convert_to(" + name + "::text, 'UTF8')";
    PgResult result =
        db_->Run("SELECT substring(" + bytes + " FROM $2::integer FOR $3::integer) FROM " +
                     Table() + " WHERE " + Key() + " = $1::bigint",
                 {Value::Text(std::to_string(row.id)), Value::Text(std::to_string(offset + 1)),
                  Value::Text(std::to_string(count))});
    if (PQntuples(result.get()) == 0) {
        Fail(kErrDeletedRow, "Row handle referred to a deleted row or a row marked for deletion.");
    }
    const Cell slice = ReadServerCell(result.get(), 0, 0, Storage::Blob);
    return std::vector<uint8_t>(slice.bytes.begin(), slice.bytes.end());
}

std::string ServerKeyedStore::UnchangedCondition(const Row& original,
                                                 std::vector<Value>& values) const {
    std::string condition;
    for (size_t i = 0; i < columns_.size(); ++i) {
        const Cell& cell = original.cells[i];
        const std::string name = QuoteName(columns_[i].column);
        if (cell.storage == Storage::Null) {
            condition += " AND " + name + " IS NULL";
        } else if (cell.IsDeferred() && cell.storage == Storage::Blob) {
            // A long binary that was not kept is recognised by its length, a long text by its
            // fingerprint: neither is ever loaded whole for the check.
            condition += " AND octet_length(" + name + ") = " +
                         Placeholder(values, Value::Text(std::to_string(cell.deferredSize))) +
                         "::bigint";
        } else if (cell.IsDeferred()) {
            condition += " AND " + Digest(name) + " = " +
                         Placeholder(values, Value::Text(std::to_string(cell.digest))) + "::bigint";
        } else if (cell.storage == Storage::Text) {
            // A change of letter case is a change, although texts compare without regard to it.
            condition +=
                " AND " + name + "::text = " + Placeholder(values, CellParameter(cell)) + "::text";
        } else {
            condition += " AND " + name + " = " + Placeholder(values, CellParameter(cell)) +
                         ServerCastOf(cell.storage);
        }
    }
    return condition;
}

std::string ServerKeyedStore::NewValue(size_t column, const EditBuffer& edit,
                                       std::vector<Value>& values) {
    if (edit.spools[column]) {
        const std::string piece =
            "(SELECT content FROM velmora_piece WHERE slot = " + std::to_string(column) + ")";
        return storages_[column] == Storage::Blob ? "COALESCE(" + piece + ", ''::bytea)"
                                                  : "convert_from(" + piece + ", 'UTF8')";
    }
    return Placeholder(values, *edit.values[column]);
}

void ServerKeyedStore::StoreSpools(const EditBuffer& edit) {
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (edit.spools[i]) db_->StorePiece(static_cast<int>(i), *edit.spools[i]);
    }
}

namespace {

// One write of several statements as one change: a transaction level that is undone unless the
// write completes.
class WriteLevel {
  public:
    explicit WriteLevel(ServerDatabase& db) : db_(db), level_(db.BeginLevel()) {}
    ~WriteLevel() {
        if (open_) {
            try {
                db_.RollbackLevel(level_);
            } catch (const DbError&) {
                // The write's own failure is the one to report.
            }
        }
    }
    WriteLevel(const WriteLevel&) = delete;
    WriteLevel& operator=(const WriteLevel&) = delete;
    void Commit() {
        db_.CommitLevel(level_);
        open_ = false;
    }

  private:
    ServerDatabase& db_;
    int64_t level_;
    bool open_ = true;
};

bool HasSpools(const EditBuffer& edit) {
    return std::any_of(edit.spools.begin(), edit.spools.end(),
                       [](const auto& spool) { return spool != nullptr; });
}

} // namespace

int64_t ServerKeyedStore::Insert(const EditBuffer& edit) {
    if (!updatable_) FailNotUpdatable();
    std::lock_guard lock(db_->Mutex());
    WriteLevel level(*db_);
    StoreSpools(edit);
    std::vector<Value> values;
    std::string names;
    std::string inserted;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (!edit.Touched(i)) continue;
        if (!names.empty()) {
            names += ", ";
            inserted += ", ";
        }
        names += QuoteName(columns_[i].column);
        inserted += NewValue(i, edit, values);
    }
    const std::string sql =
        "INSERT INTO " + Table() +
        (names.empty() ? " DEFAULT VALUES" : " (" + names + ") VALUES (" + inserted + ")") +
        " RETURNING " + Key();
    PgResult result = db_->Run(sql, values);
    if (PQntuples(result.get()) != 1) Fail(kErrFail, "The new row was not stored.");
    const int64_t id = ReadInteger(result.get(), 0, 0);
    if (HasSpools(edit)) db_->ClearPieces();
    Reload(id);
    level.Commit();
    return id;
}

void ServerKeyedStore::Update(const Row& original, const EditBuffer& edit) {
    if (!updatable_) FailNotUpdatable();
    std::lock_guard lock(db_->Mutex());
    std::vector<Value> values;
    std::string assignments;
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (!edit.Touched(i)) continue;
        if (!assignments.empty()) assignments += ", ";
        assignments += QuoteName(columns_[i].column) + " = " + NewValue(i, edit, values);
    }
    if (assignments.empty()) return;
    WriteLevel level(*db_);
    StoreSpools(edit);
    std::string sql = "UPDATE " + Table() + " SET " + assignments + " WHERE " + Key() + " = " +
                      Placeholder(values, Value::Text(std::to_string(original.id))) + "::bigint";
    sql += UnchangedCondition(original, values);
    PgResult result = db_->Run(sql, values);
    if (std::atoll(PQcmdTuples(result.get())) == 0) FailConcurrency();
    if (HasSpools(edit)) db_->ClearPieces();
    Reload(original.id);
    level.Commit();
}

void ServerKeyedStore::Remove(const Row& original) {
    if (!updatable_) FailNotUpdatable();
    std::lock_guard lock(db_->Mutex());
    WriteLevel level(*db_);
    std::vector<Value> values;
    std::string sql = "DELETE FROM " + Table() + " WHERE " + Key() + " = " +
                      Placeholder(values, Value::Text(std::to_string(original.id))) + "::bigint";
    sql += UnchangedCondition(original, values);
    PgResult result = db_->Run(sql, values);
    if (std::atoll(PQcmdTuples(result.get())) == 0) FailConcurrency();
    level.Commit();
    const int64_t id = original.id;
    cache_.Erase(id);
}

// ---------------------------------------------------------------------------------------------
// Result store

ServerResultStore::ServerResultStore(std::shared_ptr<ServerDatabase> db, std::string sql,
                                     std::vector<Value> parameters)
    : db_(std::move(db)), sql_(std::move(sql)), parameters_(std::move(parameters)) {
    PgResult result = db_->RunEngineSql(sql_, parameters_, true);
    const ServerCatalog& catalog = db_->Catalog();
    std::vector<ColumnInfo> columns;
    const int fields = PQnfields(result.get());
    for (int i = 0; i < fields; ++i) {
        ColumnInfo info;
        info.name = PQfname(result.get(), i);
        const ServerTable* table = catalog.TableByOid(PQftable(result.get(), i));
        const int number = PQftablecol(result.get(), i);
        if (table != nullptr && number > 0 &&
            static_cast<size_t>(number) <= table->columns.size()) {
            const ServerColumn& column = table->columns[static_cast<size_t>(number) - 1];
            if (column.hidden) continue;
            info.declType = column.declType;
            info.database = "main";
            info.table = table->name;
            info.column = column.name;
        }
        columns.push_back(std::move(info));
        resultColumns_.push_back(i);
        storages_.push_back(StorageOfType(PQftype(result.get(), i)));
    }
    SetColumns(std::move(columns));
    Read(result.get());
    fresh_ = true;
}

void ServerResultStore::Read(const PGresult* result) {
    rows_.clear();
    const int count = PQntuples(result);
    rows_.reserve(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row) {
        Row read;
        read.id = row;
        read.cells.reserve(resultColumns_.size());
        for (size_t i = 0; i < resultColumns_.size(); ++i)
            read.cells.push_back(ReadServerCell(result, row, resultColumns_[i], storages_[i]));
        rows_.push_back(std::move(read));
    }
}

std::vector<int64_t> ServerResultStore::Run() {
    if (!fresh_) {
        PgResult result = db_->RunEngineSql(sql_, parameters_, true);
        Read(result.get());
    }
    fresh_ = false;
    std::vector<int64_t> ids(rows_.size());
    for (size_t i = 0; i < ids.size(); ++i)
        ids[i] = static_cast<int64_t>(i);
    return ids;
}

const Row* ServerResultStore::Cached(int64_t id) const {
    if (id < 0 || static_cast<size_t>(id) >= rows_.size()) return nullptr;
    return &rows_[static_cast<size_t>(id)];
}

std::unordered_set<int64_t> ServerResultStore::Matching(const std::string& criterion,
                                                        const std::vector<int64_t>& candidates) {
    // The rows are sent back as a VALUES list under the record set's names, a batch at a time,
    // and the server decides which satisfy the condition.
    NameDictionary names = db_->Catalog().Names();
    std::string columnList = "velmora_key";
    for (const ColumnInfo& column : columns_) {
        columnList += ", " + QuoteName(column.name);
        names[LowerName(column.name)] = column.name;
    }
    const std::string condition =
        TranslateForServer(criterion, names, 0, true, &db_->Catalog().Numbers()).text;
    std::unordered_set<int64_t> matching;
    constexpr size_t kBatch = 200;
    size_t start = 0;
    do {
        const size_t end = std::min(candidates.size(), start + kBatch);
        std::vector<Value> values;
        std::string rows;
        for (size_t i = start; i < end; ++i) {
            const Row* row = Cached(candidates[i]);
            if (row == nullptr) continue;
            rows += rows.empty() ? "(" : ", (";
            rows += std::to_string(row->id);
            for (size_t c = 0; c < columns_.size(); ++c) {
                const Cell& cell = row->cells[c];
                rows += ", ";
                if (cell.storage == Storage::Null) {
                    rows += std::string("NULL") + ServerCastOf(storages_[c]);
                } else {
                    rows += Placeholder(values, CellParameter(cell)) + ServerCastOf(storages_[c]);
                }
            }
            rows += ")";
        }
        // An empty batch still checks the condition, so a faulty one is reported.
        if (rows.empty()) {
            rows = "(-1";
            for (size_t c = 0; c < columns_.size(); ++c)
                rows += std::string(", NULL") + ServerCastOf(storages_[c]);
            rows += ")";
        }
        PgResult result =
            db_->Run("SELECT velmora_key FROM (VALUES " + rows + ") AS velmora_rows(" + columnList +
                         ") WHERE (" + condition + ")",
                     values);
        const int count = PQntuples(result.get());
        for (int row = 0; row < count; ++row) {
            const int64_t id = ReadInteger(result.get(), row, 0);
            if (id >= 0) matching.insert(id);
        }
        start = end;
    } while (start < candidates.size());
    return matching;
}

size_t ServerResultStore::FirstMatching(const std::string& criterion, std::span<const int64_t> ids,
                                        bool) {
    const std::unordered_set<int64_t> matching =
        Matching(criterion, std::vector<int64_t>(ids.begin(), ids.end()));
    for (size_t i = 0; i < ids.size(); ++i) {
        if (matching.contains(ids[i])) return i;
    }
    return ids.size();
}

Value ServerResultStore::FullValue(const Row& row, size_t column) {
    return ToValue(row.cells.at(column), column);
}

std::vector<uint8_t> ServerResultStore::ReadBytes(const Row& row, size_t column, int64_t offset,
                                                  size_t count) {
    const std::string& bytes = row.cells.at(column).bytes;
    const int64_t size = static_cast<int64_t>(bytes.size());
    if (offset >= size) return {};
    const size_t take = static_cast<size_t>(std::min<int64_t>(count, size - offset));
    return std::vector<uint8_t>(bytes.begin() + offset,
                                bytes.begin() + offset + static_cast<int64_t>(take));
}

int64_t ServerResultStore::Insert(const EditBuffer&) {
    FailNotUpdatable();
}

void ServerResultStore::Update(const Row&, const EditBuffer&) {
    FailNotUpdatable();
}

void ServerResultStore::Remove(const Row&) {
    FailNotUpdatable();
}

} // namespace velmora::db
