#pragma once
// Record set rows from a server database. A plain one-table SELECT is keyed: its row keys (the
// table's integer key, or its hidden key) are read at open and values a page at a time, long
// texts and binaries only when asked for; any other statement is read whole and is read-only.
#include "../RowStore.h"
#include "ServerDatabase.h"

#include <unordered_map>

namespace velmora::db {

class ServerKeyedStore : public RowStore {
  public:
    // A store for sql (engine dialect, placeholders numbered) when it is a plain SELECT whose
    // columns all come from one table with a key; nullptr otherwise.
    static std::unique_ptr<ServerKeyedStore> TryCreate(const std::shared_ptr<ServerDatabase>& db,
                                                       const std::string& sql,
                                                       const std::vector<Value>& parameters,
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
    ServerKeyedStore(std::shared_ptr<ServerDatabase> db, std::vector<ColumnInfo> columns,
                     std::vector<Storage> storages, std::string table, std::string key,
                     std::string keyQuery, std::vector<Value> parameters, bool updatable);

    std::string Table() const;
    std::string Key() const;
    std::string RowProjection() const;
    Row ReadRow(const PGresult* result, int row) const;
    std::vector<int64_t> Keys(const std::string& sql);
    void Fetch(const std::vector<int64_t>& ids, uint64_t page);
    void Reload(int64_t id);
    std::unordered_set<int64_t> MatchingInTable(const std::string& criterion);
    // " AND ..." conditions that hold only while the stored row still has original's values;
    // their values are appended to values.
    std::string UnchangedCondition(const Row& original, std::vector<Value>& values) const;
    // The SQL for the new value of column i, its value appended to values when it has one.
    std::string NewValue(size_t column, const EditBuffer& edit, std::vector<Value>& values);
    void StoreSpools(const EditBuffer& edit);

    std::shared_ptr<ServerDatabase> db_;
    std::vector<Storage> storages_; // per column
    std::string table_;
    std::string key_;
    std::string keyQuery_; // engine dialect
    std::vector<Value> parameters_;
    bool updatable_;
    int64_t highestKey_ = INT64_MIN;
    RowPageCache cache_;
};

class ServerResultStore : public RowStore {
  public:
    ServerResultStore(std::shared_ptr<ServerDatabase> db, std::string sql,
                      std::vector<Value> parameters);

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
    void Read(const PGresult* result);

    std::shared_ptr<ServerDatabase> db_;
    std::string sql_;
    std::vector<Value> parameters_;
    std::vector<int> resultColumns_; // the result's column of each visible column
    std::vector<Storage> storages_;
    std::vector<Row> rows_;
    bool fresh_ = false; // rows_ holds the result the constructor read
};

// The cast that gives a value of this storage the type the server compares it as.
const char* ServerCastOf(Storage storage);

} // namespace velmora::db
