#include "Database.h"
#include "ErrorCodes.h"
#include "Backend.h"
#include "RowStore.h"
#include "SqlDialect.h"
#include "Statement.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <optional>
#include <span>
#include <unordered_map>
#include <unordered_set>

namespace velmora::db {
namespace {

// Column names are ASCII; folding A-Z inline keeps the per-field lookups cheap.
inline unsigned char FoldAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c | 0x20) : c;
}

struct NoCaseHash {
    size_t operator()(const std::string& text) const noexcept {
        size_t hash = 14695981039346656037ull;
        for (unsigned char c : text)
            hash = (hash ^ FoldAscii(c)) * 1099511628211ull;
        return hash;
    }
};

struct NoCaseEqual {
    bool operator()(const std::string& a, const std::string& b) const noexcept {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i) {
            if (FoldAscii(static_cast<unsigned char>(a[i])) !=
                FoldAscii(static_cast<unsigned char>(b[i])))
                return false;
        }
        return true;
    }
};

} // namespace
namespace {

constexpr LONG kDefaultPageSize = 200;

[[noreturn]] void FailInvalidArgument() {
    Fail(kErrInvalidArgument, "Arguments are of the wrong type, are out of acceptable range, or "
                              "are in conflict with one another.");
}

[[noreturn]] void FailFetchBackward() {
    Fail(kErrCantFetchBack, "Rowset does not support fetching backward.");
}

int64_t SizeOf(const Value& value) {
    switch (value.kind()) {
    case Value::Kind::Null:
        return 0;
    case Value::Kind::Int32:
        return 4;
    case Value::Kind::Byte:
        return 1;
    case Value::Kind::Bool:
        return 2;
    case Value::Kind::Double:
    case Value::Kind::Date:
        return 8;
    case Value::Kind::Text:
        return static_cast<int64_t>(value.asText().size());
    case Value::Kind::Binary:
        return static_cast<int64_t>(value.asBinary().size());
    }
    return 0;
}

} // namespace

struct Recordset::Impl {
    enum class Mode { None, Edit, Add };

    std::unique_ptr<Connection> ownConnection;
    Connection* connection = nullptr;
    std::shared_ptr<Backend> database;
    std::unique_ptr<RowStore> store; // after database: destroyed first
    // Column positions by name, without regard to case; the first of equal names wins.
    mutable std::unordered_map<std::string, size_t, NoCaseHash, NoCaseEqual> columnIndex;
    uint64_t opened = 0; // counts the opens, so that what was worked out for one is not reused
    mutable uint64_t indexedOpen = 0;
    // The positions of the last FieldList asked about (nullopt: no such field), for this open.
    mutable uint64_t resolvedList = 0;
    mutable uint64_t resolvedOpen = 0;
    mutable std::vector<std::optional<size_t>> resolved;
    CursorType cursor = CursorType::ForwardOnly;
    std::string source;
    std::string filter;
    LONG pageSize = kDefaultPageSize;
    std::optional<int64_t> lockLevel; // the write lock of a pessimistic set

    std::vector<int64_t> all; // the statement's rows, plus rows added through this set
    // A large keyed set reads at first only the keys of its first page; the others are read when
    // something needs them (a move, a count, a position, a search or filter), so that a set used
    // only to add rows never reads them. Until then all holds the first keys and, after them,
    // the rows added through this set.
    bool keysPending = false;
    ptrdiff_t firstKeys = 0;      // the keys read at open, at the start of all
    std::vector<int64_t> visible; // those the filter lets through, in the same order
    // Whether visible is sorted by id (as a set ordered by its key is), so that Find can halve
    // its way to a key; worked out when first needed after visible changed.
    enum class Order { Unknown, Ascending, Other };
    Order visibleOrder = Order::Unknown;
    ptrdiff_t pos = -1;     // index in visible; -1 before the first, size() after the last
    bool onDeleted = false; // the current row was deleted; pos is the row after it

    Mode mode = Mode::None;
    EditBuffer edit;
    ptrdiff_t positionBeforeAdd = -1;
    std::vector<int64_t> chunkOffsets; // GetChunk progress per column on the current row

    ptrdiff_t Size() const { return static_cast<ptrdiff_t>(visible.size()); }

    // Reads the keys the open left unread and puts them after the first ones, before the rows
    // added through this set, as if the set had read them all at open.
    void ReadRemainingKeys() {
        if (!keysPending) return;
        const std::vector<int64_t> rest =
            store->RunRest(std::unordered_set<int64_t>(all.begin(), all.end()));
        keysPending = false;
        all.insert(all.begin() + firstKeys, rest.begin(), rest.end());
        SetVisible(all);
        const auto added = static_cast<ptrdiff_t>(rest.size());
        if (pos >= firstKeys) pos += added;
        if (positionBeforeAdd >= firstKeys) positionBeforeAdd += added;
    }
    size_t Columns() const { return store->Columns().size(); }

    void RequireOpen() const {
        if (!store) FailClosed();
    }

    void RequireUpdatable() const {
        if (!store->Updatable()) FailNotUpdatable();
    }

    size_t Column(LONG index) const {
        RequireOpen();
        if (index < 0 || static_cast<size_t>(index) >= Columns()) {
            Fail(kErrItemNotFound, "Item cannot be found in the collection corresponding to the "
                                   "requested name or ordinal.");
        }
        return static_cast<size_t>(index);
    }

    std::optional<size_t> FindColumn(const std::string& name) const {
        RequireOpen();
        // Row mapping looks fields up by name, so the names are indexed once per open.
        if (indexedOpen != opened) {
            columnIndex.clear();
            const auto& columns = store->Columns();
            for (size_t i = 0; i < columns.size(); ++i)
                columnIndex.emplace(columns[i].name, i);
            indexedOpen = opened;
        }
        if (auto found = columnIndex.find(name); found != columnIndex.end()) return found->second;
        return std::nullopt;
    }

    [[noreturn]] static void FailNoField(const std::string& name) {
        Fail(kErrItemNotFound, "Item cannot be found in the collection corresponding to the "
                               "requested name or ordinal ('" +
                                   name + "').");
    }

    size_t Column(const std::string& name) const {
        if (const auto column = FindColumn(name)) return *column;
        FailNoField(name);
    }

    size_t Column(const FieldList& fields, size_t which) const {
        RequireOpen();
        if (resolvedList != fields.Serial() || resolvedOpen != opened) {
            resolved.clear();
            for (const std::string& name : fields.Names())
                resolved.push_back(FindColumn(name));
            resolvedList = fields.Serial();
            resolvedOpen = opened;
        }
        if (which >= resolved.size()) {
            Fail(kErrItemNotFound, "Item cannot be found in the collection corresponding to the "
                                   "requested name or ordinal.");
        }
        if (const auto& column = resolved[which]) return *column;
        FailNoField(fields.Names()[which]);
    }

    bool OnRow() const { return !onDeleted && pos >= 0 && pos < Size(); }

    void ResetChunks() { chunkOffsets.assign(store ? Columns() : 0, 0); }

    void ResetEdit() {
        mode = Mode::None;
        edit.Reset(Columns());
    }

    // Removes rows that no longer exist from the set.
    void Forget(const std::unordered_set<int64_t>& gone) {
        const auto isGone = [&gone](int64_t id) { return gone.contains(id); };
        all.erase(std::remove_if(all.begin(), all.end(), isGone), all.end());
        visible.erase(std::remove_if(visible.begin(), visible.end(), isGone), visible.end());
    }

    void SetVisible(std::vector<int64_t> rows) {
        visible = std::move(rows);
        visibleOrder = Order::Unknown;
    }

    bool VisibleAscending() {
        if (visibleOrder == Order::Unknown) {
            visibleOrder =
                std::is_sorted(visible.begin(), visible.end()) ? Order::Ascending : Order::Other;
        }
        return visibleOrder == Order::Ascending;
    }

    // Makes the row at index current, loading its page (or, for a jump that is not the start of
    // a walk, the row alone). A row that someone else deleted since the keys were read is
    // dropped, and the move goes on in its direction.
    enum class Load { Page, Row };
    void Arrive(ptrdiff_t index, int direction, Load load = Load::Page) {
        onDeleted = false;
        ResetChunks();
        for (;;) {
            if (index < 0) {
                pos = -1;
                return;
            }
            if (index >= Size()) {
                pos = Size();
                return;
            }
            const int64_t id = visible[index];
            if (store->Cached(id) == nullptr) {
                const ptrdiff_t start = load == Load::Row ? index : index / pageSize * pageSize;
                const ptrdiff_t end =
                    std::min<ptrdiff_t>(Size(), load == Load::Row ? index + 1 : start + pageSize);
                const auto missing = store->LoadPage(
                    std::vector<int64_t>(visible.begin() + start, visible.begin() + end));
                if (!missing.empty()) {
                    const std::unordered_set<int64_t> gone(missing.begin(), missing.end());
                    const ptrdiff_t goneBefore =
                        std::count_if(visible.begin() + start, visible.begin() + index,
                                      [&gone](int64_t before) { return gone.contains(before); });
                    const bool targetGone = gone.contains(id);
                    Forget(gone);
                    index -= goneBefore;
                    if (targetGone) {
                        if (direction < 0) --index;
                        continue;
                    }
                }
            }
            pos = index;
            return;
        }
    }

    const Row& CurrentRow() {
        if (mode == Mode::Add || !OnRow()) FailNoCurrentRecord();
        if (const Row* row = store->Cached(visible[pos])) return *row;
        store->LoadPage({visible[pos]});
        if (const Row* row = store->Cached(visible[pos])) return *row;
        Fail(kErrDeletedRow, "Row handle referred to a deleted row or a row marked for deletion.");
    }

    // Saves a pending edit or new row, as moving off it does.
    void SaveEdit() {
        if (mode == Mode::Edit) {
            if (!edit.Empty()) {
                const Row original = CurrentRow(); // the store may replace its cached copy
                store->Update(original, edit);
            }
        } else if (mode == Mode::Add) {
            const int64_t id = store->Insert(edit);
            all.push_back(id);
            if (!visible.empty() && id < visible.back()) visibleOrder = Order::Other;
            visible.push_back(id);
            pos = Size() - 1;
            onDeleted = false;
        } else {
            return;
        }
        ResetEdit();
        ResetChunks();
    }

    void BeginEdit() {
        RequireOpen();
        RequireUpdatable();
        if (mode != Mode::None) return;
        if (!OnRow()) FailNoCurrentRecord();
        CurrentRow();
        mode = Mode::Edit;
        edit.Reset(Columns());
    }

    bool Pending(size_t column) const { return mode != Mode::None && edit.Touched(column); }

    Value CurrentValue(size_t column) {
        if (Pending(column)) {
            if (edit.values[column]) return *edit.values[column];
            const ChunkSpool& spool = *edit.spools[column];
            std::vector<uint8_t> bytes(static_cast<size_t>(spool.Size()));
            spool.ReadAt(0, bytes.data(), bytes.size());
            return Value::Binary(std::move(bytes));
        }
        if (mode == Mode::Add) return Value::Null();
        return store->FullValue(CurrentRow(), column);
    }

    int64_t CurrentSize(size_t column) {
        if (Pending(column)) {
            return edit.values[column] ? SizeOf(*edit.values[column]) : edit.spools[column]->Size();
        }
        if (mode == Mode::Add) return 0;
        const Row& row = CurrentRow();
        const Cell& cell = row.cells[column];
        if (cell.IsDeferred()) return cell.deferredSize;
        return SizeOf(store->ToValue(cell, column));
    }

    // Whether the current value is a text or binary (or NULL), which GetChunk reads.
    bool HoldsBytes(size_t column) {
        if (Pending(column) && edit.spools[column]) return true;
        if (Pending(column) || mode == Mode::Add) {
            const Value::Kind kind = CurrentValue(column).kind();
            return kind == Value::Kind::Null || kind == Value::Kind::Text ||
                   kind == Value::Kind::Binary;
        }
        const Storage storage = CurrentRow().cells[column].storage;
        return storage == Storage::Null || storage == Storage::Text || storage == Storage::Blob;
    }

    std::vector<uint8_t> CurrentBytes(size_t column, int64_t offset, size_t count) {
        if (Pending(column) && edit.spools[column]) {
            std::vector<uint8_t> bytes(count);
            bytes.resize(edit.spools[column]->ReadAt(offset, bytes.data(), count));
            return bytes;
        }
        if (Pending(column) || mode == Mode::Add) {
            const Value value = CurrentValue(column);
            const std::string text = value.toText();
            if (offset >= static_cast<int64_t>(text.size())) return {};
            const size_t take = std::min(count, text.size() - static_cast<size_t>(offset));
            return std::vector<uint8_t>(text.begin() + offset, text.begin() + offset + take);
        }
        return store->ReadBytes(CurrentRow(), column, offset, count);
    }

    void Open(const std::string& sql, std::vector<Value> parameters, Connection& active,
              CursorType cursorType, LockType lockType) {
        if (store) Fail(kErrObjectOpen, "Operation is not allowed when the object is open.");
        if (!active.IsOpen()) FailClosed();
        const auto& shared = SharedOf(active);
        const std::string translated = NumberPlaceholders(TranslateDateLiterals(sql));
        const bool updatable = lockType != LockType::ReadOnly;
        std::unique_ptr<RowStore> newStore = shared->OpenStore(translated, parameters, updatable);
        // A statement that returns no rows has run, and the set stays closed.
        if (!newStore) return;
        if (lockType == LockType::Pessimistic) lockLevel = shared->BeginLevel();
        ++opened;
        database = shared;
        connection = &active;
        cursor = cursorType;
        source = sql;
        filter.clear();
        try {
            store = std::move(newStore);
            keysPending = false;
            if (store->Keyed() && updatable) {
                // An updatable set is often opened only to add a row: beyond the first page,
                // the keys wait until they are needed.
                const auto first = static_cast<size_t>(pageSize);
                all = store->RunFirst(first + 1);
                keysPending = all.size() > first;
                if (keysPending) all.resize(first);
            } else {
                all = store->Run();
            }
            SetVisible(all);
            ResetEdit();
            Arrive(0, +1);
            firstKeys = static_cast<ptrdiff_t>(all.size());
        } catch (const DbError&) {
            // A set that failed to open holds nothing, the write lock included.
            if (lockLevel) {
                try {
                    database->RollbackLevel(*lockLevel);
                } catch (const DbError&) {
                    // The open's own failure is the one to report.
                }
                lockLevel.reset();
            }
            Close();
            throw;
        }
    }

    static const std::shared_ptr<Backend>& SharedOf(Connection& connection);

    void Close() {
        store.reset();
        keysPending = false;
        all.clear();
        SetVisible({});
        pos = -1;
        onDeleted = false;
        mode = Mode::None;
        edit.Reset(0);
        chunkOffsets.clear();
        filter.clear();
        source.clear();
        std::optional<DbError> failure;
        if (lockLevel && database->HasLevel(*lockLevel)) {
            try {
                database->CommitLevel(*lockLevel);
            } catch (const DbError& error) {
                failure = error;
                try {
                    database->RollbackLevel(*lockLevel);
                } catch (const DbError&) {
                    // The failure that matters is already recorded.
                }
            }
        }
        lockLevel.reset();
        database.reset();
        connection = nullptr;
        ownConnection.reset();
        if (failure) throw *failure;
    }

    std::vector<int64_t> Filtered(const std::string& criterion) {
        ReadRemainingKeys();
        if (criterion.empty()) return all;
        const auto matching = store->Matching(TranslateDateLiterals(criterion), all);
        std::vector<int64_t> kept;
        std::copy_if(all.begin(), all.end(), std::back_inserter(kept),
                     [&matching](int64_t id) { return matching.contains(id); });
        return kept;
    }
};

Recordset::Recordset() : impl_(std::make_unique<Impl>()) {}

Recordset::~Recordset() {
    try {
        impl_->Close();
    } catch (const DbError&) {
        // The pessimistic lock was given up; nothing else is left to do.
    }
}

const std::shared_ptr<Backend>& Recordset::Impl::SharedOf(Connection& connection) {
    return connection.database_;
}

void Recordset::Open(const std::string& sql, Connection& active, CursorType cursor, LockType lock) {
    impl_->Open(sql, {}, active, cursor, lock);
}

void Recordset::Open(const std::string& sql, const std::string& connectionString, CursorType cursor,
                     LockType lock) {
    Open(sql, {}, connectionString, cursor, lock);
}

void Recordset::Open(const std::string& sql, std::vector<Value> parameters, Connection& active,
                     CursorType cursor, LockType lock) {
    impl_->Open(sql, std::move(parameters), active, cursor, lock);
}

void Recordset::Open(const std::string& sql, std::vector<Value> parameters,
                     const std::string& connectionString, CursorType cursor, LockType lock) {
    if (impl_->store) Fail(kErrObjectOpen, "Operation is not allowed when the object is open.");
    auto own = std::make_unique<Connection>();
    own->Open(connectionString);
    impl_->Open(sql, std::move(parameters), *own, cursor, lock);
    if (impl_->store) impl_->ownConnection = std::move(own);
}

void Recordset::SetPageSize(LONG rows) {
    if (rows < 1) FailInvalidArgument();
    impl_->pageSize = rows;
}

LONG Recordset::PageSize() const {
    return impl_->pageSize;
}

bool Recordset::IsOpen() const {
    return static_cast<bool>(impl_->store);
}

void Recordset::Close() {
    impl_->Close();
}

bool Recordset::IsEOF() const {
    impl_->RequireOpen();
    if (impl_->mode == Impl::Mode::Add || impl_->onDeleted) return false;
    // Until the remaining keys are read the set stands on a row; off a row it needs them all.
    if (!impl_->OnRow()) impl_->ReadRemainingKeys();
    return impl_->pos >= impl_->Size();
}

bool Recordset::IsBOF() const {
    impl_->RequireOpen();
    if (impl_->mode == Impl::Mode::Add || impl_->onDeleted) return false;
    if (!impl_->OnRow()) impl_->ReadRemainingKeys();
    return impl_->pos < 0 || impl_->Size() == 0;
}

void Recordset::MoveFirst() {
    impl_->RequireOpen();
    impl_->ReadRemainingKeys();
    impl_->SaveEdit();
    impl_->Arrive(0, +1);
}

void Recordset::MoveNext() {
    impl_->RequireOpen();
    impl_->ReadRemainingKeys();
    impl_->SaveEdit();
    if (impl_->onDeleted) {
        impl_->Arrive(impl_->pos, +1);
        return;
    }
    if (impl_->pos >= impl_->Size()) FailNoCurrentRecord();
    impl_->Arrive(impl_->pos + 1, +1);
}

void Recordset::MovePrevious() {
    impl_->RequireOpen();
    if (impl_->cursor == CursorType::ForwardOnly) FailFetchBackward();
    impl_->ReadRemainingKeys();
    impl_->SaveEdit();
    if (!impl_->onDeleted && impl_->pos < 0) FailNoCurrentRecord();
    impl_->Arrive(impl_->pos - 1, -1);
}

void Recordset::MoveLast() {
    impl_->RequireOpen();
    impl_->ReadRemainingKeys();
    impl_->SaveEdit();
    impl_->Arrive(impl_->Size() - 1, -1);
}

LONG Recordset::RecordCount() const {
    impl_->RequireOpen();
    impl_->ReadRemainingKeys();
    return static_cast<LONG>(impl_->Size());
}

LONG Recordset::AbsolutePosition() const {
    impl_->RequireOpen();
    impl_->ReadRemainingKeys();
    if (impl_->mode == Impl::Mode::Add || !impl_->OnRow()) return -1;
    return static_cast<LONG>(impl_->pos + 1);
}

void Recordset::SetAbsolutePosition(LONG oneBased) {
    impl_->RequireOpen();
    impl_->ReadRemainingKeys();
    if (oneBased < 1 || oneBased > impl_->Size()) FailInvalidArgument();
    if (impl_->cursor == CursorType::ForwardOnly && oneBased - 1 < impl_->pos) {
        FailFetchBackward();
    }
    impl_->SaveEdit();
    impl_->Arrive(oneBased - 1, +1);
}

void Recordset::Requery() {
    impl_->RequireOpen();
    impl_->SaveEdit();
    impl_->keysPending = false; // all keys are read afresh
    impl_->all = impl_->store->Run();
    impl_->SetVisible(impl_->Filtered(impl_->filter));
    impl_->Arrive(0, +1);
}

void Recordset::Find(const std::string& criterion) {
    impl_->RequireOpen();
    if (criterion.empty()) FailInvalidArgument();
    impl_->ReadRemainingKeys();
    impl_->SaveEdit();
    const std::string condition = TranslateDateLiterals(criterion);
    ptrdiff_t start = std::max<ptrdiff_t>(impl_->pos, 0);
    for (;;) {
        if (start >= impl_->Size()) {
            impl_->Arrive(impl_->Size(), +1);
            return;
        }
        const std::span<const int64_t> rest(impl_->visible.data() + start,
                                            impl_->visible.size() - static_cast<size_t>(start));
        const ptrdiff_t found = start + static_cast<ptrdiff_t>(impl_->store->FirstMatching(
                                            condition, rest, impl_->VisibleAscending()));
        if (found >= impl_->Size()) {
            impl_->Arrive(impl_->Size(), +1);
            return;
        }
        // A found row is read alone: most searches look for one row, and a walk on from it reads
        // the following page as usual.
        const int64_t id = impl_->visible[found];
        impl_->Arrive(found, +1, Impl::Load::Row);
        if (impl_->OnRow() && impl_->visible[impl_->pos] == id) return;
        // The row was deleted by someone else just now; the search goes on after it.
        start = impl_->pos;
    }
}

void Recordset::SetFilter(const std::string& criterion) {
    impl_->RequireOpen();
    impl_->SaveEdit();
    std::vector<int64_t> kept = impl_->Filtered(criterion);
    impl_->filter = criterion;
    impl_->SetVisible(std::move(kept));
    impl_->Arrive(0, +1);
}

const std::string& Recordset::Filter() const {
    return impl_->filter;
}

LONG Recordset::FieldCount() const {
    impl_->RequireOpen();
    return static_cast<LONG>(impl_->Columns());
}

std::string Recordset::FieldName(LONG index) const {
    const size_t column = impl_->Column(index);
    return impl_->store->Columns()[column].name;
}

bool Recordset::HasField(const std::string& name) const {
    impl_->RequireOpen();
    for (const ColumnInfo& column : impl_->store->Columns()) {
        if (EqualsNoCase(column.name, name)) return true;
    }
    return false;
}

Value Recordset::GetValue(LONG index) const {
    return impl_->CurrentValue(impl_->Column(index));
}

Value Recordset::GetValue(const std::string& name) const {
    return impl_->CurrentValue(impl_->Column(name));
}

Value Recordset::GetValue(const FieldList& fields, size_t which) const {
    return impl_->CurrentValue(impl_->Column(fields, which));
}

FieldList::FieldList(std::vector<std::string> names) : names_(std::move(names)) {
    static std::atomic<uint64_t> lists{0};
    serial_ = ++lists;
}

void Recordset::SetValue(LONG index, const Value& value) {
    const size_t column = impl_->Column(index);
    impl_->BeginEdit();
    impl_->edit.values[column] = value;
    impl_->edit.spools[column].reset();
}

void Recordset::SetValue(const std::string& name, const Value& value) {
    SetValue(static_cast<LONG>(impl_->Column(name)), value);
}

LONG Recordset::ActualSize(const std::string& name) const {
    const int64_t size = impl_->CurrentSize(impl_->Column(name));
    return static_cast<LONG>(std::min<int64_t>(size, INT32_MAX));
}

std::optional<std::vector<uint8_t>> Recordset::GetChunk(const std::string& name, LONG byteCount) {
    const size_t column = impl_->Column(name);
    if (byteCount < 1) FailInvalidArgument();
    if (!impl_->HoldsBytes(column)) {
        Fail(kErrIllegalOperation, "Operation is not allowed in this context.");
    }
    if (impl_->CurrentSize(column) == 0) return std::nullopt;
    int64_t& offset = impl_->chunkOffsets[column];
    std::vector<uint8_t> bytes =
        impl_->CurrentBytes(column, offset, static_cast<size_t>(byteCount));
    offset += static_cast<int64_t>(bytes.size());
    return bytes;
}

void Recordset::AppendChunk(const std::string& name, const uint8_t* data, size_t size) {
    const size_t column = impl_->Column(name);
    if (data == nullptr && size > 0) FailInvalidArgument();
    impl_->BeginEdit();
    auto& spool = impl_->edit.spools[column];
    if (!spool) {
        spool = std::make_shared<ChunkSpool>();
        impl_->edit.values[column].reset();
    }
    spool->Append(data, size);
}

void Recordset::AddNew() {
    impl_->RequireOpen();
    impl_->RequireUpdatable();
    impl_->SaveEdit();
    impl_->positionBeforeAdd = impl_->pos;
    impl_->onDeleted = false;
    impl_->mode = Impl::Mode::Add;
    impl_->edit.Reset(impl_->Columns());
    impl_->ResetChunks();
}

void Recordset::Update() {
    impl_->RequireOpen();
    if (impl_->mode == Impl::Mode::None) {
        // Nothing to write. Saving right after Delete is the usual pattern and is fine; saving
        // with no row at all is a mistake.
        if (!impl_->OnRow() && !impl_->onDeleted) FailNoCurrentRecord();
        return;
    }
    impl_->SaveEdit();
}

void Recordset::Delete() {
    impl_->RequireOpen();
    impl_->RequireUpdatable();
    if (impl_->mode == Impl::Mode::Add) {
        CancelUpdate(); // the new row was never stored
        return;
    }
    impl_->ReadRemainingKeys();
    impl_->ResetEdit();
    const Row original = impl_->CurrentRow();
    impl_->store->Remove(original);
    impl_->Forget({original.id});
    impl_->onDeleted = true;
    impl_->ResetChunks();
}

void Recordset::CancelUpdate() {
    impl_->RequireOpen();
    if (impl_->mode == Impl::Mode::Add) {
        impl_->pos = std::clamp<ptrdiff_t>(impl_->positionBeforeAdd, -1, impl_->Size());
    }
    impl_->ResetEdit();
    impl_->ResetChunks();
}

bool Recordset::IsNewRecord() const {
    return impl_->store && impl_->mode == Impl::Mode::Add;
}

bool Recordset::SupportsPositioning() const {
    return impl_->cursor != CursorType::ForwardOnly;
}

const std::string& Recordset::Source() const {
    return impl_->source;
}

Connection& Recordset::ActiveConnection() {
    if (impl_->connection == nullptr) FailClosed();
    return *impl_->connection;
}

} // namespace velmora::db
