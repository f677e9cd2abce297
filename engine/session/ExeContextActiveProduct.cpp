// Making a product version active: the version's product must be one in which the current user
// holds a role; the first of the product's roles that the user holds becomes the current role,
// with its right.
#include <algorithm>
#include <string>
#include <vector>

#include <velmora/ComSupport.h>

#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/log/Log.h"
#include "engine/mapping/FieldConversion.h"
#include "engine/session/ExeContext.h"

namespace velmora::engine {
namespace {

using com::ComPtr;

const ClassInfo& kClass = classes::ExeContext;
constexpr const char* kSource = "CExeContext::SetActiveProduct";
constexpr const char* kFailed = "Set Active Product Failed";

struct HeldRole {
    LONG id;
    ComPtr<IRole> role;
};

// The roles of the user's role set with their identifiers; false when the set cannot be read (the
// member that failed has logged why).
bool ReadRoles(IUser* user, std::vector<HeldRole>* held) {
    ComPtr<IRoleSet> roles;
    LONG count = 0;
    if (!user || FAILED(user->get_RoleSet(roles.Put())) || !roles ||
        FAILED(roles->get_Count(&count)))
        return false;
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IRole> role;
        LONG id = 0;
        if (FAILED(roles->get_Item(i, role.Put())) || FAILED(role->get_ID(&id))) return false;
        held->push_back({id, std::move(role)});
    }
    return true;
}

} // namespace

bool CExeContext::IsUserProduct(LONG userID, LONG productID) {
    return GuardStep(2, "CExeContext::IsUserProduct", [&] {
        db::Recordset rows;
        rows.Open("SELECT ProductID FROM tRole, tUserRole WHERE tRole.RoleID = tUserRole.RoleID "
                  "AND tUserRole.UserID = ?",
                  {db::Value::Int(userID)}, connection_, db::CursorType::ForwardOnly, db::LockType::ReadOnly);
        for (; !rows.IsEOF(); rows.MoveNext())
            if (VariantToLong(rows.GetValue(0)) == productID) return true;
        return false;
    });
}

HRESULT CExeContext::SetActiveProduct(LONG iVersionID) {
    if (iVersionID == 0) return Fail(kClass, kFailed);
    return Guard(kClass, {kFailed, 2, kSource}, [&]() -> HRESULT {
        LONG productID = 0;
        {
            db::Recordset version;
            version.Open("SELECT productID FROM tVersion WHERE VersionID = ?",
                         {db::Value::Int(iVersionID)}, connection_, db::CursorType::ForwardOnly, db::LockType::ReadOnly);
            if (!version.IsEOF()) productID = VariantToLong(version.GetValue(0));
        }
        if (productID == 0) return Fail(kClass, kFailed, 0, kSource, "Version's ProductID is 0");
        if (!IsUserProduct(curUserID_, productID)) {
            activeProductID_ = activeVersionID_ = 0;
            return Fail(kClass, kFailed, 2, kSource, "current user and product doesnot match");
        }

        // The role and right are worked out before anything changes, so that a failure on the
        // way leaves the session as it was.
        ComPtr<IUser> user;
        std::vector<HeldRole> userRoles;
        if (FAILED(get_CurUser(user.Put())) || !ReadRoles(user.Get(), &userRoles))
            return Fail(kClass, kFailed);
        LONG roleID = 0;
        LONG rightID = 0;
        db::Recordset productRoles;
        productRoles.Open("SELECT roleID FROM tRole WHERE ProductID = ?",
                          {db::Value::Int(productID)}, connection_, db::CursorType::ForwardOnly, db::LockType::ReadOnly);
        for (; !productRoles.IsEOF(); productRoles.MoveNext()) {
            const LONG candidate = VariantToLong(productRoles.GetValue(0));
            const auto held =
                std::find_if(userRoles.begin(), userRoles.end(),
                             [candidate](const HeldRole& role) { return role.id == candidate; });
            if (held == userRoles.end()) continue;
            roleID = candidate;
            ComPtr<IRight> right;
            if (FAILED(held->role->get_Right(right.Put()))) return Fail(kClass, kFailed);
            if (right && FAILED(right->get_ID(&rightID))) return Fail(kClass, kFailed);
            break;
        }

        activeProductID_ = productID;
        activeVersionID_ = iVersionID;
        curRoleID_ = roleID;
        curRightID_ = rightID;
        return S_OK;
    });
}

} // namespace velmora::engine
