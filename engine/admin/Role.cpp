#include "engine/admin/Role.h"

#include <new>
#include <string>

#include "engine/admin/Right.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/OutParams.h"
#include "engine/db/ConnectionString.h"
#include "engine/mapping/DBUtil.h"

namespace velmora::engine {

HRESULT CRole::get_ID(LONG* pVal) {
    return ReturnValue(data_.id, pVal);
}

HRESULT CRole::get_Name(BSTR* pVal) {
    return ReturnText(data_.name, pVal);
}
HRESULT CRole::put_Name(BSTR newVal) {
    return StoreText(newVal, data_.name);
}

HRESULT CRole::get_Description(BSTR* pVal) {
    return ReturnText(data_.description, pVal);
}
HRESULT CRole::put_Description(BSTR newVal) {
    return StoreText(newVal, data_.description);
}

HRESULT CRole::get_Right(IRight** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    const ClassInfo& cls = classes::Role;
    const char* source = "IRole::Right";
    if (data_.id == 0)
        return Fail(cls, kSeeErrorLog, 0, source, "RoleID is 0, can't perform the action");
    try {
        auto right = CreateObject<CRight>();
        db::Recordset row;
        row.Open("select * from tRight where tRight.RoleID = " + std::to_string(data_.id),
                 db::ProcessConnectionString(), db::CursorType::ForwardOnly,
                 db::LockType::ReadOnly);
        // No stored right: no permissions.
        if (!row.IsEOF() && FAILED(CDBUtil::GetRightData(row, right.Get()))) {
            const char* noRight = "This role has no right";
            return Fail(cls, noRight, 3, source, noRight);
        }
        return ReturnObject<IRight>(right, pVal);
    } catch (const db::DbError& error) {
        return FailWithError(cls, kSeeErrorLog, 2, source, error);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

} // namespace velmora::engine
