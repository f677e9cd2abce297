#include "tests/client_admin/AdminTestSession.h"

#include <QtGlobal>

namespace tarnwick::test {

namespace {
template <class Work> void Must(const char* what, Work&& work) {
    Attempt(std::forward<Work>(work), [&](const EngineFailure& failure) {
        qFatal("%s: %s", what, qPrintable(failure.text));
    });
}

const RightSetter kEveryPermission[] = {
    &IRight::put_Read,
    &IRight::put_Add,
    &IRight::put_Delete,
    &IRight::put_EditClass,
    &IRight::put_EditPriority,
    &IRight::put_EditSeverity,
    &IRight::put_EditReportedInVersion,
    &IRight::put_EditReportedDate,
    &IRight::put_EditFixedInVersion,
    &IRight::put_EditFixedDate,
    &IRight::put_EditVerifiedDate,
    &IRight::put_EditDescription,
    &IRight::put_EditRecreateStep,
    &IRight::put_EditWorkAround,
    &IRight::put_EditReport,
    &IRight::put_EditResolution,
    &IRight::put_EditAttachment,
    &IRight::put_ReportGen,
    &IRight::put_Print,
    &IRight::put_Statistic,
    &IRight::put_Add_Edit_Del_BugClass,
    &IRight::put_Add_Edit_Del_BugStatus,
    &IRight::put_Add_Edit_Del_BugReproductive,
    &IRight::put_Add_Edit_Del_BugSeverity,
    &IRight::put_AssignProductToUser,
    &IRight::put_AssignClassToUser,
    &IRight::put_EditReproductive,
    &IRight::put_EditDateDue,
    &IRight::put_EditEstimatedTime,
    &IRight::put_Add_Edit_Del_BugPriority,
    &IRight::put_AddProduct,
    &IRight::put_EditProduct,
    &IRight::put_DeleteProduct,
};

constexpr LONG kAdminUserID = 1;
} // namespace

ComPtr<IExeContext> LoginSession(const QString& path, const QString& login,
                                 const QString& password) {
    ComPtr<IExeContext> session;
    Must("logging in", [&] {
        session = Create<IExeContext>(CLSID_ExeContext, IID_IExeContext);
        Check(session->OpenAccessDB(ToBstr(path).Get()));
        Check(session->Login(ToBstr(login).Get(), ToBstr(password).Get()));
    });
    return session;
}

LONG AddRole(IExeContext* session, const QString& name) {
    LONG id = 0;
    Must("adding a role", [&] {
        const ComPtr<IAdmin> admin = Object(session, &IExeContext::get_Admin);
        const ComPtr<IRoleSet> roles = Object(admin.Get(), &IAdmin::get_RoleSet);
        const auto role = Create<IRole>(CLSID_Role, IID_IRole);
        Check(role->put_Name(ToBstr(name).Get()));
        Check(roles->Add(role.Get()));
        id = Long(role.Get(), &IRole::get_ID);
    });
    return id;
}

ComPtr<IExeContext> AdminSession(const QString& path, const QString& roleName,
                                 RightSetter withheld) {
    ComPtr<IExeContext> session = LoginSession(path, QStringLiteral("Admin"), QString());
    LONG role = RoleID(session.Get(), roleName);
    if (role == 0) {
        role = AddRole(session.Get(), roleName);
        Must("granting every permission", [&] {
            const ComPtr<IAdmin> admin = Object(session.Get(), &IExeContext::get_Admin);
            const auto right = Create<IRight>(CLSID_Right, IID_IRight);
            for (RightSetter put : kEveryPermission)
                Check((right.Get()->*put)(put == withheld ? 0 : 1));
            Check(admin->SetRoleRight(role, right.Get()));
            Check(admin->AssignUserToRole(kAdminUserID, role));
        });
    }
    Must("choosing the role", [&] { Check(session->SetCurRole(role)); });
    return session;
}

LONG RoleID(IExeContext* session, const QString& roleName) {
    LONG found = 0;
    Must("listing the roles", [&] {
        const ComPtr<IRoleSet> roles = Object(session, &IExeContext::get_AllRole);
        const LONG count = Long(roles.Get(), &IRoleSet::get_Count);
        for (LONG i = 0; i < count && found == 0; ++i) {
            const ComPtr<IRole> role = Item(roles.Get(), &IRoleSet::get_Item, i);
            if (Text(role.Get(), &IRole::get_Name) == roleName)
                found = Long(role.Get(), &IRole::get_ID);
        }
    });
    return found;
}

LONG UserIDByLogin(IExeContext* session, const QString& login) {
    LONG found = 0;
    Must("listing the users", [&] {
        const ComPtr<IUserSet> users = Object(session, &IExeContext::get_AllUser);
        const LONG count = Long(users.Get(), &IUserSet::get_Count);
        for (LONG i = 0; i < count && found == 0; ++i) {
            const ComPtr<IUser> user = Item(users.Get(), &IUserSet::get_Item, i);
            if (Text(user.Get(), &IUser::get_LoginName) == login)
                found = Long(user.Get(), &IUser::get_ID);
        }
    });
    return found;
}

void BindRole(IExeContext* session, LONG roleID, LONG productID) {
    Must("binding a role", [&] {
        const ComPtr<IAdmin> admin = Object(session, &IExeContext::get_Admin);
        Check(admin->AssignProductToRole(productID, roleID));
    });
}

StoredProduct ReadProduct(const QString& path, const QString& name) {
    StoredProduct stored;
    const ComPtr<IExeContext> session = AdminSession(path);
    Must("reading a product", [&] {
        const ComPtr<IProductSet> products = Object(session.Get(), &IExeContext::get_ProductSet);
        const LONG count = Long(products.Get(), &IProductSet::get_Count);
        for (LONG i = 0; i < count; ++i) {
            const ComPtr<IProduct> product = Item(products.Get(), &IProductSet::get_Item, i);
            if (Text(product.Get(), &IProduct::get_Name) != name) continue;
            stored.id = Long(product.Get(), &IProduct::get_ID);
            stored.name = name;
            stored.description = Text(product.Get(), &IProduct::get_Description);
            const LONG versions = Long(product.Get(), &IProduct::get_VersionCount);
            for (LONG v = 0; v < versions; ++v) {
                const ComPtr<IVersion> version = Item(product.Get(), &IProduct::get_Version, v);
                stored.versions.append(Text(version.Get(), &IVersion::get_Name));
                stored.versionIDs.append(Long(version.Get(), &IVersion::get_ID));
                stored.releaseDates.append(Date(version.Get(), &IVersion::get_ReleaseDate));
                stored.versionDescriptions.append(Text(version.Get(), &IVersion::get_Description));
            }
            const ComPtr<IClassificationSet> classes =
                Object(product.Get(), &IProduct::get_ClassificationSet);
            const LONG classCount = Long(classes.Get(), &IClassificationSet::get_Count);
            for (LONG c = 0; c < classCount; ++c) {
                const ComPtr<IClassification> item =
                    Item(classes.Get(), &IClassificationSet::get_Item, c);
                stored.classifications.append(Text(item.Get(), &IClassification::get_Name));
                stored.classificationIDs.append(Long(item.Get(), &IClassification::get_ID));
            }
            const ComPtr<IRoleSet> roles = Object(product.Get(), &IProduct::get_RoleSet);
            const LONG roleCount = Long(roles.Get(), &IRoleSet::get_Count);
            for (LONG r = 0; r < roleCount; ++r)
                stored.roles.insert(
                    Long(Item(roles.Get(), &IRoleSet::get_Item, r).Get(), &IRole::get_ID));
            break;
        }
    });
    session->Close();
    return stored;
}

QStringList ProductNames(const QString& path) {
    QStringList names;
    const ComPtr<IExeContext> session = AdminSession(path);
    Must("listing the products", [&] {
        const ComPtr<IProductSet> products = Object(session.Get(), &IExeContext::get_ProductSet);
        const LONG count = Long(products.Get(), &IProductSet::get_Count);
        for (LONG i = 0; i < count; ++i)
            names.append(
                Text(Item(products.Get(), &IProductSet::get_Item, i).Get(), &IProduct::get_Name));
    });
    session->Close();
    return names;
}

QSet<LONG> UserClassifications(const QString& path, LONG userID, LONG productID) {
    QSet<LONG> ids;
    const ComPtr<IExeContext> session = AdminSession(path);
    Must("reading a user's classifications", [&] {
        ComPtr<IClassificationSet> set;
        Check(session->GetUserClassification(userID, productID, set.Put()));
        const LONG count = set ? Long(set.Get(), &IClassificationSet::get_Count) : 0;
        for (LONG i = 0; i < count; ++i)
            ids.insert(Long(Item(set.Get(), &IClassificationSet::get_Item, i).Get(),
                            &IClassification::get_ID));
    });
    session->Close();
    return ids;
}

} // namespace tarnwick::test
