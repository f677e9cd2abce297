// Updating a stored product: renaming, dropping and adding versions, the cascade to the bugs of
// a dropped version, refusals and a failure half-way.
#include "tests/admin_products/ProductTestSupport.h"

namespace velmora::test {
namespace {

class ProductSetUpdateTest : public ProductTest {
  protected:
    void SetUp() override {
        ProductTest::SetUp();
        productId_ = StoreProduct("Velmora", {"1.0", "1.1", "2.0"});
        v10_ = VersionID(productId_, "1.0");
        v11_ = VersionID(productId_, "1.1");
        v20_ = VersionID(productId_, "2.0");
        InsertBug(1, v10_, 1);
        InsertBug(2, v11_, 2);
        InsertBug(3, v11_, 0);
        InsertBug(4, v20_, 1);
    }
    // The session's set with the stored product selected.
    ComPtr<IProductSet> Selected(ComPtr<IProduct>* product) {
        auto set = AllProducts();
        EXPECT_EQ(set->get_Item(0, product->Put()), S_OK);
        return set;
    }
    LONG productId_ = 0, v10_ = 0, v11_ = 0, v20_ = 0;
};

TEST_F(ProductSetUpdateTest, RenameChangeAndDropVersionsDeletingTheDroppedOnesBugs) {
    ComPtr<IProduct> product;
    auto set = Selected(&product);
    product->put_Name(Bstr("Velmora Pro").Get());
    ASSERT_EQ(product->RemoveVersion(Bstr("1.1").Get()), S_OK);
    ComPtr<IVersion> added, changed;
    ASSERT_EQ(product->AddVersion(Bstr("3.0").Get(), Bstr("next").Get(), 46000, added.Put()), S_OK);
    ASSERT_EQ(product->get_Version(1, changed.Put()), S_OK); // 2.0
    changed->put_Name(Bstr("2.0 'final'").Get());

    ASSERT_EQ(set->Update(), S_OK) << ErrorDescription();

    EXPECT_EQ(Query("SELECT ProductName FROM tProduct"), "Velmora Pro");
    EXPECT_EQ(Count("tVersion", "VersionID = " + std::to_string(v11_)), 0);
    EXPECT_EQ(Count("tBugReport", "ReportedInVersionID = " + std::to_string(v11_)), 0);
    EXPECT_EQ(Count("tAttachment", "BugID IN (2, 3)"), 0);
    // Other versions keep their rows, bugs and attachments.
    EXPECT_EQ(VersionID(productId_, "1.0"), v10_);
    EXPECT_EQ(VersionID(productId_, "2.0 ''final''"), v20_); // rewritten in place
    EXPECT_EQ(Count("tBugReport"), 2);
    EXPECT_EQ(Count("tAttachment"), 2);
    // The new version received the next identifier.
    LONG newId = 0;
    added->get_ID(&newId);
    EXPECT_EQ(newId, 4);
    EXPECT_EQ(VersionID(productId_, "3.0"), 4);
}

TEST_F(ProductSetUpdateTest, RefusalsNameTheirAction) {
    EXPECT_EQ(AllProducts()->Update(), E_FAIL); // no current product
    EXPECT_EQ(ErrorDescription(), "Update product failed!\n");
    EXPECT_TRUE(Logged(0, "IProductSet::RealUpdateProduct", "product interface is not valid"));

    ComPtr<IProduct> product;
    auto set = Selected(&product);
    product->RemoveVersionAt(0);
    SetRight("EditProduct", false);
    EXPECT_EQ(set->Update(), E_FAIL);
    EXPECT_EQ(ErrorDescription(), NoRight("update product"));

    // Without a session the right cannot be read at all.
    auto own = engine::CreateObject<CProductSet>();
    own->Append(product.Get());
    ComPtr<IProduct> item;
    ASSERT_EQ(own->get_Item(0, item.Put()), S_OK);
    EXPECT_EQ(own->Update(), E_FAIL);
    EXPECT_EQ(ErrorDescription(), NoRight("edit product"));

    EXPECT_EQ(Count("tVersion"), 3);
    EXPECT_EQ(Count("tBugReport"), 4);
}

TEST_F(ProductSetUpdateTest, FailureHalfWayLeavesDatabaseAndObjectsAsTheyWere) {
    ComPtr<IProduct> product;
    auto set = Selected(&product);
    product->put_Name(Bstr("Renamed").Get());
    ASSERT_EQ(product->RemoveVersion(Bstr("1.1").Get()), S_OK);
    ComPtr<IVersion> added;
    ASSERT_EQ(product->AddVersion(Bstr("3.0").Get(), Bstr("").Get(), 0, added.Put()), S_OK);
    // The attachments of the dropped version's bugs cannot be deleted.
    Execute("ALTER TABLE tAttachment RENAME TO tAttachmentGone");
    const std::string before = Snapshot();

    EXPECT_EQ(set->Update(), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Update product failed!\n");
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(Query("SELECT ProductName FROM tProduct"), "Velmora");
    LONG id = -1;
    added->get_ID(&id);
    EXPECT_EQ(id, 0);
}

TEST_F(ProductSetUpdateTest, ProductDeletedMeanwhileFails) {
    ComPtr<IProduct> product;
    auto set = Selected(&product);
    Execute("DELETE FROM tProduct");
    EXPECT_EQ(set->Update(), E_FAIL);
    EXPECT_TRUE(
        Logged(0, "IProductSet::RealUpdateProduct",
               "Product(ID=" + std::to_string(productId_) + ") does not exist, Update failed"));
    EXPECT_EQ(Count("tVersion"), 3);
}

} // namespace
} // namespace velmora::test
