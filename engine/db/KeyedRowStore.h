#pragma once
// Rows of a plain one-table SELECT, named by rowid: the keys are read in statement order, the
// values a page at a time, so a large table costs little memory. Long binaries and long texts are
// not kept in memory; they are read when asked for.
#include "RowStore.h"
#include "SelectShape.h"

#include <unordered_map>

struct sqlite3;

namespace velmora::db {

class Statement;

class KeyedRowStore : public RowStore {
  public:
    ~KeyedRowStore() override;
    // A store for sql (date literals translated, placeholders numbered) when it is a plain
    // SELECT whose columns all come from one rowid table; nullptr otherwise. The parameters are
    // bound to every statement derived from sql.
    static std::unique_ptr<KeyedRowStore> TryCreate(sqlite3* db, const std::string& sql,
                                                    std::vector<Value> parameters,
                                                    const std::vector<ColumnInfo>& columns,
                                                    bool updatable);

    bool Updatable() const override { return updatable_; }
    std::vector<int64_t> Run() override;
    bool Keyed() const override { return true; }
    std::vector<int64_t> RunFirst(size_t count) override;
    std::vector<int64_t> RunRest(const std::unordered_set<int64_t>& known) override;
    const Row* Cached(int64_t id) const override;
    std::vector<int64_t> LoadPage(const std::vector<int64_t>& ids) override;
    std::unordered_set<int64_t> Matching(const std::string& criterion,
                                         const std::vector<int64_t>& candidates) override;
    size_t FirstMatching(const std::string& criterion, std::span<const int64_t> ids,
                         bool ascending) override;
    Value FullValue(const Row& row, size_t column) override;
    std::vector<uint8_t> ReadBytes(const Row& row, size_t column, int64_t offset,
                                   size_t count) override;
    int64_t Insert(const EditBuffer& edit) override;
    void Update(const Row& original, const EditBuffer& edit) override;
    void Remove(const Row& original) override;

  private:
    KeyedRowStore(sqlite3* db, std::vector<ColumnInfo> columns, std::string keyQuery,
                  std::vector<Value> parameters, bool updatable);

    std::string QualifiedTable() const;
    std::unordered_set<int64_t> MatchingInTable(const std::string& criterion);
    std::string RowProjection() const;
    Row ReadRow(sqlite3_stmt* statement) const;
    // The statement that reads the rows whose rowid lies between ?1 and ?2, prepared once.
    Statement& RangeRead();
    // Reads the rows into memory as part of the page read numbered page.
    void Fetch(const std::vector<int64_t>& ids, uint64_t page);
    void Reload(int64_t id);
    // " AND ..." conditions that hold only while the stored row still has original's values.
    std::string UnchangedCondition(const Row& original, int firstParameter) const;
    int BindUnchanged(sqlite3_stmt* statement, const Row& original, int firstParameter) const;
    void WriteSpools(int64_t rowid, const EditBuffer& edit);

    sqlite3* db_;
    std::string keyQuery_;
    // Per column: whether it is read directly, because it cannot hold a long binary (see
    // RowProjection); others are read with their length when they hold a long binary.
    std::vector<bool> direct_;
    std::unique_ptr<Statement> rangeRead_;
    std::vector<Value> parameters_; // the values of keyQuery_'s numbered placeholders
    bool updatable_;
    int64_t highestKey_ = 0; // the table's highest key when RunFirst ran
    RowPageCache cache_;
};

} // namespace velmora::db
