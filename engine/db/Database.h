#pragma once
// The data-access layer: an ADO-like connection and record set over the embedded database
// (SQLite). Every failing call throws DbError with a status code, a description and the source
// "Velmora.SQLite"; misuse (a field read at EOF, an unknown field name, a change to a read-only
// set) is a DbError as well.
//
// Values travel as bound parameters, always: a statement names each value with a `?` and the
// values are handed to Open or Execute in the same order ("select * from tRole where ProductID =
// ?", {Value::Int(id)}). Never splice a number or a text into the statement; a quote, a `?` or a
// `--` inside a bound text stays data. Only what cannot be a parameter is written into the text:
// table and column names (checked or constant), and condition texts that callers compose as SQL
// (filters, Find criteria, #m/d/yyyy# date literals). A statement whose placeholders do not match
// the values given is refused before anything runs.
#include "DbError.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace velmora::db {

using LONG = int32_t;

enum class CursorType { ForwardOnly, Keyset, Dynamic, Static };
enum class LockType { ReadOnly, Pessimistic, Optimistic, BatchOptimistic };

// One field value. Null is the database NULL (the empty variant of the component world).
class Value {
  public:
    enum class Kind { Null, Int32, Byte, Bool, Double, Date, Text, Binary };

    Value() = default; // Null
    static Value Null() { return Value(); }
    static Value Int(LONG v);
    static Value Byte(uint8_t v);
    static Value Bool(bool v);
    static Value Double(double v);
    static Value Date(double oleDate); // days since 30 December 1899
    static Value Text(std::string utf8);
    static Value Binary(std::vector<uint8_t> bytes);

    Kind kind() const { return kind_; }
    bool isNull() const { return kind_ == Kind::Null; }

    // Lenient readers: numbers convert between each other (doubles round half to even), a text
    // holding a number reads as that number, Bool reads 1/0; anything else reads 0.
    LONG asInt() const;
    uint8_t asByte() const; // asInt() clamped to 0..255
    double asDouble() const;
    bool asBool() const; // non-zero numbers, and the texts "true"/"yes" or a non-zero number
    // The stored text or bytes; an empty one for any other kind (see toText()).
    const std::string& asText() const;
    // Moves the text out of a Text value (empty for other kinds), leaving this value Null.
    std::string releaseText();
    const std::vector<uint8_t>& asBinary() const;
    // Any value as text: numbers in decimal, Bool as "True"/"False", bytes as they are, Null "".
    std::string toText() const;

    bool operator==(const Value& other) const;

  private:
    Kind kind_ = Kind::Null;
    std::variant<std::monostate, LONG, uint8_t, bool, double, std::string, std::vector<uint8_t>>
        data_;
};

class Backend;

// Field names that a caller reads from every row. A record set finds their positions once per
// open set, instead of looking every name up on every read.
class FieldList {
  public:
    explicit FieldList(std::vector<std::string> names);
    const std::vector<std::string>& Names() const { return names_; }
    uint64_t Serial() const {
        return serial_;
    } // tells lists apart, also one made in another's place

  private:
    std::vector<std::string> names_;
    uint64_t serial_;
};

class Connection {
  public:
    Connection();
    ~Connection(); // closes; an open transaction is rolled back
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // "Provider=...;Data Source=<path>;Persist Security Info=False". The file must exist; it is
    // never created here. Opening an open connection is refused.
    void Open(const std::string& connectionString, const std::string& user = "",
              const std::string& password = "");
    void Close();
    bool IsOpen() const;
    const std::string& ConnectionString() const;

    // Nestable: the outermost level takes the write lock, inner levels are savepoints. Commit
    // and rollback end the innermost level this connection began.
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    LONG TransactionDepth() const;

    // Runs one statement that returns no rows (INSERT, UPDATE, DELETE); returns the number of
    // rows it changed.
    LONG Execute(const std::string& sql);
    // The same with a value for each `?` placeholder, in order.
    LONG Execute(const std::string& sql, const std::vector<Value>& parameters);

  private:
    friend class Recordset; // opens its statements on this connection's database

    std::shared_ptr<Backend> database_;
    std::string connectionString_;
    std::vector<int64_t> ownLevels_; // transaction levels begun here, innermost last
};

// Begins a transaction on construction; rolls it back on destruction unless Commit() ran.
class Transaction {
  public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();

  private:
    Connection& connection_;
    bool finished_ = false;
};

// A scrolling client cursor over the rows of one statement.
//
// A SELECT over one table (no join, DISTINCT, GROUP BY or computed column) is a keyed set: the
// row keys are read at Open, values are fetched a page at a time, and the set is updatable unless
// opened ReadOnly. Any other statement is read whole and is read-only. Moving off a row with a
// pending change saves it first, as ADO does. BatchOptimistic behaves as Optimistic (every
// change is written at Update).
class Recordset {
  public:
    Recordset();
    ~Recordset(); // closes: a pending AddNew or edit is discarded
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    void Open(const std::string& sql, Connection& active, CursorType cursor, LockType lock);
    // Opens a connection of its own on the connection string (sharing the database handle).
    void Open(const std::string& sql, const std::string& connectionString, CursorType cursor,
              LockType lock);
    // The same with a value for each `?` placeholder, in order. The values stay with the set:
    // Requery runs the statement with them again.
    void Open(const std::string& sql, std::vector<Value> parameters, Connection& active,
              CursorType cursor, LockType lock);
    void Open(const std::string& sql, std::vector<Value> parameters,
              const std::string& connectionString, CursorType cursor, LockType lock);
    void SetPageSize(LONG rows); // rows fetched per page (default 200)
    LONG PageSize() const;
    bool IsOpen() const;
    void Close(); // also ends the write lock of a pessimistic set; closing a closed set is a no-op

    bool IsEOF() const;
    bool IsBOF() const;
    void MoveFirst();
    void MoveNext();
    void MovePrevious();
    void MoveLast();
    LONG RecordCount() const;      // visible rows (after Filter)
    LONG AbsolutePosition() const; // 1-based; -1 when there is no current row
    void SetAbsolutePosition(LONG oneBased);
    void Requery(); // re-runs the statement, keeps the filter, moves to the first row

    // criterion: an SQL condition over the set's columns ("RoleID=5", "Name LIKE 'a%'").
    void Find(const std::string& criterion);      // forward from the current row, inclusive
    void SetFilter(const std::string& criterion); // "" shows every row again; moves to the first
    const std::string& Filter() const;

    LONG FieldCount() const;
    std::string FieldName(LONG index) const;
    bool HasField(const std::string& name) const; // case-insensitive
    Value GetValue(LONG index) const;
    Value GetValue(const std::string& name) const;
    // The same as GetValue(fields.Names()[which]).
    Value GetValue(const FieldList& fields, size_t which) const;
    void SetValue(LONG index, const Value& value);
    void SetValue(const std::string& name, const Value& value);
    LONG ActualSize(const std::string& name) const; // byte length of the current value

    // Reads the field in pieces, continuing where the previous call on this field and row
    // stopped: std::nullopt for a NULL or empty field, an empty vector once everything was read.
    std::optional<std::vector<uint8_t>> GetChunk(const std::string& name, LONG byteCount);
    // The first call in an edit replaces the field's value, later calls append to it. The pieces
    // are kept in a private temporary file until Update.
    void AppendChunk(const std::string& name, const uint8_t* data, size_t size);

    void AddNew();
    void Update();
    void Delete(); // removes the current row at once; the position stays until the next move
    void CancelUpdate();
    bool IsNewRecord() const; // the current row is an added row that is not saved yet

    bool SupportsPositioning() const; // bookmarks / approximate position: all but ForwardOnly
    const std::string& Source() const;
    Connection& ActiveConnection();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace velmora::db
