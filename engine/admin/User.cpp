#include "engine/admin/User.h"

#include <optional>
#include <string>

#include "engine/admin/Role.h"
#include "engine/admin/RoleSet.h"
#include "engine/admin/UserSysInfo.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/OutParams.h"
#include "engine/db/ConnectionString.h"
#include "engine/db/NextId.h"
#include "engine/log/Log.h"
#include "engine/mapping/DBUtil.h"
#include "engine/mapping/FieldConversion.h"

namespace velmora::engine {

HRESULT CUser::get_ID(LONG* pVal) {
    return ReturnValue(data_.id, pVal);
}

HRESULT CUser::get_LoginName(BSTR* pVal) {
    return ReturnText(data_.loginName, pVal);
}
HRESULT CUser::put_LoginName(BSTR newVal) {
    return StoreText(newVal, data_.loginName);
}

HRESULT CUser::get_UserName(BSTR* pVal) {
    return ReturnText(data_.userName, pVal);
}
HRESULT CUser::put_UserName(BSTR newVal) {
    return StoreText(newVal, data_.userName);
}

HRESULT CUser::get_Description(BSTR* pVal) {
    return ReturnText(data_.description, pVal);
}
HRESULT CUser::put_Description(BSTR newVal) {
    return StoreText(newVal, data_.description);
}

HRESULT CUser::get_Password(BSTR* pVal) {
    return ReturnText(data_.password, pVal);
}
HRESULT CUser::put_Password(BSTR newVal) {
    return StoreText(newVal, data_.password);
}

HRESULT CUser::get_EMail(BSTR* pVal) {
    return ReturnText(data_.email, pVal);
}
HRESULT CUser::put_EMail(BSTR newVal) {
    return StoreText(newVal, data_.email);
}

HRESULT CUser::get_Position(BSTR* pVal) {
    return ReturnText(data_.position, pVal);
}
HRESULT CUser::put_Position(BSTR newVal) {
    return StoreText(newVal, data_.position);
}

HRESULT CUser::get_Address(BSTR* pVal) {
    return ReturnText(data_.address, pVal);
}
HRESULT CUser::put_Address(BSTR newVal) {
    return StoreText(newVal, data_.address);
}

HRESULT CUser::get_Phone(BSTR* pVal) {
    return ReturnText(data_.phone, pVal);
}
HRESULT CUser::put_Phone(BSTR newVal) {
    return StoreText(newVal, data_.phone);
}

HRESULT CUser::get_Department(BSTR* pVal) {
    return ReturnText(data_.department, pVal);
}
HRESULT CUser::put_Department(BSTR newVal) {
    return StoreText(newVal, data_.department);
}

HRESULT CUser::get_ClassSet(IClassificationSet** pVal) {
    return ReturnObject<IClassificationSet, IClassificationSet>(nullptr, pVal);
}

HRESULT CUser::put_ClassSet(IClassificationSet*) {
    return S_OK;
}

HRESULT CUser::get_RoleSet(IRoleSet** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    const char* source = "CUser::get_RoleSet";
    if (data_.id == 0)
        return Fail(Info(), kSeeErrorLog, 0, source, "UserID is 0, can't perform the action");
    return Guard(Info(), {kSeeErrorLog, 2, source}, [&] {
        auto roles = CreateObject<CRoleSet>();
        db::Recordset rows;
        rows.Open("SELECT tRole.* FROM tRole, tUserRole WHERE tRole.roleID = tUserRole.roleID AND "
                  "tUserRole.userID = ?",
                  {db::Value::Int(data_.id)}, db::ProcessConnectionString(), db::CursorType::ForwardOnly,
                  db::LockType::ReadOnly);
        for (; !rows.IsEOF(); rows.MoveNext()) {
            auto role = CreateObject<CRole>();
            if (SUCCEEDED(CDBUtil::GetRoleData(rows, role.Get()))) roles->AppendItem(role);
        }
        return ReturnObject<IRoleSet>(roles, pVal);
    });
}

bool CUser::ReadSysInfoID(db::Connection& connection, LONG userId, LONG& sysInfoId) {
    db::Recordset row;
    row.Open("SELECT UserSystemInfoID FROM tUser WHERE UserID = ?", {db::Value::Int(userId)},
             connection, db::CursorType::ForwardOnly, db::LockType::ReadOnly);
    if (row.IsEOF()) {
        FailLogOnly(2, "CUser::GetUserSysInfoID",
                    "User(ID=" + std::to_string(userId) + ") does not exist");
        return false;
    }
    sysInfoId = VariantToLong(row.GetValue(0));
    return true;
}

HRESULT CUser::get_SysInfo(IUserSysInfo** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    const char* source = "CUser::get_SysInfo";
    const char* failed = "Get user's system infomation failed";
    if (data_.id == 0)
        return Fail(Info(), failed, 0, source,
                    "User is is 0, cannot retrieve it's system infomation");
    return Guard(Info(), {failed, 2, source}, [&]() -> HRESULT {
        db::Connection connection;
        connection.Open(db::ProcessConnectionString());
        LONG sysInfoId = 0;
        if (!ReadSysInfoID(connection, data_.id, sysInfoId)) return Fail(Info(), failed);
        if (sysInfoId == 0) return S_OK;
        db::Recordset row;
        row.Open("SELECT * FROM tUserSystemInfo WHERE UserSystemInfoID = ?",
                 {db::Value::Int(sysInfoId)}, connection, db::CursorType::ForwardOnly,
                 db::LockType::ReadOnly);
        if (row.IsEOF())
            return Fail(Info(), failed, 2, source,
                        "UserSystemInfo(ID=" + std::to_string(sysInfoId) + ") does not exist");
        auto info = CreateObject<CUserSysInfo>();
        if (FAILED(CDBUtil::GetUserSysInfoData(row, info.Get()))) return Fail(Info(), failed);
        return ReturnObject<IUserSysInfo>(info, pVal);
    });
}

HRESULT CUser::put_SysInfo(IUserSysInfo* newVal) {
    const char* source = "CUser::put_SysInfo";
    const char* failed = "Set user's system infomation failed";
    if (data_.id == 0)
        return Fail(Info(), failed, 0, source, "User is is 0, cannot set it's system infomation");
    CUserSysInfo* info = ImplementationOf<CUserSysInfo>(newVal);
    if (!info) return Fail(Info(), failed, 0, source, "system infomation object is not valid");
    // The object's fields are put back when the change fails, whatever the cause.
    std::optional<UserSysInfoData> before;
    const HRESULT hr = Guard(Info(), {failed, 2, source}, [&]() -> HRESULT {
        before = info->Data();
        db::Connection connection;
        connection.Open(db::ProcessConnectionString());
        db::Transaction transaction(connection); // rolled back unless committed
        LONG sysInfoId = 0;
        if (!ReadSysInfoID(connection, data_.id, sysInfoId)) return Fail(Info(), failed);
        const bool created = sysInfoId == 0;
        if (created) {
            sysInfoId = db::GetNextID("NextSysInfoID");
            if (sysInfoId == 0)
                return Fail(Info(), failed, 0, source,
                            "GetNextID returns 0, can't add new system infomation");
        }
        {
            db::Recordset row;
            row.Open("SELECT * FROM tUserSystemInfo WHERE UserSystemInfoID=?",
                     {db::Value::Int(sysInfoId)}, connection, db::CursorType::Keyset, db::LockType::Optimistic);
            if (created || row.IsEOF()) row.AddNew();
            info->SetID(sysInfoId);
            info->SetUserID(data_.id);
            if (FAILED(CDBUtil::SaveUserSysInfoData(row, info))) {
                row.CancelUpdate();
                return Fail(Info(), failed);
            }
            row.Update();
        }
        db::Recordset user;
        user.Open("SELECT UserSystemInfoID FROM tUser WHERE UserID=?", {db::Value::Int(data_.id)},
                  connection, db::CursorType::Keyset, db::LockType::Optimistic);
        if (user.IsEOF())
            return Fail(Info(), failed, 0, source,
                        "User(ID=" + std::to_string(data_.id) + ") does not exist");
        user.SetValue(0, db::Value::Int(sysInfoId));
        user.Update();
        user.Close();
        transaction.Commit();
        return S_OK;
    });
    if (FAILED(hr) && before) info->Data() = std::move(*before);
    return hr;
}

} // namespace velmora::engine
