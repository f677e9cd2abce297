// Deleting a product: the cascade to versions, bugs, attachments and classifications, the roles
// left unbound, refusals and a failure half-way.
#include "tests/admin_products/ProductTestSupport.h"

namespace velmora::test {
namespace {

class ProductSetDeleteTest : public ProductTest {
  protected:
    void SetUp() override {
        ProductTest::SetUp();
        doomed_ = StoreProduct("Doomed", {"1.0", "2.0"});
        kept_ = StoreProduct("Kept", {"1.0"});
        InsertBug(1, VersionID(doomed_, "1.0"), 2);
        InsertBug(2, VersionID(doomed_, "2.0"), 1);
        InsertBug(3, VersionID(kept_, "1.0"), 1);
        Execute("INSERT INTO tClassification VALUES (1, 'UI', " + std::to_string(doomed_) +
                "), (2, 'Core', " + std::to_string(kept_) + ")");
        Execute("INSERT INTO tRole VALUES (2, 'Tester', '', " + std::to_string(doomed_) +
                "), (3, 'Other', '', " + std::to_string(kept_) + ")");
        set_ = AllProducts();
    }
    void ExpectDoomedGone() {
        const std::string id = std::to_string(doomed_);
        EXPECT_EQ(Count("tProduct"), 1);
        EXPECT_EQ(Count("tVersion", "ProductID = " + id), 0);
        EXPECT_EQ(QueryList("SELECT BugID FROM tBugReport ORDER BY BugID"), "3");
        EXPECT_EQ(QueryList("SELECT BugID FROM tAttachment ORDER BY BugID"), "3");
        EXPECT_EQ(QueryList("SELECT ClassificationID FROM tClassification ORDER BY 1"), "2");
        EXPECT_EQ(Query("SELECT ProductID FROM tRole WHERE RoleID = 2"), "0");
        EXPECT_EQ(Query("SELECT ProductID FROM tRole WHERE RoleID = 3"), std::to_string(kept_));
        LONG count = 0;
        set_->get_Count(&count);
        EXPECT_EQ(count, 1);
    }
    LONG doomed_ = 0, kept_ = 0;
    ComPtr<IProductSet> set_;
};

TEST_F(ProductSetDeleteTest, DeleteByIdCascades) {
    ASSERT_EQ(set_->DeleteByID(doomed_), S_OK) << ErrorDescription();
    ExpectDoomedGone();
}

TEST_F(ProductSetDeleteTest, DeleteByIndexCascades) {
    ASSERT_EQ(set_->DeleteByIndex(0), S_OK) << ErrorDescription();
    ExpectDoomedGone();
}

TEST_F(ProductSetDeleteTest, RefusalsAndUnknownTargetsTouchNothing) {
    const std::string before = Snapshot();
    EXPECT_EQ(set_->DeleteByID(99), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Product(ID=99) is not in this set");
    EXPECT_TRUE(Logged(0, "CCProductSet::DeleteByID", "Product(ID=99) is not in this set"));
    EXPECT_EQ(set_->DeleteByIndex(2), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Some error has occured, please see err.log!");
    EXPECT_TRUE(Logged(1, "CProductSet::DeleteByIndex", "Exceed Array's bound"));

    SetRight("DeleteProduct", false);
    EXPECT_EQ(set_->DeleteByID(doomed_), E_FAIL);
    EXPECT_EQ(ErrorDescription(), NoRight("delete product"));
    EXPECT_EQ(set_->DeleteByIndex(0), E_FAIL);
    EXPECT_EQ(ErrorDescription(), NoRight("delete product"));
    SetRight("DeleteProduct", true);
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(ProductSetDeleteTest, FailureHalfWayLeavesDatabaseAsItWas) {
    // Versions and bugs are deleted before the classifications, which cannot be.
    Execute("ALTER TABLE tClassification RENAME TO tClassificationGone");
    const std::string before = Snapshot();
    EXPECT_EQ(set_->DeleteByID(doomed_), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Delelte product failed");
    EXPECT_EQ(Snapshot(), before);
    LONG count = 0;
    set_->get_Count(&count);
    EXPECT_EQ(count, 2);
}

} // namespace
} // namespace velmora::test
