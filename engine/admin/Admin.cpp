#include "engine/admin/Admin.h"

#include <new>
#include <string>

#include "engine/admin/AdminSet.h"
#include "engine/admin/Product.h"
#include "engine/admin/ProductSet.h"
#include "engine/admin/Right.h"
#include "engine/admin/Role.h"
#include "engine/admin/RoleSet.h"
#include "engine/admin/SetReading.h"
#include "engine/admin/User.h"
#include "engine/admin/UserSet.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/OutParams.h"
#include "engine/db/ConnectionString.h"
#include "engine/db/Database.h"
#include "engine/db/NextId.h"
#include "engine/mapping/DBUtil.h"
#include "engine/mapping/FieldConversion.h"

namespace velmora::engine {
namespace {

using com::ComPtr;

// Whether the statement yields a row for the key, read on a read-only set.
bool Exists(const std::string& statement, LONG key) {
    db::Recordset probe;
    probe.Open(statement, {db::Value::Int(key)}, db::ProcessConnectionString(),
               db::CursorType::ForwardOnly, db::LockType::ReadOnly);
    return !probe.IsEOF();
}

std::string Id(LONG id) {
    return std::to_string(id);
}

// Runs one Admin operation: `body` returns the log text of a refusal, or "" on success. A
// refusal is logged with code 0 and a data-access error with code 2, both under `source`, and
// both give the caller `description`.
template <class Body>
HRESULT RunAdminStep(const char* description, const std::string& source, Body body) {
    return Guard(CAdmin::Info(), {description, 2, source}, [&]() -> HRESULT {
        const std::string refusal = body();
        if (refusal.empty()) return S_OK;
        return Fail(CAdmin::Info(), description, 0, source, refusal);
    });
}

// Writes productId into the role's ProductID; the log text when product or role is missing.
std::string BindRole(LONG productId, LONG roleId, LONG newProductId) {
    if (!Exists("SELECT ProductID FROM tProduct WHERE ProductID = ?", productId))
        return "Product(ID=" + Id(productId) + ") does not exist";
    db::Recordset role;
    role.Open("SELECT ProductID FROM tRole WHERE RoleID = ?", {db::Value::Int(roleId)},
              db::ProcessConnectionString(), db::CursorType::Keyset, db::LockType::Optimistic);
    if (role.IsEOF()) return "Role(ID=" + Id(roleId) + ") does not exist";
    role.SetValue(0, db::Value::Int(newProductId));
    role.Update();
    return "";
}

} // namespace

HRESULT CAdmin::get_UserSet(IUserSet** pVal) {
    return ReadWholeSet<CUserSet, CUser>(CAdmin::Info(), "SELECT * FROM tUser",
                                         &CDBUtil::GetUserData, "Get User failed",
                                         "CAdmin::get_UserSet", pVal);
}

HRESULT CAdmin::get_RoleSet(IRoleSet** pVal) {
    return ReadWholeSet<CRoleSet, CRole>(CAdmin::Info(), "SELECT * FROM tRole",
                                         &CDBUtil::GetRoleData, "Get Role failed",
                                         "CAdmin::get_RoleSet", pVal);
}

HRESULT CAdmin::get_ProductSet(IProductSet** pVal) {
    return ReadWholeSet<CProductSet, CProduct>(CAdmin::Info(), "SELECT * FROM tProduct",
                                               &CDBUtil::GetProductData, "Get Product failed",
                                               "CAdmin::get_ProductSet", pVal);
}

HRESULT CAdmin::AssignProductToRole(LONG ProductID, LONG RoleID) {
    return RunAdminStep("Assign product to role failed!", "CAdmin::AssignProductToRole",
                        [&] { return BindRole(ProductID, RoleID, ProductID); });
}

HRESULT CAdmin::FreeProductFromRole(LONG ProductID, LONG RoleID) {
    return RunAdminStep("Free product from role failed!", "CAdmin::FreeProductFromRole",
                        [&] { return BindRole(ProductID, RoleID, 0); });
}

HRESULT CAdmin::AssignUserToRole(LONG UserID, LONG RoleID) {
    return RunAdminStep("Assign use to role failed!", "CAdmin::AssignUserToRole", [&] {
        if (!Exists("SELECT UserID FROM tUser WHERE UserID = ?", UserID))
            return "User(ID=" + Id(UserID) + ") does not exist";
        if (!Exists("SELECT RoleID FROM tRole WHERE RoleID = ?", RoleID))
            return "Role(ID=" + Id(RoleID) + ") does not exist";
        db::Recordset pair;
        pair.Open("SELECT * FROM tUserRole WHERE RoleID = ? AND UserID=?",
                  {db::Value::Int(RoleID), db::Value::Int(UserID)}, db::ProcessConnectionString(),
                  db::CursorType::Keyset, db::LockType::Optimistic);
        pair.AddNew();
        pair.SetValue(0, db::Value::Int(UserID));
        pair.SetValue(1, db::Value::Int(RoleID));
        pair.Update();
        return std::string();
    });
}

HRESULT CAdmin::FreeUserFromRole(LONG UserID, LONG RoleID) {
    return RunAdminStep("Free user from role failed!", "CAdmin::FreeUserFromRole", [&] {
        db::Recordset pair;
        pair.Open("SELECT * FROM tUserRole WHERE UserID=? AND RoleID=?",
                  {db::Value::Int(UserID), db::Value::Int(RoleID)}, db::ProcessConnectionString(),
                  db::CursorType::Keyset, db::LockType::Optimistic);
        if (!pair.IsEOF()) pair.Delete();
        return std::string();
    });
}

HRESULT CAdmin::NewMDB(BSTR) {
    return S_OK;
}

HRESULT CAdmin::SetRoleRight(LONG RoleID, IRight* pRight) {
    return RunAdminStep("Set right to role failed!", "CAdmin::SetRoleRight", [&] {
        CRight* right = ImplementationOf<CRight>(pRight);
        if (!right) return std::string("right interface is not valid");
        if (!Exists("SELECT RoleID FROM tRole WHERE RoleID = ?", RoleID))
            return "Role(ID=" + Id(RoleID) + ") does not exist";
        db::Recordset row;
        row.Open("SELECT * FROM tRight WHERE RoleID = ?", {db::Value::Int(RoleID)},
                 db::ProcessConnectionString(), db::CursorType::Keyset, db::LockType::Optimistic);
        const LONG before = right->ID();
        if (row.IsEOF() || row.IsBOF()) {
            const LONG id = db::GetNextID("NextRightID");
            if (id == 0) return std::string("GetNextID returns 0");
            right->SetID(id);
            row.AddNew();
        }
        if (FAILED(CDBUtil::SaveRightData(row, right))) {
            row.CancelUpdate();
            right->SetID(before);
            return std::string("Save right data failed");
        }
        row.SetValue(1, db::Value::Int(RoleID));
        try {
            row.Update();
        } catch (const db::DbError&) {
            right->SetID(before); // nothing was stored under the new identifier
            throw;
        }
        return std::string();
    });
}

HRESULT CAdmin::SetStatusOfRole(LONG RoleID, IBugStatus* pStatus) {
    constexpr const char* kSource = "CAdmin::SetStatusOfRole";
    return RunAdminStep("Set Available Status to Role Failed!", kSource, [&] {
        if (RoleID == 0) return std::string("RoleID is 0, Set statua failed!");
        if (!Exists("SELECT RoleID FROM tRole WHERE RoleID = ?", RoleID))
            return "Role(ID=" + Id(RoleID) + ") does not exist";
        LONG count = 0;
        if (pStatus && FAILED(pStatus->get_Count(&count)))
            return std::string("Cannot read the status list");
        // The old statuses are replaced in one transaction, so a failure part way keeps them.
        db::Connection connection;
        connection.Open(db::ProcessConnectionString());
        db::Transaction transaction(connection); // rolled back unless committed
        db::Recordset rows;
        rows.Open("SELECT * FROM tAvailableStatus WHERE RoleID=?", {db::Value::Int(RoleID)},
                  connection, db::CursorType::Keyset, db::LockType::Optimistic);
        DeleteEachRow(rows);
        for (LONG i = 0; i < count; ++i) {
            com::Bstr name;
            if (FAILED(pStatus->get_Item(i, name.Put())))
                return std::string("Cannot read the status list");
            rows.AddNew();
            rows.SetValue(0, db::Value::Int(RoleID));
            rows.SetValue(1, TextToField(name.Utf8()));
            rows.Update();
        }
        rows.Close();
        transaction.Commit();
        return std::string();
    });
}

} // namespace velmora::engine
