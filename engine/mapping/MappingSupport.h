#pragma once
// Helpers shared by the row mapping routines.
#include <string>

#include <velmora/Com.h>

#include "engine/com/MemberGuard.h"
#include "engine/db/Database.h"
#include "engine/log/Log.h"
#include "engine/mapping/FieldConversion.h"

namespace velmora::engine::mapping {

// Runs one mapping; a data-access error becomes a log entry under "CDBUtil::<routine>" and
// E_FAIL, an allocation failure E_OUTOFMEMORY.
template <class Mapping> HRESULT Guarded(const char* routine, Mapping&& mapping) {
    return Guard([&] {
        const bool mapped = GuardStep(2, std::string("CDBUtil::") + routine, [&] {
            mapping();
            return true;
        });
        return mapped ? S_OK : E_FAIL;
    });
}

// Writes an identifier column only when it holds another value, so an unchanged key is never
// rewritten.
inline void SaveIdentifier(db::Recordset& row, const char* column, LONG id) {
    if (VariantToLong(row.GetValue(column)) != id) row.SetValue(column, db::Value::Int(id));
}

} // namespace velmora::engine::mapping
