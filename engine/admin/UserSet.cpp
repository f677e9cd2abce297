#include "engine/admin/UserSet.h"

#include <new>

#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/OutParams.h"
#include "engine/db/ConnectionString.h"
#include "engine/db/Database.h"
#include "engine/db/NextId.h"
#include "engine/db/SqlText.h"
#include "engine/log/Log.h"
#include "engine/mapping/DBUtil.h"

namespace velmora::engine {
namespace {

constexpr const char* kRemoveSource = "CUserSet::RealRemove";
constexpr const char* kAddSource = "CUserSet::ReadAddUser";
constexpr const char* kUpdateSource = "CUserSet::RealUpdate";
constexpr const char* kAddFailed = "Add user failed";

// Deletes every row of the statement's set; false when it had none.
bool DeleteRows(db::Connection& connection, const std::string& statement) {
    db::Recordset rows;
    rows.Open(statement, connection, db::CursorType::Keyset, db::LockType::Optimistic);
    const bool any = !rows.IsEOF();
    while (!rows.IsEOF()) {
        rows.Delete();
        rows.MoveNext();
    }
    return any;
}

} // namespace

bool CUserSet::RealRemove(LONG userId) {
    const std::string id = std::to_string(userId);
    try {
        db::Connection connection;
        connection.Open(db::ProcessConnectionString());
        db::Transaction transaction(connection); // rolled back unless committed
        DeleteRows(connection, "SELECT UserID FROM tUserSystemInfo WHERE UserID=" + id);
        DeleteRows(connection, "SELECT UserID FROM tUserClassification WHERE UserID=" + id);
        DeleteRows(connection, "SELECT userID FROM tUserRole WHERE userID=" + id);
        if (!DeleteRows(connection, "SELECT userID from tUser WHERE UserID = " + id)) {
            FailLogOnly(2, kRemoveSource, "User(ID=" + id + ") does not exist!");
            return false;
        }
        transaction.Commit();
        return true;
    } catch (const db::DbError& error) {
        log::LogComError(2, kRemoveSource, error);
        return false;
    }
}

std::string CUserSet::RealAddUser(CUser& user) {
    const LONG id = db::GetNextID("NextUserID");
    if (id == 0) {
        FailLogOnly(2, kAddSource, "GetNextID retusn 0");
        return kAddFailed;
    }
    const LONG before = user.Data().id;
    db::Recordset row;
    try {
        const std::string& login = user.Data().loginName;
        {
            db::Recordset probe;
            probe.Open(
                "SELECT UserID FROM tUser WHERE LoginName = '" + db::EscapeQuotes(login) + "'",
                db::ProcessConnectionString(), db::CursorType::ForwardOnly, db::LockType::ReadOnly);
            if (!probe.IsEOF()) {
                const std::string duplicated = "Login Name(" + login + ") is duplicated!";
                FailLogOnly(2, "CUserSet::RealAddUser", duplicated);
                return duplicated;
            }
        }
        row.Open("SELECT * FROM tUser WHERE UserID = 0", db::ProcessConnectionString(),
                 db::CursorType::Keyset, db::LockType::Optimistic);
        row.AddNew();
        user.SetID(id);
        if (FAILED(CDBUtil::SaveUserData(row, &user))) {
            row.CancelUpdate();
            user.SetID(before);
            FailLogOnly(0, kAddSource, "Add new user failed");
            return kAddFailed;
        }
        row.Update();
        return "";
    } catch (const db::DbError& error) {
        try {
            if (row.IsOpen() && row.IsNewRecord()) row.CancelUpdate();
        } catch (const db::DbError&) {
        }
        user.SetID(before);
        log::LogComError(2, kAddSource, error);
        return kAddFailed;
    }
}

bool CUserSet::RealUpdate(CUser* user) {
    if (!user) {
        FailLogOnly(7, kUpdateSource, "No current user, cannot update");
        return false;
    }
    const LONG id = user->Data().id;
    if (id == 0) {
        FailLogOnly(7, kUpdateSource, "User ID is 0, cannot update");
        return false;
    }
    try {
        db::Recordset row;
        row.Open("SELECT * FROM tUser WHERE UserID = " + std::to_string(id),
                 db::ProcessConnectionString(), db::CursorType::Keyset, db::LockType::Optimistic);
        if (row.IsEOF()) {
            FailLogOnly(2, kUpdateSource, "User(ID=" + std::to_string(id) + ") doesn't exist");
            return false;
        }
        if (FAILED(CDBUtil::SaveUserData(row, user))) {
            row.CancelUpdate();
            FailLogOnly(2, kUpdateSource, "Save user data failed!");
            return false;
        }
        row.Update();
        return true;
    } catch (const db::DbError& error) {
        log::LogComError(2, kUpdateSource, error);
        return false;
    }
}

HRESULT CUserSet::get_Count(LONG* pVal) {
    return ReturnValue(static_cast<LONG>(items_.size()), pVal);
}

HRESULT CUserSet::get_Item(LONG iIndex, IUser** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    if (!HoldsIndex(iIndex)) return Fail(Info(), kSeeErrorLog, 1, "CRoleSet::get_Item", "");
    current_ = items_[static_cast<size_t>(iIndex)];
    return ReturnObject<IUser>(current_, pVal);
}

HRESULT CUserSet::get_ExeContext(IExeContext** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    if (!context_) {
        const char* none = "RoleSet has no execute context object";
        return Fail(Info(), none, 0, "CRoleSet::get_ExeContext", none);
    }
    return ReturnObject<IExeContext>(context_, pVal);
}

HRESULT CUserSet::Add(IUser* pUser) {
    try {
        CUser* user = ImplementationOf<CUser>(pUser);
        if (!user) return Fail(Info(), kAddFailed, 0, "CUserSet::Add", kAddFailed);
        if (const std::string failure = RealAddUser(*user); !failure.empty()) {
            if (failure != kAddFailed) return Fail(Info(), failure);
            return Fail(Info(), kAddFailed, 0, "CUserSet::Add", kAddFailed);
        }
        items_.emplace_back(user);
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CUserSet::RemoveByID(LONG ID) {
    constexpr const char* kSource = "CUserSet::RemoveByID";
    if (ID == 1) return Fail(Info(), "Cannot delete Admin", 0, kSource, "Cannot delete Admin");
    constexpr const char* kFailed = "Delete user failed!";
    if (!RealRemove(ID)) return Fail(Info(), kFailed, 0, kSource, kFailed);
    std::erase_if(items_, [&](const auto& user) { return user->Data().id == ID; });
    if (current_ && current_->Data().id == ID) current_.Reset();
    return S_OK;
}

HRESULT CUserSet::RemoveByIndex(LONG iIndex) {
    constexpr const char* kSource = "CUserSet::RemoveByIndex";
    constexpr const char* kFailed = "Delete user failed";
    if (!HoldsIndex(iIndex)) return Fail(Info(), kSeeErrorLog, 1, kSource, "");
    const auto at = items_.begin() + iIndex;
    if (!RealRemove((*at)->Data().id)) return Fail(Info(), kFailed, 0, kSource, kFailed);
    if (current_.Get() == at->Get()) current_.Reset();
    items_.erase(at);
    return S_OK;
}

HRESULT CUserSet::Update() {
    constexpr const char* kFailed = "Update User failed";
    try {
        if (!RealUpdate(current_.Get()))
            return Fail(Info(), kFailed, 0, "CUserSet::Update", kFailed);
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CUserSet::Append(IUser* pUser) {
    if (!pUser) return S_OK;
    CUser* user = ImplementationOf<CUser>(pUser);
    // The set reaches its users' state directly, so only the engine's own objects can join.
    if (!user) return E_INVALIDARG;
    try {
        items_.emplace_back(user);
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CUserSet::DeleteByID(LONG ID) {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i]->Data().id == ID) {
            items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
            return S_OK;
        }
    }
    const std::string missing = "User(ID=" + std::to_string(ID) + ") does not exist";
    return Fail(Info(), missing, 0, "CUserSet::RemoveByID", missing);
}

HRESULT CUserSet::DeleteByIndex(LONG iIndex) {
    if (!HoldsIndex(iIndex)) return Fail(Info(), kSeeErrorLog, 1, "CUserSet::RemoveByInde", "");
    items_.erase(items_.begin() + iIndex);
    return S_OK;
}

} // namespace velmora::engine
