// Adding a product with its versions: identifiers, rows, refusals and a failure half-way.
#include "tests/admin_products/ProductTestSupport.h"

namespace velmora::test {
namespace {

using ProductSetAddTest = ProductTest;

TEST_F(ProductSetAddTest, StoresProductAndVersionsWithNewIdentifiers) {
    auto set = AllProducts();
    auto product = NewProduct("Velmora", {"1.0", "1.1", "2.0"});
    ASSERT_EQ(set->Add(product.Get()), S_OK) << ErrorDescription();

    EXPECT_EQ(product->Data().id, 1);
    ASSERT_EQ(product->Versions().size(), 3u);
    for (LONG i = 0; i < 3; ++i)
        EXPECT_EQ(product->Versions()[i]->Data().id, i + 1);
    EXPECT_EQ(Query("SELECT NextProductID FROM tNextID"), "2");
    EXPECT_EQ(Query("SELECT NextVersionID FROM tNextID"), "4");

    EXPECT_EQ(Query("SELECT ProductName || '/' || ProductDesp FROM tProduct WHERE ProductID = 1"),
              "Velmora/about Velmora");
    EXPECT_EQ(QueryList("SELECT VersionName FROM tVersion WHERE ProductID = 1 ORDER BY VersionID"),
              "1.0,1.1,2.0");
    // An empty description is stored as NULL; the release date as days.
    EXPECT_EQ(Query("SELECT VersionDesrp FROM tVersion WHERE VersionID = 1"), "NULL");
    EXPECT_DOUBLE_EQ(std::stod(Query("SELECT ReleaseDate FROM tVersion WHERE VersionID = 2")),
                     45001.0);

    LONG count = 0;
    EXPECT_EQ(set->get_Count(&count), S_OK);
    EXPECT_EQ(count, 1); // the session's set had no product before
}

TEST_F(ProductSetAddTest, RefusedWithoutTheRightASessionOrAProduct) {
    SetRight("AddProduct", false);
    auto product = NewProduct("Velmora", {"1.0"});
    EXPECT_EQ(AllProducts()->Add(product.Get()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), NoRight("add product"));

    // A set the client creates itself has no session and passes no check.
    SetRight("AddProduct", true);
    auto own = engine::CreateObject<CProductSet>();
    ComPtr<IExeContext> context;
    EXPECT_EQ(own->get_ExeContext(context.Put()), S_OK);
    EXPECT_FALSE(context);
    EXPECT_EQ(own->Add(product.Get()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), NoRight("add product"));
    EXPECT_TRUE(Logged(0, "CProductSet::GetRight", "ExeContext is NULL"));

    EXPECT_EQ(Count("tProduct"), 0);
    EXPECT_EQ(product->Data().id, 0);

    EXPECT_EQ(AllProducts()->Add(nullptr), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Add product failed!");
}

TEST_F(ProductSetAddTest, FailureHalfWayLeavesDatabaseAndObjectsAsTheyWere) {
    auto product = NewProduct("Velmora", {"1.0", "2.0"});
    // The version rows cannot be written: the product row written before them must go too.
    Execute("ALTER TABLE tVersion RENAME TO tVersionGone");
    const std::string before = Snapshot();

    EXPECT_EQ(AllProducts()->Add(product.Get()), E_FAIL);
    EXPECT_NE(ErrorDescription(), "<none>");
    EXPECT_TRUE(Logged(0, "IProductSet::Add", "Add product failed!"));
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(Count("tProduct"), 0);
    EXPECT_EQ(Query("SELECT NextProductID FROM tNextID"), "1");
    EXPECT_EQ(product->Data().id, 0);
    EXPECT_EQ(product->Versions()[0]->Data().id, 0);
}

} // namespace
} // namespace velmora::test
