// Which classifications a user may see, and which roles belong to a product. Each change runs in
// one transaction: a failure part way leaves the old assignment in place.
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/admin/ClassificationSet.h"
#include "engine/admin/Permission.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/OutParams.h"
#include "engine/db/ConnectionString.h"
#include "engine/mapping/DBUtil.h"
#include "engine/mapping/FieldConversion.h"
#include "engine/session/ExeContext.h"

namespace velmora::engine {
namespace {

const ClassInfo& kClass = classes::ExeContext;

// Maps every row of the statement whose identifier passes `keep` into the set.
template <class Keep>
bool AppendClassifications(const std::string& statement, std::vector<db::Value> parameters,
                           db::Connection& connection, Keep keep, CClassificationSet& set) {
    db::Recordset rows;
    rows.Open(statement, std::move(parameters), connection, db::CursorType::ForwardOnly, db::LockType::ReadOnly);
    for (; !rows.IsEOF(); rows.MoveNext()) {
        if (!keep(VariantToLong(rows.GetValue(0)))) continue;
        auto classification = CreateObject<CClassification>();
        if (FAILED(CDBUtil::GetClassData(rows, classification.Get()))) return false;
        set.AppendItem(std::move(classification));
    }
    return true;
}

// What differs between giving roles to a product and taking them back.
struct RoleBinding {
    GuardedAction action;
    const char* failed;
    bool bind; // true: the roles get the product; false: they lose it
};

constexpr RoleBinding kAssignRoles = {
    {RightFlag::AssignProductToUser, "assign roles to production", "CExeContext::AssignRolesToApp",
     "You have no right to assign roles to production, please contact your manager!"},
    "Assign roles to production failed!",
    true};
constexpr RoleBinding kFreeRoles = {
    {RightFlag::AssignProductToUser, "resign roles to application",
     "CExeContext::FreeRoleIDsFromApp",
     "You have no right to resign roles to application, please contact your manager!"},
    "Romove roles to application failed!",
    false};

HRESULT BindRoles(CExeContext* session, const RoleBinding& how, const LONG* roleIDs, int count,
                  LONG productID) {
    const char* source = how.action.logSource;
    if (const HRESULT refused = CheckSessionPermission(
            session, kClass, how.action, RightPath::ThroughCurrentRole, "No right returned");
        FAILED(refused))
        return refused;
    if (count < 0 || (count > 0 && !roleIDs)) return E_INVALIDARG;
    return Guard(kClass, {how.failed, 0, source}, [&]() -> HRESULT {
        db::Connection connection;
        connection.Open(db::ProcessConnectionString(), "", "");
        {
            db::Recordset product;
            product.Open("SELECT ProductID FROM tProduct WHERE productID = ?",
                         {db::Value::Int(productID)}, connection, db::CursorType::ForwardOnly, db::LockType::ReadOnly);
            if (product.IsEOF())
                return Fail(kClass, how.failed, 0, source,
                            "Application(ID=" + std::to_string(productID) + ") does not exist.");
        }
        db::Transaction transaction(connection);
        db::Recordset roles;
        if (how.bind)
            roles.Open("SELECT RoleID, ProductID FROM tRole", connection, db::CursorType::Keyset,
                       db::LockType::Optimistic);
        else
            roles.Open("SELECT RoleID,ProductID FROM tRole WHERE ProductID=?",
                       {db::Value::Int(productID)}, connection, db::CursorType::Keyset, db::LockType::Optimistic);
        for (int i = 0; i < count; ++i) {
            roles.SetFilter("RoleID=" + std::to_string(roleIDs[i]));
            if (roles.IsEOF()) continue;
            roles.SetValue(1, db::Value::Int(how.bind ? productID : 0));
            roles.Update();
        }
        roles.Close();
        transaction.Commit();
        return S_OK;
    });
}

} // namespace

HRESULT CExeContext::GetUserClassification(LONG lUserID, LONG lProductID,
                                           IClassificationSet** ppClassSet) {
    if (!ppClassSet) return E_POINTER;
    *ppClassSet = nullptr;
    const char* failed = "Get User's Classification Failed";
    return Guard(kClass, {failed, 2, "CExeContext::GetUserClassification"}, [&]() -> HRESULT {
        auto set = CreateObject<CClassificationSet>();
        set->SetProductID(lProductID);
        if (lUserID == 0) {
            if (!AppendClassifications(
                    "SELECT * FROM tClassification WHERE ProductID=?",
                    {db::Value::Int(lProductID)}, connection_,
                    [](LONG) { return true; }, *set.Get()))
                return Fail(kClass, failed);
        } else if (IsUserProduct(lUserID, lProductID)) {
            std::unordered_set<LONG> granted;
            {
                db::Recordset rows;
                rows.Open("SELECT ClassificationID FROM tUserClassification WHERE UserID=?",
                          {db::Value::Int(lUserID)}, connection_, db::CursorType::ForwardOnly, db::LockType::ReadOnly);
                for (; !rows.IsEOF(); rows.MoveNext())
                    granted.insert(VariantToLong(rows.GetValue(0)));
            }
            if (!AppendClassifications(
                    "SELECT * FROM tCLassification WHERE ProductID=?",
                    {db::Value::Int(lProductID)}, connection_,
                    [&granted](LONG id) { return granted.count(id) != 0; }, *set.Get()))
                return Fail(kClass, failed);
        }
        return ReturnObject<IClassificationSet>(set, ppClassSet);
    });
}

HRESULT CExeContext::AssignUserClassification(LONG lUserID, LONG* ClassIDs, LONG ClassCount) {
    const char* source = "CExeContext::AssignUserClassification";
    const GuardedAction assign = {RightFlag::AssignClassToUser, "assign classification to user",
                                  source, "you have no right to assign classification to user!"};
    if (const HRESULT refused = CheckSessionPermission(
            this, kClass, assign, RightPath::CurrentRight, "get current right failed");
        FAILED(refused))
        return refused;
    if (ClassCount < 0 || (ClassCount > 0 && !ClassIDs)) return E_INVALIDARG;
    return Guard(kClass, {"Assign classification to user failed!", 2, source}, [&] {
        db::Transaction transaction(connection_);
        db::Recordset rows;
        rows.Open("SELECT *  FROM tUserClassification WHERE UserID=?", {db::Value::Int(lUserID)},
                  connection_, db::CursorType::Keyset, db::LockType::Optimistic);
        while (!rows.IsEOF()) {
            rows.Delete();
            rows.MoveNext();
        }
        for (LONG i = 0; i < ClassCount; ++i) {
            rows.AddNew();
            rows.SetValue(0, db::Value::Int(lUserID));
            rows.SetValue(1, db::Value::Int(ClassIDs[i]));
            rows.Update();
        }
        rows.Close();
        transaction.Commit();
        return S_OK;
    });
}

HRESULT CExeContext::AssignRolesToApp(LONG* RoleIDs, int nNum, LONG AppID) {
    return BindRoles(this, kAssignRoles, RoleIDs, nNum, AppID);
}

HRESULT CExeContext::FreeRoleIDsFromApp(LONG* RoleIDs, int nNum, LONG AppID) {
    return BindRoles(this, kFreeRoles, RoleIDs, nNum, AppID);
}

} // namespace velmora::engine
