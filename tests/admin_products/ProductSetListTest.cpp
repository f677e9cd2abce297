// The session's product lists and the in-memory members of the product set.
#include "tests/admin_products/ProductTestSupport.h"

namespace velmora::test {
namespace {

using ProductSetListTest = ProductTest;

LONG CountOf(IProductSet* set) {
    LONG count = -1;
    EXPECT_EQ(set->get_Count(&count), S_OK);
    return count;
}

LONG IdAt(IProductSet* set, LONG index) {
    ComPtr<IProduct> product;
    if (FAILED(set->get_Item(index, product.Put()))) return -1;
    LONG id = 0;
    product->get_ID(&id);
    return id;
}

TEST_F(ProductSetListTest, SessionSetsHoldProductsWithVersionsAndTheSession) {
    const LONG a = StoreProduct("A", {"1.0", "2.0"});
    const LONG b = StoreProduct("B", {});
    const LONG c = StoreProduct("C", {"x"});
    // The user holds two roles of A and one of C; a role bound to no product adds nothing.
    Execute("INSERT INTO tRole VALUES (2, 'r2', '', " + std::to_string(a) + "), (3, 'r3', '', " +
            std::to_string(c) + "), (4, 'r4', '', " + std::to_string(a) + ")");
    Execute("INSERT INTO tUserRole VALUES (1, 2), (1, 3), (1, 4)");

    auto all = AllProducts();
    ASSERT_EQ(CountOf(all.Get()), 3);
    EXPECT_EQ(IdAt(all.Get(), 1), b);
    ComPtr<IProduct> first;
    ASSERT_EQ(all->get_Item(0, first.Put()), S_OK);
    LONG versions = 0;
    first->get_VersionCount(&versions);
    EXPECT_EQ(versions, 2);
    ComPtr<IExeContext> context;
    ASSERT_EQ(all->get_ExeContext(context.Put()), S_OK);
    EXPECT_EQ(context.Get(), static_cast<IExeContext*>(session_.Get()));

    ComPtr<IProductSet> mine;
    ASSERT_EQ(session_->get_CurUserProductSet(mine.Put()), S_OK) << ErrorDescription();
    ASSERT_EQ(CountOf(mine.Get()), 3);
    EXPECT_EQ(IdAt(mine.Get(), 0), a);
    EXPECT_EQ(IdAt(mine.Get(), 1), c);
    EXPECT_EQ(IdAt(mine.Get(), 2), a);
}

TEST_F(ProductSetListTest, DatabaseErrorIsReported) {
    Execute("DROP TABLE tProduct");
    ComPtr<IProductSet> set;
    EXPECT_EQ(session_->get_ProductSet(set.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Get current user's product failded");
    EXPECT_FALSE(set);
    EXPECT_EQ(session_->get_CurUserProductSet(set.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Get current user's product failded");
}

// The product's roles are read afresh on every call, in the order the store gives them, into a
// set of their own; a product that is not stored yet has none to read.
TEST_F(ProductSetListTest, RoleSetHoldsTheProductsRolesReadAfreshOnEveryCall) {
    const LONG a = StoreProduct("A", {"1.0"});
    const LONG b = StoreProduct("B", {});
    Execute("INSERT INTO tRole VALUES (7, 'Tester', '', " + std::to_string(a) +
            "), (3, 'Developer', '', " + std::to_string(a) + "), (5, 'Other', '', " +
            std::to_string(b) + ")");
    ComPtr<IProduct> product;
    ASSERT_EQ(AllProducts()->get_Item(0, product.Put()), S_OK);

    ComPtr<IRoleSet> first;
    ASSERT_EQ(product->get_RoleSet(first.Put()), S_OK) << ErrorDescription();
    LONG count = -1, id3 = 0, id7 = 0;
    ASSERT_EQ(first->get_Count(&count), S_OK);
    ASSERT_EQ(count, 2);
    ComPtr<IRole> role;
    ASSERT_EQ(first->get_Item(0, role.Put()), S_OK);
    role->get_ID(&id3);
    ASSERT_EQ(first->get_Item(1, role.Put()), S_OK);
    role->get_ID(&id7);
    EXPECT_EQ(std::make_pair(id3, id7), std::make_pair(LONG{3}, LONG{7}));

    // A role bound meanwhile shows in the next set, which is a new object.
    Execute("UPDATE tRole SET ProductID = " + std::to_string(a) + " WHERE RoleID = 5");
    ComPtr<IRoleSet> second;
    ASSERT_EQ(product->get_RoleSet(second.Put()), S_OK);
    EXPECT_NE(second.Get(), first.Get());
    ASSERT_EQ(second->get_Count(&count), S_OK);
    EXPECT_EQ(count, 3);

    auto unstored = NewProduct("C", {});
    ComPtr<IRoleSet> none;
    EXPECT_EQ(unstored->get_RoleSet(none.Put()), E_FAIL);
    EXPECT_FALSE(none);
    EXPECT_EQ(ErrorDescription(), "ProductID is 0, cannot perform this action");
    EXPECT_TRUE(Logged(0, "IProduct::RoleSet", "ProductID is 0, cannot perform this action"));

    Execute("DROP TABLE tRole");
    EXPECT_EQ(product->get_RoleSet(none.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Get RoleSet failed");
}

TEST_F(ProductSetListTest, AppendRemoveAndItemStayInMemory) {
    auto set = engine::CreateObject<CProductSet>();
    auto one = NewProduct("one", {});
    one->SetID(7);
    auto twin = NewProduct("twin", {});
    twin->SetID(7);
    EXPECT_EQ(set->Append(one.Get()), S_OK);
    EXPECT_EQ(set->Append(twin.Get()), S_OK); // same ID: left out
    EXPECT_EQ(set->Append(nullptr), S_OK);
    EXPECT_EQ(CountOf(set.Get()), 1);
    EXPECT_EQ(set->Refresh(), S_OK);

    ComPtr<IProduct> item;
    EXPECT_EQ(set->get_Item(1, item.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Some error has occured, please see err.log!");
    EXPECT_TRUE(Logged(1, "IProductSet::Item", "Exceed Array's bound"));
    EXPECT_EQ(set->Remove(-1), E_FAIL);
    EXPECT_TRUE(Logged(1, "IProductSet::Remove", "Exceed Array's bound"));
    EXPECT_EQ(set->Remove(0), S_OK);
    EXPECT_EQ(CountOf(set.Get()), 0);
    EXPECT_EQ(Count("tProduct"), 0);
}

} // namespace
} // namespace velmora::test
