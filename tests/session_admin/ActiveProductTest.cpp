// SetActiveProduct and the active product and version it gives.
#include "tests/session_admin/SessionAdminTestSupport.h"

namespace velmora::test {
namespace {

constexpr const char* kSource = "CExeContext::SetActiveProduct";

class ActiveProductTest : public SessionAdminTest {
  protected:
    void SetUp() override {
        SessionAdminTest::SetUp();
        ASSERT_EQ(Login("Admin", ""), S_OK);
    }
    LONG Id(HRESULT (engine::CExeContext::*getter)(LONG*)) {
        LONG value = -1;
        EXPECT_EQ((session_.Get()->*getter)(&value), S_OK);
        return value;
    }
};

TEST_F(ActiveProductTest, PicksTheFirstRoleOfTheProductThatTheUserHolds) {
    ASSERT_EQ(session_->SetActiveProduct(101), S_OK) << ErrorDescription();
    EXPECT_EQ(Id(&engine::CExeContext::get_ActiveProductID), 10);
    EXPECT_EQ(Id(&engine::CExeContext::get_ActiveVersionID), 101);
    // Admin holds 21 before 20, but 20 is the product's first role row.
    EXPECT_EQ(Id(&engine::CExeContext::get_CurRoleID), 20);
    EXPECT_EQ(Id(&engine::CExeContext::get_CurRightID), 20);

    ComPtr<IProduct> product;
    ASSERT_EQ(session_->get_ActiveProduct(product.Put()), S_OK);
    Bstr name;
    product->get_Name(name.Put());
    EXPECT_EQ(name.Utf8(), "Kiln");
    LONG versions = 0;
    product->get_VersionCount(&versions);
    EXPECT_EQ(versions, 2);
    ComPtr<IVersion> version;
    ASSERT_EQ(session_->get_ActiveVersion(version.Put()), S_OK);
    version->get_Name(name.Put());
    EXPECT_EQ(name.Utf8(), "2.0");
}

TEST_F(ActiveProductTest, ReplacesTheCurrentRoleAndIsReplacedByIt) {
    ASSERT_EQ(session_->SetCurRole(21), S_OK);
    ASSERT_EQ(session_->SetActiveProduct(100), S_OK);
    EXPECT_EQ(Id(&engine::CExeContext::get_CurRoleID), 20);
    ASSERT_EQ(session_->SetCurRole(21), S_OK);
    EXPECT_EQ(Id(&engine::CExeContext::get_ActiveVersionID), 0);
    EXPECT_EQ(Id(&engine::CExeContext::get_ActiveProductID), 0);
}

TEST_F(ActiveProductTest, RefusesVersionZeroAndUnknownVersionsWithoutChangingTheSession) {
    ASSERT_EQ(session_->SetActiveProduct(100), S_OK);
    EXPECT_EQ(session_->SetActiveProduct(0), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Set Active Product Failed");
    EXPECT_EQ(ErrLog().find(kSource), std::string::npos);

    EXPECT_EQ(session_->SetActiveProduct(999), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Set Active Product Failed");
    EXPECT_TRUE(Logged(0, kSource, "Version's ProductID is 0"));
    EXPECT_EQ(Id(&engine::CExeContext::get_ActiveVersionID), 100);
    EXPECT_EQ(Id(&engine::CExeContext::get_CurRoleID), 20);
}

TEST_F(ActiveProductTest, AProductWithoutARoleOfTheUserClearsTheActiveVersion) {
    ASSERT_EQ(session_->SetActiveProduct(100), S_OK);
    EXPECT_EQ(session_->SetActiveProduct(110), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Set Active Product Failed");
    EXPECT_TRUE(Logged(2, kSource, "current user and product doesnot match"));
    EXPECT_EQ(Id(&engine::CExeContext::get_ActiveProductID), 0);
    EXPECT_EQ(Id(&engine::CExeContext::get_ActiveVersionID), 0);
}

TEST_F(ActiveProductTest, ARoleWithoutAStoredRightLeavesTheRightAtZero) {
    Execute("DELETE FROM tRight WHERE RoleID = 20");
    ASSERT_EQ(session_->SetActiveProduct(100), S_OK);
    EXPECT_EQ(Id(&engine::CExeContext::get_CurRoleID), 20);
    EXPECT_EQ(Id(&engine::CExeContext::get_CurRightID), 0);
}

TEST_F(ActiveProductTest, ActiveProductAndVersionFailWhenTheirRowIsGone) {
    ComPtr<IProduct> product;
    EXPECT_EQ(session_->get_ActiveProduct(product.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Get current user's product failded");
    EXPECT_TRUE(Logged(2, "CExeContext::get_ActiveProduct", "Current Product does not exist"));

    ASSERT_EQ(session_->SetActiveProduct(100), S_OK);
    Execute("DELETE FROM tVersion WHERE VersionID = 100");
    ComPtr<IVersion> version;
    EXPECT_EQ(session_->get_ActiveVersion(version.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Get current version failded");
    EXPECT_TRUE(Logged(2, "CExeContext::get_ActiveVersion", "Current version does not exist"));
    EXPECT_FALSE(version);
}

} // namespace
} // namespace velmora::test
