#pragma once
// What the administration sets (roles, users, products, classifications) have in common: the
// ordered in-memory list of their items, the item most recently handed out by Item (the target of
// Update), the session the engine bound them to, and the row deletions their cascades are made
// of. Which members also change the database differs from set to set and stays in each set; the
// texts a member reports are the member's own and are handed in by it.
//
// A set is declared as
//     class CRoleSet : public CoClass<IRoleSetStub, classes::RoleSet>,
//                      public AdminSet<CRole, classes::RoleSet> { ... };
// Every helper that fails reports like any engine member: an HRESULT, with the caller's
// description and the log entry set through engine/com/Failure.h.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include <velmora/ComSupport.h>
#include <velmora/Velmora.h>

#include "engine/com/ClassInfo.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/OutParams.h"
#include "engine/db/ConnectionString.h"
#include "engine/db/Database.h"

namespace velmora::engine {

// Deletes the rows of an open updatable record set from its current position on: all of them,
// or only the first when firstOnly. False when there was none. Data-access errors are thrown.
bool DeleteEachRow(db::Recordset& rows, bool firstOnly = false);

// Opens the statement with its parameter values on the connection (keyset, optimistic) and
// deletes its rows as DeleteEachRow does. A cascade is a run of these inside one transaction.
bool DeleteRows(db::Connection& connection, const std::string& statement,
                std::vector<db::Value> parameters, bool firstOnly = false);

// How rewriting one stored row ended.
enum class RowRewrite { Written, Missing, NotMapped };

// Opens the statement's row (with its parameter values) for update (keyset, optimistic) and
// writes the item into it with `save`; a row the mapping refuses is left as it was. Data-access
// errors are thrown.
template <class Row, class Item>
RowRewrite RewriteRow(const std::string& statement, std::vector<db::Value> parameters,
                      HRESULT (*save)(db::Recordset&, Row*), Item* item) {
    db::Recordset row;
    row.Open(statement, std::move(parameters), db::ProcessConnectionString(),
             db::CursorType::Keyset, db::LockType::Optimistic);
    if (row.IsEOF()) return RowRewrite::Missing;
    if (FAILED(save(row, item))) {
        row.CancelUpdate();
        return RowRewrite::NotMapped;
    }
    row.Update();
    return RowRewrite::Written;
}

// Whether Append takes an item whose ID is already in the set.
enum class SameId { Appended, Skipped };

template <class Item, const ClassInfo& kClass> class AdminSet {
  public:
    // Engine side: how the engine binds and fills the set.
    void SetContext(IExeContext* context) { context_ = com::ComPtr<IExeContext>(context); }
    // Appends without looking for an item with the same ID. Throws std::bad_alloc.
    void AppendItem(com::ComPtr<Item> item) { items_.push_back(std::move(item)); }
    // Makes room for one more item before a member stores it, so that the append after a
    // committed change cannot run out of memory and report a stored item as not stored.
    void ReserveOneMore() { items_.reserve(items_.size() + 1); }
    const std::vector<com::ComPtr<Item>>& Items() const { return items_; }

  protected:
    bool HoldsIndex(LONG index) const {
        return index >= 0 && static_cast<size_t>(index) < items_.size();
    }
    // An index outside the set: the general description, logged with code 1.
    static HRESULT IndexFailure(const char* source, const char* logText = "") {
        return Fail(kClass, kSeeErrorLog, 1, source, logText);
    }

    HRESULT CountOut(LONG* out) const { return ReturnValue(static_cast<LONG>(items_.size()), out); }

    // Item: the item at index, with a new reference; it becomes the current item, and `select`
    // sees it first.
    template <class Interface, class Select>
    HRESULT ItemOut(LONG index, const char* source, Interface** out, Select select) {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!HoldsIndex(index)) return IndexFailure(source);
        current_ = items_[static_cast<size_t>(index)];
        select(*current_.Get());
        return ReturnObject<Interface>(current_, out);
    }
    template <class Interface> HRESULT ItemOut(LONG index, const char* source, Interface** out) {
        return ItemOut(index, source, out, [](Item&) {});
    }

    // ExeContext: the session, or a null reference when there is none.
    HRESULT ContextOut(IExeContext** out) const { return ReturnObject<IExeContext>(context_, out); }
    // ExeContext where a set without a session fails with `missing` (also the log text).
    HRESULT ContextOut(IExeContext** out, const char* missing, const char* source) const {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!context_) return Fail(kClass, missing, 0, source, missing);
        return ContextOut(out);
    }

    // Append: a null item is ignored; only the engine's own objects can join, since the set
    // reaches its items' state directly.
    template <class Interface> HRESULT AppendOut(Interface* pItem, SameId sameId) {
        if (!pItem) return S_OK;
        Item* item = ImplementationOf<Item>(pItem);
        if (!item) return E_INVALIDARG;
        const LONG id = item->Data().id;
        if (sameId == SameId::Skipped &&
            std::any_of(items_.begin(), items_.end(),
                        [&](const auto& held) { return held->Data().id == id; }))
            return S_OK;
        return Guard([&]() -> HRESULT {
            items_.emplace_back(item);
            return S_OK;
        });
    }

    // In memory: takes the first item with the ID out of the set. When none has it, the text
    // `missing(ID)` is the description and the log text.
    template <class MissingText>
    HRESULT EraseById(LONG id, const char* source, MissingText missing) {
        const auto at = std::find_if(items_.begin(), items_.end(),
                                     [&](const auto& held) { return held->Data().id == id; });
        if (at != items_.end()) {
            items_.erase(at);
            return S_OK;
        }
        return Guard([&]() -> HRESULT {
            const std::string text = missing(id);
            return Fail(kClass, text, 0, source, text);
        });
    }
    // In memory: takes the item at index out of the set.
    HRESULT EraseAt(LONG index, const char* source) {
        if (!HoldsIndex(index)) return IndexFailure(source);
        items_.erase(items_.begin() + index);
        return S_OK;
    }

    // RemoveByID of a set whose items' rows go with them: `remove` deletes the row (logging why
    // it could not); then every item with the ID leaves the set and stops being the current
    // item, whether or not the set held one. `failed` is the description and the log text.
    HRESULT RemoveStored(LONG id, HRESULT (*remove)(LONG), const char* failed, const char* source) {
        if (FAILED(remove(id))) return Fail(kClass, failed, 0, source, failed);
        std::erase_if(items_, [&](const auto& held) { return held->Data().id == id; });
        if (current_ && current_->Data().id == id) current_.Reset();
        return S_OK;
    }
    // RemoveByIndex of such a set: the same for the item at index.
    HRESULT RemoveStoredAt(LONG index, HRESULT (*remove)(LONG), const char* failed,
                           const char* source) {
        if (!HoldsIndex(index)) return IndexFailure(source);
        const auto at = items_.begin() + index;
        if (FAILED(remove((*at)->Data().id))) return Fail(kClass, failed, 0, source, failed);
        if (current_.Get() == at->Get()) current_.Reset();
        items_.erase(at);
        return S_OK;
    }

    // Update: `update` writes the current item (logging why it could not); `failed` is the
    // description and the log text.
    HRESULT UpdateCurrent(HRESULT (*update)(Item*), const char* failed, const char* source) {
        return Guard([&]() -> HRESULT {
            if (FAILED(update(current_.Get()))) return Fail(kClass, failed, 0, source, failed);
            return S_OK;
        });
    }

    com::ComPtr<IExeContext> context_;
    std::vector<com::ComPtr<Item>> items_;
    com::ComPtr<Item> current_;
};

} // namespace velmora::engine
