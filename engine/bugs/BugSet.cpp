// Opening, sorting, filtering, refreshing and closing a bug set's cursor.
#include "engine/bugs/BugSet.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "engine/bugs/BugSetColumns.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/OutParams.h"
#include "engine/db/ConnectionSource.h"
#include "engine/db/ConnectionString.h"
#include "engine/log/Log.h"

namespace velmora::engine {
namespace {

constexpr db::LONG kPageSize = 200;
constexpr const char* kOrderBy = "ORDER BY ";

// The condition text of a filter set, or false when it could not give one.
bool ConditionOf(IBugFilterSet* filterSet, std::string* condition) {
    com::Bstr sql;
    if (FAILED(filterSet->GetSQL(sql.Put()))) return false;
    *condition = sql.Utf8();
    return true;
}

// The 32-bit value a caller passed for an enumeration. Callers may pass values outside the
// declared enumerators ("any non-zero order sorts descending"), so the bits are read as they are.
template <class Enum> int32_t RawValue(const Enum& value) {
    static_assert(sizeof(Enum) == sizeof(int32_t));
    int32_t raw = 0;
    std::memcpy(&raw, &value, sizeof raw);
    return raw;
}

} // namespace

CBugSet::CBugSet() = default;

CBugSet::~CBugSet() {
    if (!cursor_.IsOpen()) return;
    try {
        cursor_.Close();
    } catch (const db::DbError& error) {
        log::LogComError(2, "Destructor of IBugSet", error);
    }
}

std::string CBugSet::StatementText() const {
    return cursor_.Source();
}

HRESULT CBugSet::get_ExeContext(IExeContext** pVal) {
    return ReturnObject<IExeContext>(context_, pVal);
}

void CBugSet::OpenCursor(const std::string& statement) {
    cursor_.SetPageSize(kPageSize);
    if (auto* session = ImplementationOf<db::ConnectionSource>(context_.Get())) {
        cursor_.Open(statement, session->Connection(), db::CursorType::Dynamic,
                     db::LockType::Optimistic);
    } else {
        // A set created on its own reaches the database the session opened last.
        cursor_.Open(statement, db::ProcessConnectionString(), db::CursorType::Dynamic,
                     db::LockType::Optimistic);
    }
}

bool CBugSet::ApplyRowFilter() {
    if (!filterSet_) return true;
    std::string condition;
    if (!ConditionOf(filterSet_.Get(), &condition)) return false;
    cursor_.SetFilter(condition);
    return true;
}

HRESULT CBugSet::Open(IBugFilterSet* pFilterSet) {
    const char* failure = "Open bug set failed!";
    return Guard(classes::BugSet, {failure, 2, "CBugSet::Open"}, [&]() -> HRESULT {
        std::string condition;
        LONG filters = 0;
        if (pFilterSet && FAILED(pFilterSet->get_Count(&filters))) return Fail(Info(), failure);
        if (filters > 0) {
            std::string sql;
            if (!ConditionOf(pFilterSet, &sql)) return Fail(Info(), failure);
            condition = " WHERE " + sql;
        }
        const std::string statement = "SELECT * FROM tBugReport" + condition + " ORDER BY BugID";
        cursor_.Close();
        OpenCursor(statement);
        return S_OK;
    });
}

HRESULT CBugSet::Sort(eBugField Field, eOrder order) {
    const char* failure = "Set sort order failed!";
    return Guard(classes::BugSet, {failure, 2, "Sort"}, [&]() -> HRESULT {
        std::string statement = cursor_.Source();
        // The set's own order clause is always the last one; an earlier "ORDER BY " can only be
        // part of a filter value.
        if (const size_t clause = statement.rfind(kOrderBy); clause != std::string::npos)
            statement.erase(clause);
        statement += kOrderBy;
        statement += BugColumnName(RawValue(Field));
        statement += RawValue(order) == eAsc ? " ASC" : " DESC";
        cursor_.Close();
        OpenCursor(statement);
        // Re-sorting keeps the rows the attached filter set lets through.
        if (!ApplyRowFilter()) return Fail(Info(), failure);
        return S_OK;
    });
}

HRESULT CBugSet::Refresh() {
    const char* failure = "Refresh failed!";
    try {
        cursor_.Requery();
        if (!ApplyRowFilter()) return Fail(Info(), failure);
        return S_OK;
    } catch (const db::DbError& error) {
        return Fail(Info(), failure, 2, "CBugSet::Refresh",
                    error.Description() + "{" + error.Source() + "}" +
                        log::SystemMessage(error.Code()));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CBugSet::Close() {
    return Guard(classes::BugSet, {"Close bug set failed!", 2, "CBugSet::Close"}, [&]() -> HRESULT {
        cursor_.Close();
        return S_OK;
    });
}

HRESULT CBugSet::get_FilterSet(IBugFilterSet** pVal) {
    return ReturnObject<IBugFilterSet>(filterSet_, pVal);
}

HRESULT CBugSet::put_FilterSet(IBugFilterSet* newVal) {
    const char* failure = "Set filter failed!";
    return Guard(classes::BugSet, {failure, 2, "CBugSet::put_FilterSet"}, [&]() -> HRESULT {
        if (!newVal) {
            cursor_.SetFilter("");
            filterSet_.Reset();
            return S_OK;
        }
        std::string condition;
        if (!ConditionOf(newVal, &condition)) return Fail(Info(), failure);
        cursor_.SetFilter(condition);
        filterSet_ = com::ComPtr<IBugFilterSet>(newVal);
        return S_OK;
    });
}

} // namespace velmora::engine
