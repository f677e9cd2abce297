#include "WorkerSeed.h"

#include <stdexcept>

#include <velmora/ComSupport.h>

#include "EngineCall.h"
#include "engine/admin/Classification.h"
#include "engine/admin/Product.h"
#include "engine/admin/Right.h"
#include "engine/admin/Role.h"
#include "engine/admin/User.h"
#include "engine/com/EngineObjects.h"
#include "engine/db/Schema.h"
#include "engine/session/ExeContext.h"

namespace velmora::stress {
namespace {

using com::Bstr;
using com::ComPtr;

LONG StoreRoleWithEveryRight(IAdmin* admin, IExeContext* session) {
    ComPtr<IRoleSet> roles;
    Require(admin->get_RoleSet(roles.Put()), "RoleSet");
    auto role = engine::CreateObject<engine::CRole>();
    role->put_Name(Bstr("Stress worker").Get());
    Require(roles->Add(role.Get()), "add role");
    LONG roleId = 0;
    role->get_ID(&roleId);
    auto right = engine::CreateObject<engine::CRight>();
    for (const auto& column : engine::kRightColumns)
        right->SetFlag(column.flag, true);
    Require(admin->SetRoleRight(roleId, right.Get()), "SetRoleRight");
    ComPtr<IBugStatus> statuses;
    Require(session->get_AllBugStatus(statuses.Put()), "AllBugStatus");
    Require(admin->SetStatusOfRole(roleId, statuses.Get()), "SetStatusOfRole");
    return roleId;
}

} // namespace

void Require(HRESULT hr, const std::string& step) {
    const Outcome outcome = OutcomeOf(hr);
    if (!outcome.ok) throw std::runtime_error(step + ": " + outcome.message);
}

std::string WorkerLogin(int worker) {
    return "worker" + std::to_string(worker + 1);
}

std::string WorkerPassword(int worker) {
    return "pass'" + std::to_string(worker + 1);
}

SeedLayout CreateWorkerDatabase(const std::string& path, int workers) {
    if (const std::string failure = db::CreateSeedDatabase(path); !failure.empty())
        throw std::runtime_error("seed database: " + failure);
    SeedLayout layout;
    auto session = engine::CreateObject<engine::CExeContext>();
    Require(session->OpenAccessDB(Bstr(path).Get()), "OpenAccessDB");
    Require(session->Login(Bstr("Admin").Get(), Bstr("").Get()), "Login");
    ComPtr<IAdmin> admin;
    Require(session->get_Admin(admin.Put()), "Admin");

    layout.roleId = StoreRoleWithEveryRight(admin.Get(), session.Get());
    Require(admin->AssignUserToRole(1, layout.roleId), "AssignUserToRole Admin");
    Require(session->SetCurRole(layout.roleId), "SetCurRole");

    auto product = engine::CreateObject<engine::CProduct>();
    product->put_Name(Bstr("Stress").Get());
    product->put_Description(Bstr("shared by every worker").Get());
    for (const char* name : {"1.0", "2.0"}) {
        ComPtr<IVersion> version;
        Require(product->AddVersion(Bstr(name).Get(), Bstr("").Get(), 45000, version.Put()),
                "AddVersion");
    }
    ComPtr<IProductSet> products;
    Require(session->get_ProductSet(products.Put()), "ProductSet");
    Require(products->Add(product.Get()), "add product");
    product->get_ID(&layout.productId);
    ComPtr<IVersion> first;
    Require(product->get_Version(0, first.Put()), "Version");
    first->get_ID(&layout.versionId);

    ComPtr<IClassificationSet> classes;
    Require(product->get_ClassificationSet(classes.Put()), "ClassificationSet");
    Require(classes->put_ExeContext(session.Get()), "put_ExeContext");
    for (const char* name : {"UI", "Core"}) {
        auto classification = engine::CreateObject<engine::CClassification>();
        classification->put_Name(Bstr(name).Get());
        Require(classes->Add(classification.Get()), "add classification");
        LONG id = 0;
        classification->get_ID(&id);
        layout.classIds.push_back(id);
    }
    LONG roleIds[] = {layout.roleId};
    Require(session->AssignRolesToApp(roleIds, 1, layout.productId), "AssignRolesToApp");

    ComPtr<IUserSet> users;
    Require(admin->get_UserSet(users.Put()), "UserSet");
    for (int worker = 0; worker < workers; ++worker) {
        auto user = engine::CreateObject<engine::CUser>();
        user->put_LoginName(Bstr(WorkerLogin(worker)).Get());
        user->put_UserName(Bstr("Worker " + std::to_string(worker + 1)).Get());
        user->put_Password(Bstr(WorkerPassword(worker)).Get());
        Require(users->Add(user.Get()), "add user");
        LONG id = 0;
        user->get_ID(&id);
        Require(admin->AssignUserToRole(id, layout.roleId), "AssignUserToRole");
        layout.userIds.push_back(id);
    }
    return layout;
}

} // namespace velmora::stress
