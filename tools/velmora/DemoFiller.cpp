// The team part of the demo: roles, products, classifications and users.
#include "DemoFiller.h"

#include "DemoTeam.h"

namespace velmora::demo {
namespace {

using com::Bstr;
using com::ComPtr;
using tool::Create;
using tool::Require;
using tool::RequireObject;

constexpr LONG kAdminUserID = 1;
constexpr int kAdministratorJob = 3; // beside the three Job values

using RightSetter = HRESULT (IRight::*)(LONG);

// Which role may do what: developer, tester, manager, administrator.
struct Grant {
    RightSetter put;
    std::array<bool, 4> holders;
};

const Grant kGrants[] = {
    {&IRight::put_Read, {true, true, true, true}},
    {&IRight::put_Add, {true, true, true, true}},
    {&IRight::put_Delete, {false, false, true, true}},
    {&IRight::put_EditClass, {true, true, true, true}},
    {&IRight::put_EditPriority, {true, false, true, true}},
    {&IRight::put_EditSeverity, {true, true, true, true}},
    {&IRight::put_EditReproductive, {true, true, true, true}},
    {&IRight::put_EditReportedInVersion, {false, true, true, true}},
    {&IRight::put_EditReportedDate, {false, true, true, true}},
    {&IRight::put_EditFixedInVersion, {true, false, true, true}},
    {&IRight::put_EditFixedDate, {true, false, true, true}},
    {&IRight::put_EditVerifiedDate, {false, true, true, true}},
    {&IRight::put_EditDescription, {true, true, true, true}},
    {&IRight::put_EditRecreateStep, {true, true, true, true}},
    {&IRight::put_EditWorkAround, {true, true, true, true}},
    {&IRight::put_EditReport, {true, true, true, true}},
    {&IRight::put_EditResolution, {true, false, true, true}},
    {&IRight::put_EditAttachment, {true, true, true, true}},
    {&IRight::put_EditEstimatedTime, {true, false, true, true}},
    {&IRight::put_EditDateDue, {false, false, true, true}},
    {&IRight::put_ReportGen, {false, false, true, true}},
    {&IRight::put_Print, {true, true, true, true}},
    {&IRight::put_Statistic, {false, false, true, true}},
    {&IRight::put_Add_Edit_Del_BugClass, {false, false, true, true}},
    {&IRight::put_Add_Edit_Del_BugStatus, {false, false, false, true}},
    {&IRight::put_Add_Edit_Del_BugReproductive, {false, false, false, true}},
    {&IRight::put_Add_Edit_Del_BugSeverity, {false, false, false, true}},
    {&IRight::put_Add_Edit_Del_BugPriority, {false, false, false, true}},
    {&IRight::put_AssignProductToUser, {false, false, true, true}},
    {&IRight::put_AssignClassToUser, {false, false, true, true}},
    {&IRight::put_AddProduct, {false, false, false, true}},
    {&IRight::put_EditProduct, {false, false, true, true}},
    {&IRight::put_DeleteProduct, {false, false, false, true}},
};

const char* JobDescription(Job job) {
    switch (job) {
    case Job::Developer:
        return "Fixes bugs and builds features";
    case Job::Tester:
        return "Reports bugs and verifies fixes";
    case Job::Manager:
        return "Plans the releases and triages every report";
    }
    return "";
}

} // namespace

DemoFiller::DemoFiller(const std::string& file)
    : files_("velmora-demo"),
      session_(Create<IExeContext>(CLSID_ExeContext, IID_IExeContext, "ExeContext")) {
    Require(session_->OpenAccessDB(Bstr(file).Get()), "opening " + file);
    Require(session_->Login(Bstr("Admin").Get(), Bstr("").Get()), "logging in as Admin");
    Require(session_->get_Admin(admin_.Put()), "getting the administration object");
    RequireObject(admin_, "getting the administration object");
}

DemoFiller::~DemoFiller() {
    bugSets_.clear();
    admin_.Reset();
    session_->Close();
}

LONG DemoFiller::AddRole(IRoleSet* roles, const std::string& name, const std::string& description) {
    auto role = Create<IRole>(CLSID_Role, IID_IRole, "Role");
    Require(role->put_Name(Bstr(name).Get()), "naming role " + name);
    Require(role->put_Description(Bstr(description).Get()), "describing role " + name);
    Require(roles->Add(role.Get()), "adding role " + name);
    LONG id = 0;
    Require(role->get_ID(&id), "reading the ID of role " + name);
    ++counts_.roles;
    return id;
}

void DemoFiller::GrantRole(LONG roleID, const std::vector<std::string>& statuses, int job) {
    auto right = Create<IRight>(CLSID_Right, IID_IRight, "Right");
    for (const Grant& grant : kGrants)
        Require((right.Get()->*grant.put)(grant.holders[static_cast<size_t>(job)] ? 1 : 0),
                "setting a right");
    Require(admin_->SetRoleRight(roleID, right.Get()), "storing the right of a role");

    auto list = Create<IBugStatus>(CLSID_BugStatus, IID_IBugStatus, "BugStatus");
    for (const std::string& status : statuses)
        Require(list->Add(Bstr(status).Get()), "listing status " + status);
    Require(admin_->SetStatusOfRole(roleID, list.Get()), "storing the statuses of a role");
}

void DemoFiller::AddProduct(IProductSet* products, const DemoProduct& demo) {
    auto product = Create<IProduct>(CLSID_Product, IID_IProduct, "Product");
    Require(product->put_Name(Bstr(demo.name).Get()), "naming product " + demo.name);
    Require(product->put_Description(Bstr(demo.description).Get()),
            "describing product " + demo.name);
    for (const DemoVersion& version : demo.versions) {
        ComPtr<IVersion> added;
        Require(product->AddVersion(Bstr(version.name).Get(), Bstr(version.description).Get(),
                                    version.releaseDate, added.Put()),
                "adding version " + version.name + " of " + demo.name);
    }
    Require(products->Add(product.Get()), "adding product " + demo.name);

    LONG productID = 0;
    Require(product->get_ID(&productID), "reading the ID of product " + demo.name);
    productIDs_.push_back(productID);
    ++counts_.products;
    std::vector<LONG>& versionIDs = versionIDs_.emplace_back();
    for (size_t i = 0; i < demo.versions.size(); ++i) {
        ComPtr<IVersion> version;
        Require(product->get_Version(static_cast<LONG>(i), version.Put()),
                "reading the versions of " + demo.name);
        LONG id = 0;
        Require(RequireObject(version, "reading the versions of " + demo.name)->get_ID(&id),
                "reading a version ID");
        versionIDs.push_back(id);
        ++counts_.versions;
    }

    // Classification changes are checked against the session's current role.
    ComPtr<IClassificationSet> classes;
    Require(product->get_ClassificationSet(classes.Put()),
            "getting the classifications of " + demo.name);
    RequireObject(classes, "getting the classifications of " + demo.name);
    Require(classes->put_ExeContext(session_.Get()), "giving the classification list the session");
    std::vector<LONG>& classIDs = classificationIDs_.emplace_back();
    for (const DemoClassification& area : demo.classifications) {
        auto classification =
            Create<IClassification>(CLSID_Classification, IID_IClassification, "Classification");
        Require(classification->put_Name(Bstr(area.name).Get()), "naming a classification");
        Require(classes->Add(classification.Get()),
                "adding classification " + area.name + " to " + demo.name);
        LONG id = 0;
        Require(classification->get_ID(&id), "reading a classification ID");
        classIDs.push_back(id);
        ++counts_.classifications;
    }
}

void DemoFiller::AddUser(IUserSet* users, const DemoUser& demo) {
    auto user = Create<IUser>(CLSID_User, IID_IUser, "User");
    const std::pair<HRESULT (IUser::*)(BSTR), const std::string*> fields[] = {
        {&IUser::put_LoginName, &demo.login},
        {&IUser::put_UserName, &demo.userName},
        {&IUser::put_Description, &demo.description},
        {&IUser::put_Password, &demo.password},
        {&IUser::put_EMail, &demo.email},
        {&IUser::put_Position, &demo.position},
        {&IUser::put_Department, &demo.department},
        {&IUser::put_Address, &demo.address},
        {&IUser::put_Phone, &demo.phone},
    };
    for (const auto& [put, value] : fields)
        Require((user.Get()->*put)(Bstr(*value).Get()), "describing user " + demo.login);
    Require(users->Add(user.Get()), "adding user " + demo.login);
    LONG id = 0;
    Require(user->get_ID(&id), "reading the ID of user " + demo.login);
    userIDs_.push_back(id);
    ++counts_.users;

    auto info = Create<IUserSysInfo>(CLSID_UserSysInfo, IID_IUserSysInfo, "UserSysInfo");
    const DemoSysInfo& system = demo.sysInfo;
    const std::pair<HRESULT (IUserSysInfo::*)(BSTR), const std::string*> infoFields[] = {
        {&IUserSysInfo::put_OS, &system.os},
        {&IUserSysInfo::put_OSBuild, &system.osBuild},
        {&IUserSysInfo::put_ServicePack, &system.servicePack},
        {&IUserSysInfo::put_IEVersion, &system.browser},
        {&IUserSysInfo::put_NetEnvironment, &system.network},
        {&IUserSysInfo::put_CPU, &system.cpu},
        {&IUserSysInfo::put_Memory, &system.memory},
        {&IUserSysInfo::put_HardDisk, &system.hardDisk},
        {&IUserSysInfo::put_Note, &system.note},
    };
    for (const auto& [put, value] : infoFields)
        Require((info.Get()->*put)(Bstr(*value).Get()), "describing the computer of " + demo.login);
    Require(user->put_SysInfo(info.Get()), "storing the computer of " + demo.login);

    for (const DemoAssignment& role : demo.roles)
        Require(admin_->AssignUserToRole(
                    id, roleIDs_[static_cast<size_t>(role.product)][static_cast<size_t>(role.job)]),
                "giving " + demo.login + " a role");
}

void DemoFiller::BuildTeam() {
    ComPtr<IRoleSet> roles;
    Require(admin_->get_RoleSet(roles.Put()), "listing the roles");
    RequireObject(roles, "listing the roles");

    // Products and classifications are added under a role that may administer everything.
    const LONG administrator =
        AddRole(roles.Get(), kAdministratorRole, "Administers products, classifications and users");
    GrantRole(administrator, DemoStatuses(), kAdministratorJob);
    Require(admin_->AssignUserToRole(kAdminUserID, administrator),
            "giving Admin the administrator role");
    Require(session_->SetCurRole(administrator), "choosing the administrator role");

    ComPtr<IProductSet> products;
    Require(session_->get_ProductSet(products.Put()), "listing the products");
    RequireObject(products, "listing the products");
    for (const DemoProduct& product : DemoProducts()) {
        AddProduct(products.Get(), product);
        std::array<LONG, 3>& jobs = roleIDs_.emplace_back();
        for (Job job : {Job::Developer, Job::Tester, Job::Manager}) {
            const size_t j = static_cast<size_t>(job);
            jobs[j] = AddRole(roles.Get(), RoleName(product, job), JobDescription(job));
            Require(admin_->AssignProductToRole(productIDs_.back(), jobs[j]),
                    "binding role " + RoleName(product, job) + " to its product");
            GrantRole(jobs[j], JobStatuses(job), static_cast<int>(j));
        }
        // Admin sees and changes every product's bugs as its manager.
        Require(admin_->AssignUserToRole(kAdminUserID, jobs[static_cast<size_t>(Job::Manager)]),
                "giving Admin the manager role of " + product.name);
    }

    ComPtr<IUserSet> users;
    Require(admin_->get_UserSet(users.Put()), "listing the users");
    RequireObject(users, "listing the users");
    for (const DemoUser& user : DemoUsers())
        AddUser(users.Get(), user);
    counts_.users += 1; // Admin, there from the start
}

} // namespace velmora::demo
