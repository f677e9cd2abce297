#pragma once
// Helpers shared by the row mapping routines.
#include <new>
#include <string>

#include <velmora/Com.h>

#include "engine/db/Database.h"
#include "engine/log/Log.h"
#include "engine/mapping/FieldConversion.h"

namespace velmora::engine::mapping {

// Runs one mapping; a data-access error becomes a log entry under "CDBUtil::<routine>" and
// E_FAIL.
template <class Mapping> HRESULT Guarded(const char* routine, Mapping&& mapping) {
    try {
        mapping();
        return S_OK;
    } catch (const db::DbError& error) {
        log::LogComError(2, std::string("CDBUtil::") + routine, error);
        return E_FAIL;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

// Writes an identifier column only when it holds another value, so an unchanged key is never
// rewritten.
inline void SaveIdentifier(db::Recordset& row, const char* column, LONG id) {
    if (VariantToLong(row.GetValue(column)) != id) row.SetValue(column, db::Value::Int(id));
}

} // namespace velmora::engine::mapping
