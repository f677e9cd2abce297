#include "tests/client_editor/EditorTestSession.h"

#include <QtGlobal>

namespace tarnwick::test {

namespace {

template <class Work> void Must(const char* what, Work&& work) {
    Attempt(std::forward<Work>(work), [&](const EngineFailure& failure) {
        qFatal("%s: %s", what, qPrintable(failure.text));
    });
}

QString PasswordOf(const QString& login) {
    return login == QStringLiteral("Admin") ? QString() : login + QStringLiteral("-demo");
}

LONG ProductVersionID(IExeContext* session, const QString& product, const QString& version) {
    const ComPtr<IProductSet> products = Object(session, &IExeContext::get_CurUserProductSet);
    for (LONG i = 0; i < Long(products.Get(), &IProductSet::get_Count); ++i) {
        const ComPtr<IProduct> each = Item(products.Get(), &IProductSet::get_Item, i);
        if (Text(each.Get(), &IProduct::get_Name) != product) continue;
        for (LONG v = 0; v < Long(each.Get(), &IProduct::get_VersionCount); ++v) {
            const ComPtr<IVersion> candidate = Item(each.Get(), &IProduct::get_Version, v);
            if (Text(candidate.Get(), &IVersion::get_Name) == version)
                return Long(candidate.Get(), &IVersion::get_ID);
        }
    }
    return 0;
}

} // namespace

ComPtr<IExeContext> WorkingSession(const QString& path, const QString& login,
                                   const QString& product, const QString& version) {
    ComPtr<IExeContext> session;
    Must("opening a working session", [&] {
        session = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
        Check(session->OpenAccessDB(ToBstr(path).Get()));
        Check(session->Login(ToBstr(login).Get(), ToBstr(PasswordOf(login)).Get()));
        const LONG versionId = ProductVersionID(session.Get(), product, version);
        if (versionId == 0) throw EngineFailure{E_FAIL, QStringLiteral("no such version")};
        Check(session->SetActiveProduct(versionId));
    });
    return session;
}

LONG UserID(IExeContext* session, const QString& login) {
    LONG id = 0;
    Must("finding a user", [&] {
        const ComPtr<IUserSet> users = Object(session, &IExeContext::get_AllUser);
        for (LONG i = 0; i < Long(users.Get(), &IUserSet::get_Count); ++i) {
            const ComPtr<IUser> user = Item(users.Get(), &IUserSet::get_Item, i);
            if (Text(user.Get(), &IUser::get_LoginName) == login)
                id = Long(user.Get(), &IUser::get_ID);
        }
    });
    return id;
}

LONG VersionID(IExeContext* session, const QString& name) {
    LONG id = 0;
    Must("finding a version", [&] {
        const ComPtr<IProduct> product = Object(session, &IExeContext::get_ActiveProduct);
        for (LONG i = 0; i < Long(product.Get(), &IProduct::get_VersionCount); ++i) {
            const ComPtr<IVersion> version = Item(product.Get(), &IProduct::get_Version, i);
            if (Text(version.Get(), &IVersion::get_Name) == name)
                id = Long(version.Get(), &IVersion::get_ID);
        }
    });
    return id;
}

ComPtr<IBug> AddAndReadBack(IExeContext* session, IBug* bug) {
    ComPtr<IBug> readBack;
    Must("storing a bug", [&] {
        ComPtr<IBugSet> bugs;
        Check(session->OpenBugSet(nullptr, bugs.Put()));
        ComPtr<IBug> added;
        Check(bugs->Add(bug, added.Put()));
        Check(bugs->GetBugByID(Long(added.Get(), &IBug::get_ID), readBack.Put()));
    });
    return readBack;
}

ComPtr<IBug> StoredBug(IExeContext* session, const std::function<void(IBug*)>& fill) {
    ComPtr<IBug> bug;
    Must("making a bug", [&] {
        bug = Create<IBug>(CLSID_Bug, IID_IBug);
        fill(bug.Get());
    });
    return AddAndReadBack(session, bug.Get());
}

void SetRoleFlag(const QString& path, const QString& roleName,
                 HRESULT (STDMETHODCALLTYPE IRight::*put)(LONG), LONG value) {
    Must("changing a role's right", [&] {
        const auto session = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
        Check(session->OpenAccessDB(ToBstr(path).Get()));
        Check(session->Login(ToBstr(QStringLiteral("Admin")).Get(), ToBstr(QString()).Get()));
        const ComPtr<IAdmin> admin = Object(session.Get(), &IExeContext::get_Admin);
        const ComPtr<IRoleSet> roles = Object(admin.Get(), &IAdmin::get_RoleSet);
        bool found = false;
        for (LONG i = 0; i < Long(roles.Get(), &IRoleSet::get_Count); ++i) {
            const ComPtr<IRole> role = Item(roles.Get(), &IRoleSet::get_Item, i);
            if (Text(role.Get(), &IRole::get_Name) != roleName) continue;
            const ComPtr<IRight> right = Object(role.Get(), &IRole::get_Right);
            Check((right.Get()->*put)(value));
            Check(admin->SetRoleRight(Long(role.Get(), &IRole::get_ID), right.Get()));
            found = true;
        }
        if (!found) throw EngineFailure{E_FAIL, QStringLiteral("no such role: ") + roleName};
        session->Close();
    });
}

} // namespace tarnwick::test
