#pragma once
// Rows of a plain one-table SELECT, named by rowid: the keys are read in statement order, the
// values a page at a time, so a large table costs little memory. Long binaries and long texts are
// not kept in memory; they are read when asked for.
#include "RowStore.h"
#include "SelectShape.h"

#include <unordered_map>

struct sqlite3;

namespace velmora::db {

class KeyedRowStore : public RowStore {
  public:
    // A store for sql (date literals already translated) when it is a plain SELECT whose columns
    // all come from one rowid table; nullptr otherwise.
    static std::unique_ptr<KeyedRowStore> TryCreate(sqlite3* db, const std::string& sql,
                                                    const std::vector<ColumnInfo>& columns,
                                                    bool updatable);

    bool Updatable() const override { return updatable_; }
    std::vector<int64_t> Run() override;
    const Row* Cached(int64_t id) const override;
    std::vector<int64_t> LoadPage(const std::vector<int64_t>& ids) override;
    std::unordered_set<int64_t> Matching(const std::string& criterion,
                                         const std::vector<int64_t>& candidates) override;
    Value FullValue(const Row& row, size_t column) override;
    std::vector<uint8_t> ReadBytes(const Row& row, size_t column, int64_t offset,
                                   size_t count) override;
    int64_t Insert(const EditBuffer& edit) override;
    void Update(const Row& original, const EditBuffer& edit) override;
    void Remove(const Row& original) override;

  private:
    KeyedRowStore(sqlite3* db, std::vector<ColumnInfo> columns, std::string keyQuery,
                  bool updatable);

    std::string QualifiedTable() const;
    std::string RowProjection() const;
    Row ReadRow(sqlite3_stmt* statement) const;
    void Fetch(const std::vector<int64_t>& ids);
    void Reload(int64_t id);
    // " AND ..." conditions that hold only while the stored row still has original's values.
    std::string UnchangedCondition(const Row& original, int firstParameter) const;
    int BindUnchanged(sqlite3_stmt* statement, const Row& original, int firstParameter) const;
    void WriteSpools(int64_t rowid, const EditBuffer& edit);
    void Cache(Row row);

    sqlite3* db_;
    std::string keyQuery_;
    bool updatable_;
    std::unordered_map<int64_t, Row> cache_;
};

} // namespace velmora::db
