#include "engine/admin/RoleSet.h"

#include <new>
#include <string>

#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/db/ConnectionString.h"
#include "engine/db/Database.h"
#include "engine/db/NextId.h"
#include "engine/log/Log.h"
#include "engine/mapping/DBUtil.h"

namespace velmora::engine {
namespace {

constexpr const char* kRemoveSource = "CRoleSet::RealRemove";
constexpr const char* kAddSource = "CRoleSet::RealAddRole";
constexpr const char* kUpdateSource = "CRoleSet::RealUpdateRole";
constexpr const char* kDeleteFailed = "Delete Role failed";

} // namespace

HRESULT CRoleSet::RealRemove(LONG roleId) {
    const std::string id = std::to_string(roleId);
    return GuardStep(2, kRemoveSource, [&]() -> HRESULT {
        db::Connection connection;
        connection.Open(db::ProcessConnectionString());
        db::Transaction transaction(connection); // rolled back unless committed
        const std::vector<db::Value> key{db::Value::Int(roleId)};
        DeleteRows(connection, "SELECT RoleID FROM tAvailableStatus WHERE RoleID=?", key);
        DeleteRows(connection, "SELECT RoleID FROM tRight WHERE RoleID=?", key, true);
        DeleteRows(connection, "SELECT RoleID FROM tUserRole WHERE RoleID=?", key);
        if (!DeleteRows(connection, "SELECT RoleID from tRole WHERE RoleID = ?", key))
            return FailLogOnly(2, kRemoveSource, "Role(ID=" + id + ") does not exist!");
        transaction.Commit();
        return S_OK;
    });
}

HRESULT CRoleSet::RealAddRole(CRole& role) {
    const LONG id = db::GetNextID("NextRoleID");
    if (id == 0) return FailLogOnly(0, kAddSource, "GetNextID return 0, Add Failed");
    const LONG before = role.Data().id;
    db::Recordset row;
    try {
        row.Open("SELECT * FROM tRole where roleID = 0", db::ProcessConnectionString(),
                 db::CursorType::Keyset, db::LockType::Optimistic);
        row.AddNew();
        role.SetID(id);
        if (FAILED(CDBUtil::SaveRoleData(row, &role))) {
            row.CancelUpdate();
            role.SetID(before);
            return FailLogOnly(0, kAddSource, "Some error occured when add a role");
        }
        row.SetValue("ProductID", db::Value::Int(0)); // a new role belongs to no product
        row.Update();
        return S_OK;
    } catch (const db::DbError& error) {
        try {
            if (row.IsOpen() && row.IsNewRecord()) row.CancelUpdate();
        } catch (const db::DbError&) {
        }
        role.SetID(before);
        return FailLogOnly(0, kAddSource,
                           error.Description().empty() ? std::string("Add role Failed")
                                                       : error.Description());
    }
}

HRESULT CRoleSet::RealUpdateRole(CRole* role) {
    if (!role) return FailLogOnly(6, kUpdateSource, "role interface is not valid");
    const std::string id = std::to_string(role->Data().id);
    if (role->Data().id == 0)
        return FailLogOnly(6, kUpdateSource, "Cannot update the role(ID is 0)");
    return GuardStep(2, kUpdateSource, [&]() -> HRESULT {
        switch (RewriteRow("SELECT * FROM tRole WHERE roleID = ?",
                           {db::Value::Int(role->Data().id)}, &CDBUtil::SaveRoleData, role)) {
        case RowRewrite::Written:
            return S_OK;
        case RowRewrite::Missing:
            return FailLogOnly(0, kUpdateSource,
                               "Role(ID=" + id + ") does not exist in database, update failed");
        case RowRewrite::NotMapped:
            break;
        }
        return FailLogOnly(0, kUpdateSource, "Update role failed, see err.log");
    });
}

HRESULT CRoleSet::get_Count(LONG* pVal) {
    return CountOut(pVal);
}

HRESULT CRoleSet::get_Item(LONG iIndex, IRole** pVal) {
    return ItemOut(iIndex, "CRoleSet::get_Item", pVal);
}

HRESULT CRoleSet::get_ExeContext(IExeContext** pVal) {
    return ContextOut(pVal, "RoleSet has no execute context object at present",
                      "CRoleSet::get_ExeContext");
}

HRESULT CRoleSet::Add(IRole* pRole) {
    constexpr const char* kFailed = "Add role Failed";
    return Guard([&]() -> HRESULT {
        CRole* role = ImplementationOf<CRole>(pRole);
        ReserveOneMore();
        if (!role || FAILED(RealAddRole(*role)))
            return Fail(Info(), kFailed, 0, "CRoleSet::Add", kFailed);
        AppendItem(com::ComPtr<CRole>(role));
        return S_OK;
    });
}

HRESULT CRoleSet::RemoveByID(LONG ID) {
    return RemoveStored(ID, &RealRemove, kDeleteFailed, "CRoleSet::RemoveByID");
}

HRESULT CRoleSet::RemoveByIndex(LONG iIndex) {
    return RemoveStoredAt(iIndex, &RealRemove, kDeleteFailed, "CRoleSet::RemoveByIndex");
}

HRESULT CRoleSet::Update() {
    return UpdateCurrent(&RealUpdateRole, "update role failed", "CRoleSet::Update");
}

HRESULT CRoleSet::Append(IRole* pRole) {
    return AppendOut(pRole, SameId::Skipped);
}

HRESULT CRoleSet::DeleteByID(LONG ID) {
    return EraseById(ID, "CRoleSet::DeleteByID",
                     [](LONG id) { return "Role(id=" + std::to_string(id) + ") does not exist"; });
}

HRESULT CRoleSet::DeleteByIndex(LONG iIndex) {
    return EraseAt(iIndex, "CRoleSet::DeleteByIndex");
}

} // namespace velmora::engine
