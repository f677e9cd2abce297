#pragma once
// Reading every row of a statement into a new engine set: each row mapped into a new item and
// appended. Used wherever the engine hands out a whole table as a set (the session's user and
// role lists, the administration object's lists).
#include <string>

#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/OutParams.h"
#include "engine/db/ConnectionString.h"
#include "engine/db/Database.h"

namespace velmora::engine {

// Reads on a connection of its own; a mapping failure reports `failure` for `reporter`, a
// data-access error also logs it (code 2) under `source`. Set is one of the administration sets
// (engine/admin/AdminSet.h); Row is the row the mapping function fills, a base of Item.
template <class Set, class Item, class Row, class Interface>
HRESULT ReadWholeSet(const ClassInfo& reporter, const std::string& statement,
                     HRESULT (*map)(db::Recordset&, Row*), const char* failure, const char* source,
                     Interface** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return Guard(reporter, {.description = failure, .logSource = source}, [&]() -> HRESULT {
        auto set = CreateObject<Set>();
        db::Recordset rows;
        rows.Open(statement, db::ProcessConnectionString(), db::CursorType::ForwardOnly,
                  db::LockType::ReadOnly);
        for (; !rows.IsEOF(); rows.MoveNext()) {
            auto item = CreateObject<Item>();
            if (FAILED(map(rows, item.Get()))) return Fail(reporter, failure);
            set->AppendItem(item);
        }
        return ReturnObject<Interface>(set, out);
    });
}

} // namespace velmora::engine
