// The session's lists of every user and every role, and the current user's password change.
#include <string>

#include "common/crypto/PasswordBlock.h"
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
#include "engine/log/Log.h"
#include "engine/mapping/DBUtil.h"
#include "engine/session/ExeContext.h"

namespace velmora::engine {
namespace {

using com::ComPtr;

} // namespace

HRESULT CExeContext::get_AllUser(IUserSet** pVal) {
    return ReadWholeSet<CUserSet, CUser>(CExeContext::Info(), "SELECT * FROM tUser",
                                         &CDBUtil::GetUserData, "Get User failed",
                                         "CExeContext::get_AllUser", pVal);
}

HRESULT CExeContext::get_AllRole(IRoleSet** pVal) {
    return ReadWholeSet<CRoleSet, CRole>(CExeContext::Info(), "SELECT * FROM tRole",
                                         &CDBUtil::GetRoleData, "Get Role failed",
                                         "CExeContext::get_AllRole", pVal);
}

HRESULT CExeContext::ChangePsw(BSTR bstrOldPsw, BSTR bstrNewPsw) {
    constexpr const char* kSource = "CExeContext::ChangePsw";
    constexpr const char* kFailed = "Change password failed!";
    return Guard([&]() -> HRESULT {
        const std::string newPassword = TextOf(bstrNewPsw);
        // Refused before anything is read or written: the stored block holds 63 bytes.
        if (!crypto::PasswordFits(newPassword))
            return Fail(Info(), crypto::kPasswordTooLongMessage, 0, kSource,
                        crypto::kPasswordTooLongMessage);
        ComPtr<IUserSet> users;
        if (FAILED(get_AllUser(users.Put()))) return Fail(Info(), kFailed);
        CUserSet* set = ImplementationOf<CUserSet>(users.Get());
        const auto& items = set->Items();
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i]->Data().id != curUserID_) continue;
            if (items[i]->Data().password != TextOf(bstrOldPsw)) {
                const char* mismatch = "original password doesn't match";
                return Fail(Info(), mismatch, 0, kSource, mismatch);
            }
            items[i]->Data().password = newPassword;
            ComPtr<IUser> target;
            if (FAILED(set->get_Item(static_cast<LONG>(i), target.Put())) || FAILED(set->Update()))
                return Fail(Info(), kFailed);
            return S_OK;
        }
        return S_OK;
    });
}

} // namespace velmora::engine
