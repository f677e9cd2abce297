#include "engine/session/ExeContext.h"

#include <string>

#include "engine/admin/Admin.h"
#include "engine/admin/Permission.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/OutParams.h"
#include "engine/db/ConnectionString.h"
#include "engine/db/DataSource.h"
#include "engine/log/Log.h"
#include "engine/mapping/FieldConversion.h"

namespace velmora::engine {
namespace {

const ClassInfo& kClass = classes::ExeContext;
constexpr const char* kBadLogin = "User Name or password is incorrect!";
constexpr const char* kBadVersion = "version of database is not correct";

} // namespace

CExeContext::CExeContext() = default;

CExeContext::~CExeContext() = default;

void CExeContext::ResetIdentifiers() {
    curUserID_ = curRoleID_ = activeProductID_ = activeVersionID_ = curRightID_ = 0;
    isAdmin_ = false;
}

HRESULT CExeContext::OpenAccessDB(BSTR strFileName) {
    // Every entry of this member is logged under this name.
    const char* source = "CExeContext::OpenAcessDB";
    constexpr OnFailure kCheckFailed = {"Open Database failed", 2, "CExeContext::OpenAcessDB"};
    return Guard(kClass, kCheckFailed, [&]() -> HRESULT {
        const std::string fileName = TextOf(strFileName);
        db::SetProcessConnectionString(db::MakeConnectionString(fileName));
        ResetIdentifiers();
        // A server's address may carry a password: it is never written out.
        const std::string openFailed = "Open database " + db::MaskedDataSource(fileName) + " failed";
        if (const HRESULT opened = Guard(kClass, {openFailed, 2, source},
                                         [&] {
                                             if (connection_.IsOpen()) connection_.Close();
                                             connection_.Open(db::ProcessConnectionString(), "",
                                                              "");
                                             return S_OK;
                                         });
            FAILED(opened))
            return opened;
        const HRESULT checked = Guard(kClass, kCheckFailed, [&] {
            db::Recordset system;
            system.Open("SELECT * FROM tSystem", connection_, db::CursorType::ForwardOnly,
                        db::LockType::ReadOnly);
            const std::string version = VariantToString(system.GetValue(0));
            system.Close();
            if (version != "1.0") {
                connection_.Close();
                return Fail(kClass, kBadVersion, 0, source, kBadVersion);
            }
            return S_OK;
        });
        // A database whose version cannot be read is not kept open.
        if (FAILED(checked) && connection_.IsOpen()) connection_.Close();
        return checked;
    });
}

HRESULT CExeContext::Login(BSTR bstrLoginName, BSTR bstrPassword) {
    const char* source = "CExeContext::Login";
    isAdmin_ = false;
    return Guard(kClass, {.logSource = source, .described = Described::ByError}, [&]() -> HRESULT {
        const std::string loginName = TextOf(bstrLoginName);
        const std::string password = TextOf(bstrPassword);
        db::Recordset user;
        user.Open("SELECT UserID,Password FROM tUser WHERE LoginName = ?",
                  {db::Value::Text(loginName)}, db::ProcessConnectionString(), db::CursorType::Static, db::LockType::ReadOnly);
        if (user.IsEOF()) return Fail(kClass, kBadLogin, 0, source, kBadLogin);
        const std::string stored = VariantToPassword(user.GetValue(1));
        const LONG userID = VariantToLong(user.GetValue(0));
        user.Close();
        if (stored != password) return Fail(kClass, kBadLogin, 0, source, kBadLogin);

        log::LogError(0, source, loginName + " login successfully!");
        curUserID_ = userID;
        isAdmin_ = IsAdministratorLogin(loginName);
        return S_OK;
    });
}

HRESULT CExeContext::SetCurRole(LONG lRoleID) {
    const char* source = "CExeContext::SetCurRole";
    const char* message = "Set Current Role Failed";
    return Guard(kClass, {message, 0, source}, [&]() -> HRESULT {
        db::Recordset role;
        role.Open("SELECT ProductID, tRight.RightID FROM tRole,tRight WHERE tRole.RoleID=? AND "
                  "tRight.RoleID=tRole.RoleID",
                  {db::Value::Int(lRoleID)}, db::ProcessConnectionString(), db::CursorType::Static, db::LockType::ReadOnly);
        if (role.IsEOF())
            return Fail(kClass, message, 0, source,
                        "Role(ID=" + std::to_string(lRoleID) + ") does not exist!");
        curRightID_ = VariantToLong(role.GetValue(1));
        curRoleID_ = lRoleID;
        activeProductID_ = activeVersionID_ = 0;
        return S_OK;
    });
}

HRESULT CExeContext::Close() {
    GuardStep(2, "CExeContext::Close", [&] {
        connection_.Close();
        return true;
    });
    return S_OK;
}

HRESULT CExeContext::get_Admin(IAdmin** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    if (!isAdmin_) {
        const char* message = "You are not an admin";
        return Fail(kClass, message, 0, "CExeContext::get_Admin", message);
    }
    return Guard([&] { return ReturnObject<IAdmin>(CreateObject<CAdmin>(), pVal); });
}

HRESULT CExeContext::get_CurUserID(LONG* pVal) {
    return ReturnValue(curUserID_, pVal);
}

HRESULT CExeContext::get_CurRoleID(LONG* pVal) {
    return ReturnValue(curRoleID_, pVal);
}

HRESULT CExeContext::get_CurRightID(LONG* pVal) {
    return ReturnValue(curRightID_, pVal);
}

HRESULT CExeContext::get_ActiveProductID(LONG* pVal) {
    return ReturnValue(activeProductID_, pVal);
}

HRESULT CExeContext::get_ActiveVersionID(LONG* pVal) {
    return ReturnValue(activeVersionID_, pVal);
}

} // namespace velmora::engine
