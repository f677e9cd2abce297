#pragma once
// Where a record set's rows come from. A keyed store reads the row keys of a one-table SELECT and
// fetches values a page at a time; a materialised store holds the whole result of any other
// statement and is read-only. Rows are named by a 64-bit id: the rowid, or the row's index.
#include "Cell.h"
#include "ChunkSpool.h"

#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace velmora::db {

struct Row {
    int64_t id = 0;
    std::vector<Cell> cells;
};

// The pending change of one row: a value or a spooled long binary per touched column.
struct EditBuffer {
    std::vector<std::optional<Value>> values;
    std::vector<std::shared_ptr<ChunkSpool>> spools;

    void Reset(size_t columns) {
        values.assign(columns, std::nullopt);
        spools.assign(columns, nullptr);
    }
    bool Touched(size_t column) const { return values[column] || spools[column]; }
    bool Empty() const {
        for (size_t i = 0; i < values.size(); ++i) {
            if (Touched(i)) return false;
        }
        return true;
    }
};

// The rows of a keyed store's last few page reads. Keeping more than one lets a cursor go back to
// its first row and return to a row it found without reading either page again, and keeps the
// values a found row was handed out with as the ones a later change is checked against.
class RowPageCache {
  public:
    const Row* Find(int64_t id) const;
    bool Contains(int64_t id) const { return rows_.contains(id); }
    void Clear();
    // Starts a page read of ids: their rows are read again (so that a row deleted since is
    // noticed) and the oldest page beyond those kept is forgotten. Returns the page's number.
    uint64_t BeginPage(const std::vector<int64_t>& ids);
    // Forgets one row that is about to be read again; returns the page it stays with (a new
    // row joins the latest page).
    uint64_t Forget(int64_t id);
    void Erase(int64_t id) { rows_.erase(id); }
    void Put(Row row, uint64_t page);
    // The ids among ids whose rows the page read did not bring.
    std::vector<int64_t> Missing(const std::vector<int64_t>& ids) const;

  private:
    struct Held {
        Row row;
        uint64_t page = 0; // the page read that brought it
    };
    std::unordered_map<int64_t, Held> rows_;
    std::deque<uint64_t> pages_; // page reads held, oldest first
    uint64_t lastPage_ = 0;
};

class RowStore {
  public:
    virtual ~RowStore() = default;

    const std::vector<ColumnInfo>& Columns() const { return columns_; }
    // A held cell of the column as a value.
    Value ToValue(const Cell& cell, size_t column) const {
        return CellToValue(cell, readings_[column]);
    }
    virtual bool Updatable() const = 0;

    // Runs the statement; returns the ids of its rows in order.
    virtual std::vector<int64_t> Run() = 0;
    // Whether the rows are read by key a page at a time (and RunFirst may leave keys unread).
    virtual bool Keyed() const { return false; }
    // Runs the statement but reads only its first count keys (all of them when there are no
    // more), so that a set used only to add rows never reads the keys of a large table.
    virtual std::vector<int64_t> RunFirst(size_t) { return Run(); }
    // The keys after those RunFirst read, in statement order: those of the statement's rows now,
    // less the ones in known and rows added since RunFirst.
    virtual std::vector<int64_t> RunRest(const std::unordered_set<int64_t>&) { return {}; }
    // The row if it is in memory, else nullptr.
    virtual const Row* Cached(int64_t id) const = 0;
    // Reads these rows (one page) into memory afresh, keeping the most recently read pages;
    // returns the ids whose rows no longer exist.
    virtual std::vector<int64_t> LoadPage(const std::vector<int64_t>& ids) = 0;
    // The ids among candidates (or, for a keyed store, in the whole table) whose row satisfies
    // the SQL condition criterion over the record set's columns.
    virtual std::unordered_set<int64_t> Matching(const std::string& criterion,
                                                 const std::vector<int64_t>& candidates) = 0;
    // The index in ids (rows in cursor order) of the first row that satisfies criterion, or
    // ids.size() when none does. ascending says ids are sorted, so that one id is found by
    // halving. A faulty criterion is an error even when ids is empty.
    virtual size_t FirstMatching(const std::string& criterion, std::span<const int64_t> ids,
                                 bool ascending) = 0;

    // The complete value of a column, also of a long one that is not kept in memory.
    virtual Value FullValue(const Row& row, size_t column) = 0;
    // count bytes of a column's text or binary starting at offset (fewer at the end).
    virtual std::vector<uint8_t> ReadBytes(const Row& row, size_t column, int64_t offset,
                                           size_t count) = 0;

    // Writes; each is atomic. Update and Remove fail with a concurrency error when the stored row
    // no longer holds the values in original.
    virtual int64_t Insert(const EditBuffer& edit) = 0;
    virtual void Update(const Row& original, const EditBuffer& edit) = 0;
    virtual void Remove(const Row& original) = 0;

  protected:
    void SetColumns(std::vector<ColumnInfo> columns);

    std::vector<ColumnInfo> columns_;

  private:
    std::vector<NumberReading> readings_; // per column, from its declared type
};

// The index in ids (rows in cursor order) of the first row in matching, or ids.size() when none
// is. ascending says ids are sorted, so that each of a few matches is found by halving.
size_t FirstMatchingIn(const std::unordered_set<int64_t>& matching, std::span<const int64_t> ids,
                       bool ascending);

// Describes the result columns of a prepared statement.
std::vector<ColumnInfo> DescribeColumns(sqlite3_stmt* statement);

// "name" with inner quotes doubled.
std::string QuoteName(const std::string& name);

} // namespace velmora::db
