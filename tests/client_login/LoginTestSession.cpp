#include "tests/client_login/LoginTestSession.h"

#include <QtGlobal>

namespace tarnwick::test {

namespace {
void Require(bool ok, const char* what, const EngineFailure& failure = {}) {
    if (!ok) qFatal("%s: %s", what, qPrintable(failure.text));
}

template <class Work> void Must(const char* what, Work&& work) {
    Attempt(std::forward<Work>(work),
            [&](const EngineFailure& failure) { Require(false, what, failure); });
}
} // namespace

ComPtr<IExeContext> OpenSession(const QString& path) {
    ComPtr<IExeContext> session;
    Must("opening the database", [&] {
        session = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
        Check(session->OpenAccessDB(ToBstr(path).Get()));
    });
    return session;
}

ComPtr<IExeContext> LoginSession(const QString& path, const QString& login,
                                 const QString& password) {
    ComPtr<IExeContext> session = OpenSession(path);
    Must("logging in", [&] { Check(session->Login(ToBstr(login).Get(), ToBstr(password).Get())); });
    return session;
}

void AddUserWithProductlessRole(const QString& path, const QString& login, const QString& password,
                                const QString& roleName) {
    const ComPtr<IExeContext> session = LoginSession(path, QStringLiteral("Admin"), QString());
    Must("adding a user with a role of no product", [&] {
        const ComPtr<IAdmin> admin = Object(session.Get(), &IExeContext::get_Admin);
        const ComPtr<IRoleSet> roles = Object(admin.Get(), &IAdmin::get_RoleSet);
        const auto role = Create<IRole>(CLSID_Role, IID_IRole);
        Check(role->put_Name(ToBstr(roleName).Get()));
        Check(roles->Add(role.Get()));
        // A role can be made current only once it has a right.
        const auto right = Create<IRight>(CLSID_Right, IID_IRight);
        Check(admin->SetRoleRight(Long(role.Get(), &IRole::get_ID), right.Get()));
        const ComPtr<IUserSet> users = Object(admin.Get(), &IAdmin::get_UserSet);
        const auto user = Create<IUser>(CLSID_User, IID_IUser);
        Check(user->put_LoginName(ToBstr(login).Get()));
        Check(user->put_UserName(ToBstr(login).Get()));
        Check(user->put_Password(ToBstr(password).Get()));
        Check(users->Add(user.Get()));
        Check(admin->AssignUserToRole(Long(user.Get(), &IUser::get_ID),
                                      Long(role.Get(), &IRole::get_ID)));
    });
    session->Close();
}

} // namespace tarnwick::test
