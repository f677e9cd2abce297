#include "engine/admin/UserSet.h"

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

constexpr const char* kRemoveSource = "CUserSet::RealRemove";
constexpr const char* kAddSource = "CUserSet::ReadAddUser";
constexpr const char* kUpdateSource = "CUserSet::RealUpdate";
constexpr const char* kAddFailed = "Add user failed";

HRESULT AddFailed() {
    return Fail(CUserSet::Info(), kAddFailed, 0, "CUserSet::Add", kAddFailed);
}

} // namespace

HRESULT CUserSet::RealRemove(LONG userId) {
    const std::string id = std::to_string(userId);
    return GuardStep(2, kRemoveSource, [&]() -> HRESULT {
        db::Connection connection;
        connection.Open(db::ProcessConnectionString());
        db::Transaction transaction(connection); // rolled back unless committed
        const std::vector<db::Value> key{db::Value::Int(userId)};
        DeleteRows(connection, "SELECT UserID FROM tUserSystemInfo WHERE UserID=?", key);
        DeleteRows(connection, "SELECT UserID FROM tUserClassification WHERE UserID=?", key);
        DeleteRows(connection, "SELECT userID FROM tUserRole WHERE userID=?", key);
        if (!DeleteRows(connection, "SELECT userID from tUser WHERE UserID = ?", key))
            return FailLogOnly(2, kRemoveSource, "User(ID=" + id + ") does not exist!");
        transaction.Commit();
        return S_OK;
    });
}

HRESULT CUserSet::RealAddUser(CUser& user) {
    const LONG id = db::GetNextID("NextUserID");
    if (id == 0) {
        FailLogOnly(2, kAddSource, "GetNextID retusn 0");
        return AddFailed();
    }
    const LONG before = user.Data().id;
    db::Recordset row;
    try {
        const std::string& login = user.Data().loginName;
        {
            db::Recordset probe;
            probe.Open("SELECT UserID FROM tUser WHERE LoginName = ?", {db::Value::Text(login)},
                       db::ProcessConnectionString(), db::CursorType::ForwardOnly,
                       db::LockType::ReadOnly);
            if (!probe.IsEOF()) {
                const std::string duplicated = "Login Name(" + login + ") is duplicated!";
                return Fail(Info(), duplicated, 2, "CUserSet::RealAddUser", duplicated);
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
            return AddFailed();
        }
        row.Update();
        return S_OK;
    } catch (const db::DbError& error) {
        try {
            if (row.IsOpen() && row.IsNewRecord()) row.CancelUpdate();
        } catch (const db::DbError&) {
        }
        user.SetID(before);
        log::LogComError(2, kAddSource, error);
        return AddFailed();
    }
}

HRESULT CUserSet::RealUpdate(CUser* user) {
    if (!user) return FailLogOnly(7, kUpdateSource, "No current user, cannot update");
    const std::string id = std::to_string(user->Data().id);
    if (user->Data().id == 0) return FailLogOnly(7, kUpdateSource, "User ID is 0, cannot update");
    return GuardStep(2, kUpdateSource, [&]() -> HRESULT {
        switch (RewriteRow("SELECT * FROM tUser WHERE UserID = ?",
                           {db::Value::Int(user->Data().id)}, &CDBUtil::SaveUserData, user)) {
        case RowRewrite::Written:
            return S_OK;
        case RowRewrite::Missing:
            return FailLogOnly(2, kUpdateSource, "User(ID=" + id + ") doesn't exist");
        case RowRewrite::NotMapped:
            break;
        }
        return FailLogOnly(2, kUpdateSource, "Save user data failed!");
    });
}

HRESULT CUserSet::get_Count(LONG* pVal) {
    return CountOut(pVal);
}

// The user set reports its index and session failures under the role set's names.
HRESULT CUserSet::get_Item(LONG iIndex, IUser** pVal) {
    return ItemOut(iIndex, "CRoleSet::get_Item", pVal);
}

HRESULT CUserSet::get_ExeContext(IExeContext** pVal) {
    return ContextOut(pVal, "RoleSet has no execute context object", "CRoleSet::get_ExeContext");
}

HRESULT CUserSet::Add(IUser* pUser) {
    return Guard([&]() -> HRESULT {
        CUser* user = ImplementationOf<CUser>(pUser);
        if (!user) return AddFailed();
        ReserveOneMore();
        if (const HRESULT failed = RealAddUser(*user); FAILED(failed)) return failed;
        AppendItem(com::ComPtr<CUser>(user));
        return S_OK;
    });
}

HRESULT CUserSet::RemoveByID(LONG ID) {
    constexpr const char* kSource = "CUserSet::RemoveByID";
    // The administrator account stays; by position it can still be removed.
    if (ID == 1) return Fail(Info(), "Cannot delete Admin", 0, kSource, "Cannot delete Admin");
    return RemoveStored(ID, &RealRemove, "Delete user failed!", kSource);
}

HRESULT CUserSet::RemoveByIndex(LONG iIndex) {
    return RemoveStoredAt(iIndex, &RealRemove, "Delete user failed", "CUserSet::RemoveByIndex");
}

HRESULT CUserSet::Update() {
    return UpdateCurrent(&RealUpdate, "Update User failed", "CUserSet::Update");
}

HRESULT CUserSet::Append(IUser* pUser) {
    return AppendOut(pUser, SameId::Appended);
}

HRESULT CUserSet::DeleteByID(LONG ID) {
    return EraseById(ID, "CUserSet::RemoveByID",
                     [](LONG id) { return "User(ID=" + std::to_string(id) + ") does not exist"; });
}

HRESULT CUserSet::DeleteByIndex(LONG iIndex) {
    return EraseAt(iIndex, "CUserSet::RemoveByInde");
}

} // namespace velmora::engine
