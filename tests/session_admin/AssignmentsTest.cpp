// Which classifications a user may see, and which roles belong to a product.
#include <vector>

#include "tests/session_admin/SessionAdminTestSupport.h"

namespace velmora::test {
namespace {

class AssignmentsTest : public SessionAdminTest {
  protected:
    void SetUp() override {
        SessionAdminTest::SetUp();
        ASSERT_EQ(Login("Admin", ""), S_OK);
        ASSERT_EQ(session_->SetCurRole(20), S_OK);
    }
    std::vector<LONG> ClassificationIds(LONG user, LONG product) {
        ComPtr<IClassificationSet> set;
        EXPECT_EQ(session_->GetUserClassification(user, product, set.Put()), S_OK);
        std::vector<LONG> ids;
        LONG count = 0;
        if (!set) return ids;
        set->get_Count(&count);
        for (LONG i = 0; i < count; ++i) {
            ComPtr<IClassification> item;
            set->get_Item(i, item.Put());
            LONG id = 0;
            item->get_ID(&id);
            ids.push_back(id);
        }
        return ids;
    }
    std::string ProductOfRole(int role) {
        return Query("SELECT ProductID FROM tRole WHERE RoleID = " + std::to_string(role));
    }
};

using Ids = std::vector<LONG>;

TEST_F(AssignmentsTest, UserClassificationsFollowTheUsersProducts) {
    Execute("INSERT INTO tUserClassification VALUES (1, 1001), (1, 1100), (2, 1100)");
    EXPECT_EQ(ClassificationIds(0, 10), (Ids{1000, 1001}));
    EXPECT_EQ(ClassificationIds(1, 10), (Ids{1001}));
    // Admin holds no role in Loom: its classification there does not count.
    EXPECT_EQ(ClassificationIds(1, 11), Ids{});
    EXPECT_EQ(ClassificationIds(2, 11), (Ids{1100}));
}

TEST_F(AssignmentsTest, AssigningClassificationsReplacesTheUsersRows) {
    Execute("INSERT INTO tUserClassification VALUES (2, 1000), (1, 1000)");
    LONG ids[] = {1100, 1001};
    ASSERT_EQ(session_->AssignUserClassification(2, ids, 2), S_OK) << ErrorDescription();
    EXPECT_EQ(Count("tUserClassification", "UserID = 2"), 2);
    EXPECT_EQ(Count("tUserClassification", "UserID = 2 AND ClassificationID = 1000"), 0);
    EXPECT_EQ(Count("tUserClassification", "UserID = 1"), 1);

    ASSERT_EQ(session_->AssignUserClassification(2, nullptr, 0), S_OK);
    EXPECT_EQ(Count("tUserClassification", "UserID = 2"), 0);
}

TEST_F(AssignmentsTest, AFailingAssignmentLeavesTheOldClassificationsInPlace) {
    Execute("INSERT INTO tUserClassification VALUES (2, 1000)");
    FailWrites("tUserClassification", "INSERT", "NEW.ClassificationID = 1001");
    LONG ids[] = {1100, 1001};
    EXPECT_EQ(session_->AssignUserClassification(2, ids, 2), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Assign classification to user failed!");
    EXPECT_NE(ErrLog().find("CExeContext::AssignUserClassification"), std::string::npos);
    EXPECT_EQ(Count("tUserClassification", "UserID = 2"), 1);
    EXPECT_EQ(Count("tUserClassification", "UserID = 2 AND ClassificationID = 1000"), 1);
}

TEST_F(AssignmentsTest, AssigningClassificationsNeedsTheRight) {
    SetRight("AssignClassToUser", false);
    LONG ids[] = {1000};
    EXPECT_EQ(session_->AssignUserClassification(2, ids, 1), E_FAIL);
    EXPECT_EQ(ErrorDescription(),
              "You have no right to assign classification to user, please contact your manager!");
    EXPECT_TRUE(Logged(3, "CExeContext::AssignUserClassification",
                       "you have no right to assign classification to user!"));
    EXPECT_EQ(Count("tUserClassification"), 0);
}

TEST_F(AssignmentsTest, RolesAreBoundToAProductAndFreedFromIt) {
    Execute("INSERT INTO tRole VALUES (23, 'Spare', '', 0)");
    LONG roles[] = {23, 22, 999};
    ASSERT_EQ(session_->AssignRolesToApp(roles, 3, 11), S_OK) << ErrorDescription();
    EXPECT_EQ(ProductOfRole(23), "11");

    // Freeing touches only roles of that product.
    LONG freed[] = {23, 20};
    ASSERT_EQ(session_->FreeRoleIDsFromApp(freed, 2, 11), S_OK) << ErrorDescription();
    EXPECT_EQ(ProductOfRole(23), "0");
    EXPECT_EQ(ProductOfRole(20), "10");
    EXPECT_EQ(ProductOfRole(22), "11");
}

TEST_F(AssignmentsTest, BindingRolesToAMissingProductFails) {
    LONG roles[] = {20};
    EXPECT_EQ(session_->AssignRolesToApp(roles, 1, 77), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Assign roles to production failed!");
    EXPECT_TRUE(Logged(0, "CExeContext::AssignRolesToApp", "Application(ID=77) does not exist."));
    EXPECT_EQ(session_->FreeRoleIDsFromApp(roles, 1, 77), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Romove roles to application failed!");
    EXPECT_EQ(ProductOfRole(20), "10");
}

TEST_F(AssignmentsTest, BindingRolesIsAllOrNothingAndNeedsTheRight) {
    FailWrites("tRole", "UPDATE", "NEW.RoleID = 21");
    LONG roles[] = {20, 21};
    EXPECT_EQ(session_->AssignRolesToApp(roles, 2, 11), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Assign roles to production failed!");
    EXPECT_EQ(ProductOfRole(20), "10");

    SetRight("AssignProductToUser", false);
    EXPECT_EQ(session_->FreeRoleIDsFromApp(roles, 1, 10), E_FAIL);
    const std::string refusal =
        "You have no right to resign roles to application, please contact your manager!";
    EXPECT_EQ(ErrorDescription(), refusal);
    EXPECT_TRUE(Logged(3, "CExeContext::FreeRoleIDsFromApp", refusal));
    EXPECT_EQ(ProductOfRole(20), "10");
}

} // namespace
} // namespace velmora::test
