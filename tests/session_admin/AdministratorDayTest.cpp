// A typical administrator's day, through the object model alone: a product with versions and
// classifications, a role with a right and statuses, a user holding it; the user reports and
// edits bugs in the product; a rename is synchronised; the product is deleted again.
#include <fstream>
#include <vector>

#include "engine/admin/Admin.h"
#include "engine/admin/Classification.h"
#include "engine/admin/Product.h"
#include "engine/admin/Right.h"
#include "engine/admin/Role.h"
#include "engine/admin/User.h"
#include "engine/bugs/Bug.h"
#include "tests/session_admin/SessionAdminTestSupport.h"

namespace velmora::test {
namespace {

// Fails the test with the engine's description when a member fails.
#define CHECKED(call) ASSERT_EQ((call), S_OK) << #call << ": " << ErrorDescription()

class AdministratorDayTest : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        CHECKED(Open());
        CHECKED(Login("Admin", ""));
        CHECKED(session_->get_Admin(admin_.Put()));
    }

    // A stored role with the given permissions; returns its ID.
    LONG StoreRole(const std::string& name, std::initializer_list<engine::RightFlag> flags) {
        ComPtr<IRoleSet> roles;
        EXPECT_EQ(admin_->get_RoleSet(roles.Put()), S_OK);
        auto role = engine::CreateObject<engine::CRole>();
        role->put_Name(Bstr(name).Get());
        EXPECT_EQ(roles->Add(role.Get()), S_OK) << ErrorDescription();
        LONG id = 0;
        role->get_ID(&id);
        auto right = engine::CreateObject<engine::CRight>();
        for (const auto flag : flags)
            right->SetFlag(flag, true);
        EXPECT_EQ(admin_->SetRoleRight(id, right.Get()), S_OK) << ErrorDescription();
        return id;
    }

    ComPtr<IAdmin> admin_;
};

TEST_F(AdministratorDayTest, FromANewProductToItsDeletion) {
    using engine::RightFlag;
    // The administrator gives himself a manager role to administer products under.
    const LONG manager =
        StoreRole("Manager", {RightFlag::Read, RightFlag::AddProduct, RightFlag::EditProduct,
                              RightFlag::DeleteProduct, RightFlag::AssignProductToUser,
                              RightFlag::Add_Edit_Del_BugClass, RightFlag::AssignClassToUser});
    CHECKED(admin_->AssignUserToRole(1, manager));
    CHECKED(session_->SetCurRole(manager));

    // A product with three versions and two classifications.
    auto product = engine::CreateObject<engine::CProduct>();
    product->put_Name(Bstr("Kiln").Get());
    for (const char* name : {"1.0", "1.1", "2.0"}) {
        ComPtr<IVersion> version;
        CHECKED(product->AddVersion(Bstr(name).Get(), Bstr("").Get(), 46000, version.Put()));
    }
    ComPtr<IProductSet> products;
    CHECKED(session_->get_ProductSet(products.Put()));
    CHECKED(products->Add(product.Get()));
    LONG productId = 0;
    product->get_ID(&productId);
    ComPtr<IClassificationSet> classes;
    CHECKED(product->get_ClassificationSet(classes.Put()));
    CHECKED(classes->put_ExeContext(session_.Get()));
    for (const char* name : {"Firing", "Glaze"}) {
        auto classification = engine::CreateObject<engine::CClassification>();
        classification->put_Name(Bstr(name).Get());
        CHECKED(classes->Add(classification.Get()));
    }
    ComPtr<IVersion> firstVersion;
    CHECKED(product->get_Version(0, firstVersion.Put()));
    LONG versionId = 0;
    firstVersion->get_ID(&versionId);

    // A tester role in the product, with its right and statuses, and a user holding it.
    const LONG tester =
        StoreRole("Tester", {RightFlag::Read, RightFlag::Add, RightFlag::EditDescription,
                             RightFlag::EditAttachment, RightFlag::EditClass});
    LONG testerIds[] = {tester};
    CHECKED(session_->AssignRolesToApp(testerIds, 1, productId));
    ComPtr<IBugStatus> statuses;
    CHECKED(session_->get_AllBugStatus(statuses.Put()));
    CHECKED(admin_->SetStatusOfRole(tester, statuses.Get()));
    ComPtr<IUserSet> users;
    CHECKED(admin_->get_UserSet(users.Put()));
    auto user = engine::CreateObject<engine::CUser>();
    user->put_LoginName(Bstr("obrien").Get());
    user->put_UserName(Bstr("Pat O'Brien").Get());
    user->put_Password(Bstr("kiln'fire").Get());
    CHECKED(users->Add(user.Get()));
    LONG userId = 0;
    user->get_ID(&userId);
    CHECKED(admin_->AssignUserToRole(userId, tester));

    // The user's working day in a session of its own.
    auto workday = engine::CreateObject<engine::CExeContext>();
    CHECKED(workday->OpenAccessDB(Bstr(database_).Get()));
    CHECKED(workday->Login(Bstr("obrien").Get(), Bstr("kiln'fire").Get()));
    CHECKED(workday->SetActiveProduct(versionId));
    LONG roleId = 0;
    workday->get_CurRoleID(&roleId);
    EXPECT_EQ(roleId, tester);
    ComPtr<IBugSet> bugs;
    CHECKED(workday->OpenBugSet(nullptr, bugs.Put()));
    std::vector<LONG> bugIds;
    for (const char* text : {"Cracks after the second firing", "Glaze runs at cone 6"}) {
        auto bug = engine::CreateObject<engine::CBug>();
        bug->put_Description(Bstr(text).Get());
        bug->put_ReportedByID(userId);
        bug->put_ReportedInVersionID(versionId);
        ComPtr<IBug> added;
        CHECKED(bugs->Add(bug.Get(), added.Put()));
        LONG id = 0;
        added->get_ID(&id);
        bugIds.push_back(id);
    }
    ComPtr<IBug> edited;
    CHECKED(bugs->GetBugByID(bugIds[0], edited.Put()));
    CHECKED(edited->put_Description(Bstr("Cracks after every second firing").Get()));
    CHECKED(bugs->Update(edited.Get()));
    ComPtr<IFileSet> files;
    CHECKED(edited->get_AttachedFiles(files.Put()));
    const std::string kilnLog = (dir_ / "kiln.log").string();
    std::ofstream(kilnLog) << "cone 6 reached at 1222 C\n";
    ComPtr<IFile> attached;
    CHECKED(files->Add(Bstr(kilnLog).Get(), attached.Put()));
    LONG count = 0;
    CHECKED(bugs->get_Count(&count));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(
        Query("SELECT Description FROM tBugReport WHERE BugID = " + std::to_string(bugIds[0])),
        "Cracks after every second firing");
    EXPECT_EQ(Count("tAttachment"), 1);
    bugs.Reset();

    // The administrator renames the user; Synchronize rewrites the copied names.
    ComPtr<IUserSet> allUsers;
    CHECKED(admin_->get_UserSet(allUsers.Put()));
    LONG userCount = 0;
    allUsers->get_Count(&userCount);
    for (LONG i = 0; i < userCount; ++i) {
        ComPtr<IUser> item;
        CHECKED(allUsers->get_Item(i, item.Put()));
        LONG id = 0;
        item->get_ID(&id);
        if (id != userId) continue;
        CHECKED(item->put_UserName(Bstr("Patricia O'Brien").Get()));
        CHECKED(allUsers->Update());
    }
    CHECKED(session_->Synchronize());
    EXPECT_EQ(Count("tBugReport", "ReportedBy = 'Patricia O''Brien'"), 2);

    // Deleting the product removes its versions, their bugs and attachments, and its
    // classifications, and leaves its roles bound to no product.
    ComPtr<IProductSet> current;
    CHECKED(session_->get_ProductSet(current.Put()));
    CHECKED(current->DeleteByIndex(0));
    EXPECT_EQ(Count("tProduct"), 0);
    EXPECT_EQ(Count("tVersion"), 0);
    EXPECT_EQ(Count("tBugReport"), 0);
    EXPECT_EQ(Count("tAttachment"), 0);
    EXPECT_EQ(Count("tClassification"), 0);
    EXPECT_EQ(Count("tRole", "RoleID = " + std::to_string(tester) + " AND ProductID = 0"), 1);
    EXPECT_EQ(Count("tUserRole", "UserID = " + std::to_string(userId)), 1);
}

} // namespace
} // namespace velmora::test
