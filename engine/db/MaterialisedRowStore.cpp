#include "MaterialisedRowStore.h"

#include "ErrorCodes.h"
#include "Statement.h"

#include <algorithm>
#include <sqlite3.h>

namespace velmora::db {

MaterialisedRowStore::MaterialisedRowStore(sqlite3* db, std::string sql,
                                           std::vector<Value> parameters,
                                           std::vector<ColumnInfo> columns)
    : db_(db), sql_(std::move(sql)), parameters_(std::move(parameters)) {
    SetColumns(std::move(columns));
}

MaterialisedRowStore::~MaterialisedRowStore() = default;

std::vector<int64_t> MaterialisedRowStore::Run() {
    rows_.clear();
    Statement query(db_, sql_);
    query.BindDerived(parameters_);
    const int count = query.ColumnCount();
    while (query.Step()) {
        Row row;
        row.id = static_cast<int64_t>(rows_.size());
        for (int i = 0; i < count; ++i)
            row.cells.push_back(ReadCell(query.get(), i));
        rows_.push_back(std::move(row));
    }
    std::vector<int64_t> ids(rows_.size());
    for (size_t i = 0; i < ids.size(); ++i)
        ids[i] = static_cast<int64_t>(i);
    return ids;
}

const Row* MaterialisedRowStore::Cached(int64_t id) const {
    return id >= 0 && id < static_cast<int64_t>(rows_.size()) ? &rows_[id] : nullptr;
}

// One row as a one-row SELECT of parameters, so a condition can be evaluated on the values held
// in memory. Each parameter carries its column's type affinity (where its value is already of
// that type) and collation, so comparisons behave as they do on the table itself.
std::string MaterialisedRowStore::RowAsSelect(const Row& row) const {
    std::string select = "SELECT ";
    for (size_t i = 0; i < columns_.size(); ++i) {
        const std::string parameter = "?" + std::to_string(i + 1);
        const std::string affinity = AffinityOf(columns_[i].declType);
        const Storage storage = row.cells[i].storage;
        const bool matches =
            (storage == Storage::Integer && (affinity == "INTEGER" || affinity == "NUMERIC")) ||
            (storage == Storage::Real && (affinity == "REAL" || affinity == "NUMERIC")) ||
            (storage == Storage::Text && affinity == "TEXT");
        std::string expression = matches && !columns_[i].declType.empty()
                                     ? "CAST(" + parameter + " AS " + affinity + ")"
                                     : parameter;
        if (storage == Storage::Text && !columns_[i].collation.empty()) {
            expression += " COLLATE " + QuoteName(columns_[i].collation);
        }
        if (i > 0) select += ", ";
        select += expression + " AS " + QuoteName(columns_[i].name);
    }
    return select;
}

void MaterialisedRowStore::UseCriterion(const std::string& criterion) {
    if (criterion == criterion_) return;
    checks_.clear();
    criterion_.clear();
    // A faulty condition is reported even when there is no row to test it on.
    std::string nulls = "SELECT NULL AS velmora_key";
    for (const ColumnInfo& column : columns_)
        nulls += ", NULL AS " + QuoteName(column.name);
    Statement validate(db_, "SELECT 1 FROM (" + nulls + ") WHERE (" + criterion + ")");
    criterion_ = criterion;
}

bool MaterialisedRowStore::RowMatches(const Row& row) {
    const std::string select = RowAsSelect(row);
    auto& check = checks_[select];
    if (!check) {
        check = std::make_unique<Statement>(db_, "SELECT 1 FROM (" + select + ") WHERE (" +
                                                     criterion_ + ")");
    }
    for (size_t i = 0; i < row.cells.size(); ++i) {
        BindCell(check->get(), static_cast<int>(i + 1), row.cells[i]);
    }
    const bool match = check->Step();
    check->Reset();
    return match;
}

std::unordered_set<int64_t> MaterialisedRowStore::Matching(const std::string& criterion,
                                                           const std::vector<int64_t>& candidates) {
    UseCriterion(criterion);
    std::unordered_set<int64_t> ids;
    for (const int64_t id : candidates) {
        const Row* row = Cached(id);
        if (row != nullptr && RowMatches(*row)) ids.insert(id);
    }
    return ids;
}

size_t MaterialisedRowStore::FirstMatching(const std::string& criterion,
                                           std::span<const int64_t> ids, bool) {
    // The rows are tested in cursor order, up to the first that matches.
    UseCriterion(criterion);
    for (size_t i = 0; i < ids.size(); ++i) {
        const Row* row = Cached(ids[i]);
        if (row != nullptr && RowMatches(*row)) return i;
    }
    return ids.size();
}

Value MaterialisedRowStore::FullValue(const Row& row, size_t column) {
    return ToValue(row.cells.at(column), column);
}

std::vector<uint8_t> MaterialisedRowStore::ReadBytes(const Row& row, size_t column, int64_t offset,
                                                     size_t count) {
    const std::string& bytes = row.cells.at(column).bytes;
    const int64_t size = static_cast<int64_t>(bytes.size());
    if (offset >= size) return {};
    const int64_t take = std::min<int64_t>(static_cast<int64_t>(count), size - offset);
    return std::vector<uint8_t>(bytes.begin() + offset, bytes.begin() + offset + take);
}

int64_t MaterialisedRowStore::Insert(const EditBuffer&) {
    FailNotUpdatable();
}
void MaterialisedRowStore::Update(const Row&, const EditBuffer&) {
    FailNotUpdatable();
}
void MaterialisedRowStore::Remove(const Row&) {
    FailNotUpdatable();
}

} // namespace velmora::db
