#include "RowStore.h"

#include <sqlite3.h>

#include <algorithm>
#include <utility>

namespace velmora::db {
namespace {

std::string TextOrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

} // namespace

void RowStore::SetColumns(std::vector<ColumnInfo> columns) {
    columns_ = std::move(columns);
    readings_.clear();
    readings_.reserve(columns_.size());
    for (const ColumnInfo& column : columns_)
        readings_.push_back(NumberReadingOf(column.declType));
}

namespace {
// Page reads whose rows stay in memory.
constexpr size_t kPagesKept = 3;
} // namespace

const Row* RowPageCache::Find(int64_t id) const {
    const auto it = rows_.find(id);
    return it == rows_.end() ? nullptr : &it->second.row;
}

void RowPageCache::Clear() {
    rows_.clear();
    pages_.clear();
}

uint64_t RowPageCache::BeginPage(const std::vector<int64_t>& ids) {
    for (const int64_t id : ids)
        rows_.erase(id);
    const uint64_t page = ++lastPage_;
    pages_.push_back(page);
    if (pages_.size() > kPagesKept) {
        const uint64_t oldest = pages_.front();
        pages_.pop_front();
        std::erase_if(rows_, [oldest](const auto& entry) { return entry.second.page == oldest; });
    }
    return page;
}

uint64_t RowPageCache::Forget(int64_t id) {
    const auto held = rows_.find(id);
    if (held == rows_.end()) return lastPage_;
    const uint64_t page = held->second.page;
    rows_.erase(held);
    return page;
}

void RowPageCache::Put(Row row, uint64_t page) {
    const int64_t id = row.id;
    rows_.insert_or_assign(id, Held{std::move(row), page});
}

std::vector<int64_t> RowPageCache::Missing(const std::vector<int64_t>& ids) const {
    std::vector<int64_t> missing;
    for (const int64_t id : ids) {
        if (!rows_.contains(id)) missing.push_back(id);
    }
    return missing;
}

size_t FirstMatchingIn(const std::unordered_set<int64_t>& matching, std::span<const int64_t> ids,
                       bool ascending) {
    // Up to this many matches (one, for a condition on the key) are looked up one by one.
    constexpr size_t kFewMatches = 16;
    if (matching.empty()) return ids.size();
    if (matching.size() > kFewMatches) {
        for (size_t i = 0; i < ids.size(); ++i) {
            if (matching.contains(ids[i])) return i;
        }
        return ids.size();
    }
    size_t first = ids.size();
    for (const int64_t id : matching) {
        const auto end = ids.begin() + static_cast<ptrdiff_t>(first);
        auto at = end;
        if (ascending) {
            at = std::lower_bound(ids.begin(), end, id);
            if (at != end && *at != id) at = end;
        } else {
            at = std::find(ids.begin(), end, id);
        }
        first = static_cast<size_t>(at - ids.begin());
    }
    return first;
}

std::vector<ColumnInfo> DescribeColumns(sqlite3_stmt* statement) {
    std::vector<ColumnInfo> columns;
    const int count = sqlite3_column_count(statement);
    for (int i = 0; i < count; ++i) {
        ColumnInfo column;
        column.name = TextOrEmpty(sqlite3_column_name(statement, i));
        column.declType = TextOrEmpty(sqlite3_column_decltype(statement, i));
        column.database = TextOrEmpty(sqlite3_column_database_name(statement, i));
        column.table = TextOrEmpty(sqlite3_column_table_name(statement, i));
        column.column = TextOrEmpty(sqlite3_column_origin_name(statement, i));
        const char* collation = nullptr;
        if (!column.column.empty() &&
            sqlite3_table_column_metadata(sqlite3_db_handle(statement), column.database.c_str(),
                                          column.table.c_str(), column.column.c_str(), nullptr,
                                          &collation, nullptr, nullptr, nullptr) == SQLITE_OK) {
            column.collation = TextOrEmpty(collation);
        }
        columns.push_back(std::move(column));
    }
    return columns;
}

std::string QuoteName(const std::string& name) {
    std::string quoted = "\"";
    for (const char c : name) {
        quoted += c;
        if (c == '"') quoted += '"';
    }
    return quoted + "\"";
}

} // namespace velmora::db
