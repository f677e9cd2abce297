// The session's current user, role, right, product and version: each getter reads the row afresh
// and hands out a new object filled by the row mapping.
#include <string>

#include "engine/admin/Product.h"
#include "engine/admin/Right.h"
#include "engine/admin/Role.h"
#include "engine/admin/User.h"
#include "engine/admin/Version.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/OutParams.h"
#include "engine/log/Log.h"
#include "engine/mapping/DBUtil.h"
#include "engine/session/ExeContext.h"

namespace velmora::engine {
namespace {

// How one current-object getter behaves where the three differ.
struct CurrentObject {
    const char* source;       // log source
    const char* idIsZero;     // logged when the identifier is 0; null: 0 is looked up as any id
    bool emptyObjectWhenZero; // an identifier of 0 gives an empty object instead of null
    const char* statement;    // one `?` for the identifier
    const char* failure;      // the caller's description on failure
    bool logDescriptionOnly;  // a data-access error is logged with its description alone
    const char* noRow;        // logged (code 2) when no row has the id; null: an empty object
};

template <class Object, class Row, class Interface>
HRESULT ReadCurrent(db::Connection& connection, const CurrentObject& how, LONG id,
                    HRESULT (*map)(db::Recordset&, Row*), Interface** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    const ClassInfo& cls = CExeContext::Info();
    const OnFailure onFailure = {how.failure, 2, how.source,
                                 how.logDescriptionOnly ? Logged::ErrorDescription : Logged::Error};
    return Guard(cls, onFailure, [&]() -> HRESULT {
        auto object = CreateObject<Object>();
        if (id == 0 && how.idIsZero) {
            log::LogError(0, how.source, how.idIsZero);
            return how.emptyObjectWhenZero ? ReturnObject<Interface>(object, out) : S_OK;
        }
        db::Recordset row;
        row.Open(how.statement, {db::Value::Int(id)}, connection, db::CursorType::ForwardOnly,
                 db::LockType::ReadOnly);
        if (row.IsEOF()) {
            if (how.noRow) return Fail(cls, how.failure, 2, how.source, how.noRow);
        } else if (FAILED(map(row, object.Get()))) {
            return Fail(cls, how.failure);
        }
        return ReturnObject<Interface>(object, out);
    });
}

constexpr CurrentObject kCurrentUser = {"CExeContext::get_CurUser",
                                        "Current User's ID is 0",
                                        false,
                                        "SELECT * FROM tUser WHERE userID = ?",
                                        "Get current user failded",
                                        false,
                                        nullptr};
constexpr CurrentObject kCurrentRole = {"CExeContext::get_CurRole",
                                        "Current Role's ID is 0",
                                        false,
                                        "SELECT * FROM tRole WHERE RoleID = ?",
                                        "Get current role failded",
                                        true,
                                        nullptr};
constexpr CurrentObject kCurrentRight = {"CExeContext::get_CurRight",
                                         "Current Right's ID is 0",
                                         true,
                                         "SELECT * FROM tRight WHERE RightID = ?",
                                         "Get current right failded",
                                         false,
                                         nullptr};
constexpr CurrentObject kActiveProduct = {"CExeContext::get_ActiveProduct",
                                          nullptr,
                                          false,
                                          "SELECT * FROM tProduct WHERE productID = ?",
                                          "Get current user's product failded",
                                          false,
                                          "Current Product does not exist"};
constexpr CurrentObject kActiveVersion = {"CExeContext::get_ActiveVersion",
                                          nullptr,
                                          false,
                                          "SELECT * FROM tVersion WHERE VersionID = ?",
                                          "Get current version failded",
                                          false,
                                          "Current version does not exist"};

} // namespace

HRESULT CExeContext::get_CurUser(IUser** pVal) {
    return ReadCurrent<CUser>(connection_, kCurrentUser, curUserID_, &CDBUtil::GetUserData, pVal);
}

HRESULT CExeContext::get_CurRole(IRole** pVal) {
    return ReadCurrent<CRole>(connection_, kCurrentRole, curRoleID_, &CDBUtil::GetRoleData, pVal);
}

HRESULT CExeContext::get_CurRight(IRight** pVal) {
    return ReadCurrent<CRight>(connection_, kCurrentRight, curRightID_, &CDBUtil::GetRightData,
                               pVal);
}

HRESULT CExeContext::get_ActiveProduct(IProduct** pVal) {
    return ReadCurrent<CProduct>(connection_, kActiveProduct, activeProductID_,
                                 &CDBUtil::GetProductData, pVal);
}

HRESULT CExeContext::get_ActiveVersion(IVersion** pVal) {
    return ReadCurrent<CVersion>(connection_, kActiveVersion, activeVersionID_,
                                 &CDBUtil::GetVersionData, pVal);
}

} // namespace velmora::engine
