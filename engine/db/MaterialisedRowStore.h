#pragma once
// The whole result of a statement a keyed cursor cannot serve (joins, DISTINCT, aggregates),
// held in memory and read-only.
#include "RowStore.h"

#include <map>

struct sqlite3;

namespace velmora::db {

class Statement;

class MaterialisedRowStore : public RowStore {
  public:
    // sql with its placeholders numbered; parameters are their values.
    MaterialisedRowStore(sqlite3* db, std::string sql, std::vector<Value> parameters,
                         std::vector<ColumnInfo> columns);
    ~MaterialisedRowStore() override;

    bool Updatable() const override { return false; }
    std::vector<int64_t> Run() override;
    const Row* Cached(int64_t id) const override;
    std::vector<int64_t> LoadPage(const std::vector<int64_t>&) override { return {}; }
    std::unordered_set<int64_t> Matching(const std::string& criterion,
                                         const std::vector<int64_t>& candidates) override;
    size_t FirstMatching(const std::string& criterion, std::span<const int64_t> ids,
                         bool ascending) override;
    Value FullValue(const Row& row, size_t column) override;
    std::vector<uint8_t> ReadBytes(const Row& row, size_t column, int64_t offset,
                                   size_t count) override;
    int64_t Insert(const EditBuffer&) override;
    void Update(const Row&, const EditBuffer&) override;
    void Remove(const Row&) override;

  private:
    std::string RowAsSelect(const Row& row) const;
    // Prepares for testing rows against criterion; a faulty one is reported here.
    void UseCriterion(const std::string& criterion);
    bool RowMatches(const Row& row);

    sqlite3* db_;
    std::string sql_;
    std::vector<Value> parameters_;
    std::vector<Row> rows_;
    // Condition checks prepared per shape of row, for the criterion last asked about.
    std::string criterion_;
    std::map<std::string, std::unique_ptr<Statement>> checks_;
};

} // namespace velmora::db
