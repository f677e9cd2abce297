#include "engine/admin/RoleSet.h"

#include <algorithm>
#include <new>

#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/OutParams.h"
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

// Deletes every row of the statement's set; false when it had none.
bool DeleteRows(db::Connection& connection, const std::string& statement, bool firstOnly = false) {
    db::Recordset rows;
    rows.Open(statement, connection, db::CursorType::Keyset, db::LockType::Optimistic);
    const bool any = !rows.IsEOF();
    while (!rows.IsEOF()) {
        rows.Delete();
        if (firstOnly) break;
        rows.MoveNext();
    }
    return any;
}

} // namespace

bool CRoleSet::RealRemove(LONG roleId) {
    const std::string id = std::to_string(roleId);
    try {
        db::Connection connection;
        connection.Open(db::ProcessConnectionString());
        db::Transaction transaction(connection); // rolled back unless committed
        DeleteRows(connection, "SELECT RoleID FROM tAvailableStatus WHERE RoleID=" + id);
        DeleteRows(connection, "SELECT RoleID FROM tRight WHERE RoleID=" + id, true);
        DeleteRows(connection, "SELECT RoleID FROM tUserRole WHERE RoleID=" + id);
        if (!DeleteRows(connection, "SELECT RoleID from tRole WHERE RoleID = " + id)) {
            FailLogOnly(2, kRemoveSource, "Role(ID=" + id + ") does not exist!");
            return false;
        }
        transaction.Commit();
        return true;
    } catch (const db::DbError& error) {
        log::LogComError(2, kRemoveSource, error);
        return false;
    }
}

std::string CRoleSet::RealAddRole(CRole& role) {
    const LONG id = db::GetNextID("NextRoleID");
    if (id == 0) return "GetNextID return 0, Add Failed";
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
            return "Some error occured when add a role";
        }
        row.SetValue("ProductID", db::Value::Int(0)); // a new role belongs to no product
        row.Update();
        return "";
    } catch (const db::DbError& error) {
        try {
            if (row.IsOpen() && row.IsNewRecord()) row.CancelUpdate();
        } catch (const db::DbError&) {
        }
        role.SetID(before);
        return error.Description().empty() ? std::string("Add role Failed") : error.Description();
    }
}

bool CRoleSet::RealUpdateRole(CRole* role) {
    if (!role) {
        FailLogOnly(6, kUpdateSource, "role interface is not valid");
        return false;
    }
    const LONG id = role->Data().id;
    if (id == 0) {
        FailLogOnly(6, kUpdateSource, "Cannot update the role(ID is 0)");
        return false;
    }
    try {
        db::Recordset row;
        row.Open("SELECT * FROM tRole WHERE roleID = " + std::to_string(id),
                 db::ProcessConnectionString(), db::CursorType::Keyset, db::LockType::Optimistic);
        if (row.IsEOF()) {
            FailLogOnly(0, kUpdateSource,
                        "Role(ID=" + std::to_string(id) +
                            ") does not exist in database, update "
                            "failed");
            return false;
        }
        if (FAILED(CDBUtil::SaveRoleData(row, role))) {
            row.CancelUpdate();
            FailLogOnly(0, kUpdateSource, "Update role failed, see err.log");
            return false;
        }
        row.Update();
        return true;
    } catch (const db::DbError& error) {
        log::LogComError(2, kUpdateSource, error);
        return false;
    }
}

HRESULT CRoleSet::get_Count(LONG* pVal) {
    return ReturnValue(static_cast<LONG>(items_.size()), pVal);
}

HRESULT CRoleSet::get_Item(LONG iIndex, IRole** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    if (!HoldsIndex(iIndex)) return Fail(Info(), kSeeErrorLog, 1, "CRoleSet::get_Item", "");
    current_ = items_[static_cast<size_t>(iIndex)];
    return ReturnObject<IRole>(current_, pVal);
}

HRESULT CRoleSet::get_ExeContext(IExeContext** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    if (!context_) {
        const char* none = "RoleSet has no execute context object at present";
        return Fail(Info(), none, 0, "CRoleSet::get_ExeContext", none);
    }
    return ReturnObject<IExeContext>(context_, pVal);
}

HRESULT CRoleSet::Add(IRole* pRole) {
    constexpr const char* kFailed = "Add role Failed";
    try {
        CRole* role = ImplementationOf<CRole>(pRole);
        if (!role) return Fail(Info(), kFailed, 0, "CRoleSet::Add", kFailed);
        if (const std::string failure = RealAddRole(*role); !failure.empty()) {
            log::LogError(0, kAddSource, failure);
            return Fail(Info(), kFailed, 0, "CRoleSet::Add", kFailed);
        }
        items_.emplace_back(role);
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CRoleSet::RemoveByID(LONG ID) {
    constexpr const char* kFailed = "Delete Role failed";
    if (!RealRemove(ID)) return Fail(Info(), kFailed, 0, "CRoleSet::RemoveByID", kFailed);
    std::erase_if(items_, [&](const auto& role) { return role->Data().id == ID; });
    if (current_ && current_->Data().id == ID) current_.Reset();
    return S_OK;
}

HRESULT CRoleSet::RemoveByIndex(LONG iIndex) {
    constexpr const char* kFailed = "Delete Role failed";
    if (!HoldsIndex(iIndex)) return Fail(Info(), kSeeErrorLog, 1, "CRoleSet::RemoveByIndex", "");
    const auto at = items_.begin() + iIndex;
    if (!RealRemove((*at)->Data().id))
        return Fail(Info(), kFailed, 0, "CRoleSet::RemoveByIndex", kFailed);
    if (current_.Get() == at->Get()) current_.Reset();
    items_.erase(at);
    return S_OK;
}

HRESULT CRoleSet::Update() {
    constexpr const char* kFailed = "update role failed";
    try {
        if (!RealUpdateRole(current_.Get()))
            return Fail(Info(), kFailed, 0, "CRoleSet::Update", kFailed);
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CRoleSet::Append(IRole* pRole) {
    if (!pRole) return S_OK;
    CRole* role = ImplementationOf<CRole>(pRole);
    // The set reaches its roles' state directly, so only the engine's own objects can join.
    if (!role) return E_INVALIDARG;
    const LONG id = role->Data().id;
    const bool present = std::any_of(items_.begin(), items_.end(),
                                     [&](const auto& item) { return item->Data().id == id; });
    try {
        if (!present) items_.emplace_back(role);
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CRoleSet::DeleteByID(LONG ID) {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i]->Data().id == ID) {
            items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
            return S_OK;
        }
    }
    const std::string missing = "Role(id=" + std::to_string(ID) + ") does not exist";
    return Fail(Info(), missing, 0, "CRoleSet::DeleteByID", missing);
}

HRESULT CRoleSet::DeleteByIndex(LONG iIndex) {
    if (!HoldsIndex(iIndex)) return Fail(Info(), kSeeErrorLog, 1, "CRoleSet::DeleteByIndex", "");
    items_.erase(items_.begin() + iIndex);
    return S_OK;
}

} // namespace velmora::engine
