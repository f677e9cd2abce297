#include "engine/admin/Role.h"

#include <string>
#include <vector>

#include "engine/admin/LookupLists.h"
#include "engine/admin/Product.h"
#include "engine/admin/Right.h"
#include "engine/admin/User.h"
#include "engine/admin/UserSet.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/OutParams.h"
#include "engine/db/ConnectionString.h"
#include "engine/mapping/DBUtil.h"
#include "engine/mapping/FieldConversion.h"

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
    return Guard(cls, {kSeeErrorLog, 2, source}, [&]() -> HRESULT {
        auto right = CreateObject<CRight>();
        db::Recordset row;
        row.Open("select * from tRight where tRight.RoleID = ?", {db::Value::Int(data_.id)},
                 db::ProcessConnectionString(), db::CursorType::ForwardOnly,
                 db::LockType::ReadOnly);
        // No stored right: no permissions.
        if (!row.IsEOF() && FAILED(CDBUtil::GetRightData(row, right.Get()))) {
            const char* noRight = "This role has no right";
            return Fail(cls, noRight, 3, source, noRight);
        }
        return ReturnObject<IRight>(right, pVal);
    });
}

HRESULT CRole::get_UserSet(IUserSet** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    const ClassInfo& cls = classes::Role;
    if (data_.id == 0)
        return Fail(cls, "RoleID is 0", 0, "IRole::UserSet",
                    "RoleID is 0, Cannot perform the action");
    return Guard(cls, {"Get UserSet failed!", 2, "CRole::get_UserSet"}, [&] {
        auto users = CreateObject<CUserSet>();
        db::Recordset rows;
        rows.Open("SELECT tUser.* FROM tUser,tUserRole WHERE tUser.userID = tUserRole.UserID AND "
                  "tUserRole.RoleID = ?",
                  {db::Value::Int(data_.id)}, db::ProcessConnectionString(), db::CursorType::ForwardOnly,
                  db::LockType::ReadOnly);
        for (; !rows.IsEOF(); rows.MoveNext()) {
            auto user = CreateObject<CUser>();
            if (SUCCEEDED(CDBUtil::GetUserData(rows, user.Get()))) users->AppendItem(user);
        }
        return ReturnObject<IUserSet>(users, pVal);
    });
}

HRESULT CRole::get_Product(IProduct** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    const ClassInfo& cls = classes::Role;
    const char* source = "IRole::Product";
    if (data_.id == 0)
        return Fail(cls, "RoleID is 0", 0, source, "RoleID is 0, cannot perfom the action");
    constexpr OnFailure kFailed = {.logSource = "CRole::get_Product",
                                   .described = Described::ByError};
    return Guard(cls, kFailed, [&]() -> HRESULT {
        db::Connection connection;
        connection.Open(db::ProcessConnectionString());
        LONG productId = 0;
        {
            db::Recordset role;
            role.Open("select ProductID from tRole WHERE tRole.RoleID = ?",
                      {db::Value::Int(data_.id)}, connection, db::CursorType::ForwardOnly, db::LockType::ReadOnly);
            if (role.IsEOF())
                return Fail(cls, kSeeErrorLog, 0, source, "This role does not exist in db");
            productId = VariantToLong(role.GetValue(0));
        }
        if (productId == 0) return S_OK;
        db::Recordset row;
        row.Open("select * from tProduct where ProductID = ?", {db::Value::Int(productId)},
                 connection, db::CursorType::ForwardOnly, db::LockType::ReadOnly);
        if (row.IsEOF())
            return Fail(cls, kSeeErrorLog, 0, source,
                        "Product(ID=" + std::to_string(productId) +
                            ") not exsit, concurrency is broken");
        auto product = CreateObject<CProduct>();
        if (FAILED(CDBUtil::GetProductData(row, product.Get())))
            return Fail(cls, kSeeErrorLog, 0, source, "Read product failed");
        return ReturnObject<IProduct>(product, pVal);
    });
}

HRESULT CRole::get_AvailableStatus(IBugStatus** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    const ClassInfo& cls = classes::Role;
    const char* source = "CRole::get_AvailableStatus";
    const char* failed = "Get the role's bug status failed";
    if (data_.id == 0) {
        FailLogOnly(0, source, "Role's ID = 0, cannot get it's bug status");
        return S_OK;
    }
    return Guard(cls, {failed, 2, source}, [&]() -> HRESULT {
        const std::vector<db::Value> key = {db::Value::Int(data_.id)};
        db::Connection connection;
        connection.Open(db::ProcessConnectionString());
        {
            db::Recordset probe;
            probe.Open("SELECT RoleID FROM tRole WHERE RoleID = ?", key, connection,
                       db::CursorType::ForwardOnly, db::LockType::ReadOnly);
            if (probe.IsEOF())
                return Fail(cls, failed, 0, source, "Role(ID=" + std::to_string(data_.id) + ") does not exsit");
        }
        auto statuses = CreateObject<CBugStatus>();
        db::Recordset rows;
        rows.Open("SELECT StatusName FROM tAvailableStatus WHERE RoleID=?", key, connection,
                  db::CursorType::ForwardOnly, db::LockType::ReadOnly);
        for (; !rows.IsEOF(); rows.MoveNext())
            statuses->AddEntry(VariantToString(rows.GetValue(0)));
        return ReturnObject<IBugStatus>(statuses, pVal);
    });
}

} // namespace velmora::engine
