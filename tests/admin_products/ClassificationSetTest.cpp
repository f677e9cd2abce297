// A product's classification set: reading it, adding, renaming and removing classifications
// under the right, and the members that change the set alone.
#include "tests/admin_products/ProductTestSupport.h"

namespace velmora::test {
namespace {

class ClassificationSetTest : public ProductTest {
  protected:
    void SetUp() override {
        ProductTest::SetUp();
        productId_ = StoreProduct("Velmora", {"1.0"});
        Execute("INSERT INTO tClassification VALUES (1, 'UI', " + std::to_string(productId_) +
                "), (2, 'Core', " + std::to_string(productId_) + "), (3, 'Elsewhere', 99)");
        ComPtr<IProduct> product;
        ASSERT_EQ(AllProducts()->get_Item(0, product.Put()), S_OK);
        product_ = product;
        ASSERT_EQ(product_->get_ClassificationSet(set_.Put()), S_OK) << ErrorDescription();
        ASSERT_EQ(set_->put_ExeContext(session_.Get()), S_OK);
    }
    static ComPtr<CClassification> Named(const std::string& name) {
        auto classification = engine::CreateObject<CClassification>();
        classification->put_Name(Bstr(name).Get());
        return classification;
    }
    LONG CountOf() {
        LONG count = -1;
        set_->get_Count(&count);
        return count;
    }
    LONG productId_ = 0;
    ComPtr<IProduct> product_;
    ComPtr<IClassificationSet> set_;
};

TEST_F(ClassificationSetTest, ReadsTheProductsClassificationsOnce) {
    EXPECT_EQ(CountOf(), 2);
    LONG productId = 0;
    set_->get_ProductID(&productId);
    EXPECT_EQ(productId, productId_);
    ComPtr<IClassification> item;
    ASSERT_EQ(set_->get_Item(1, item.Put()), S_OK);
    Bstr name;
    item->get_Name(name.Put());
    EXPECT_EQ(name.Utf8(), "Core");
    item->get_ProductID(&productId);
    EXPECT_EQ(productId, productId_);

    Execute("DELETE FROM tClassification");
    ComPtr<IClassificationSet> again;
    ASSERT_EQ(product_->get_ClassificationSet(again.Put()), S_OK);
    EXPECT_EQ(again.Get(), set_.Get());
}

TEST_F(ClassificationSetTest, UnstoredProductHasNoSetUntilStored) {
    auto product = NewProduct("New", {});
    ComPtr<IClassificationSet> set;
    EXPECT_EQ(product->get_ClassificationSet(set.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "ProductID is 0, cannot perform this action");
    ASSERT_EQ(AllProducts()->Add(product.Get()), S_OK);
    ASSERT_EQ(product->get_ClassificationSet(set.Put()), S_OK);
    LONG productId = 0;
    set->get_ProductID(&productId);
    EXPECT_EQ(productId, product->Data().id);
}

TEST_F(ClassificationSetTest, AddStoresNewRowWithQuotes) {
    auto added = Named("Bob's \"UI\"");
    // The rows put in behind the engine's back took identifiers 1 and 2 without the counter:
    // the key collision fails the add and leaves the object as it was.
    EXPECT_EQ(set_->Add(added.Get()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Add Classification Failed");
    EXPECT_EQ(added->Data().id, 0);
    EXPECT_EQ(CountOf(), 2);

    Execute("UPDATE tNextID SET NextClassID = 10");
    ASSERT_EQ(set_->Add(added.Get()), S_OK) << ErrorDescription();
    EXPECT_EQ(added->Data().id, 10);
    EXPECT_EQ(added->Data().productId, productId_);
    EXPECT_EQ(Query("SELECT ClassName || '/' || ProductID FROM tClassification WHERE "
                    "ClassificationID = 10"),
              "Bob's \"UI\"/" + std::to_string(productId_));
    EXPECT_EQ(CountOf(), 3);
}

TEST_F(ClassificationSetTest, AddFailsForUnknownOrMissingProductBeforeAllocating) {
    auto empty = engine::CreateObject<CClassificationSet>();
    ASSERT_EQ(empty->put_ExeContext(session_.Get()), S_OK);
    EXPECT_EQ(empty->Add(Named("x").Get()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "ProductID=0, cannot Add");
    empty->SetProductID(42);
    EXPECT_EQ(empty->Add(Named("x").Get()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Product(ID=42) is not in database");
    EXPECT_EQ(Query("SELECT NextClassID FROM tNextID"), "1");
}

// Another client deletes the product (and its classifications) between the check that it is
// there and the new row: the row must not be stored for a product that is gone.
TEST_F(ClassificationSetTest, AProductDeletedWhileAddingGetsNoClassification) {
    Execute("UPDATE tNextID SET NextClassID = 10");
    CreateTrigger("delete_product_meanwhile", "AFTER", "UPDATE OF NextClassID", "tNextID", "",
                  "DELETE FROM tClassification WHERE ProductID = " + std::to_string(productId_) +
                      "; DELETE FROM tProduct WHERE ProductID = " + std::to_string(productId_));
    auto added = Named("Late");
    EXPECT_EQ(set_->Add(added.Get()), E_FAIL);
    const std::string missing = "Product(ID=" + std::to_string(productId_) + ") is not in database";
    EXPECT_EQ(ErrorDescription(), missing);
    EXPECT_TRUE(Logged(0, "CClassificationSet::Add", missing));
    EXPECT_EQ(added->Data().id, 0);
    EXPECT_EQ(Count("tClassification"), 1); // only the one of product 99 is left
    EXPECT_EQ(CountOf(), 2);
}

TEST_F(ClassificationSetTest, UpdateWritesTheCurrentName) {
    EXPECT_EQ(set_->Update(), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Update Classification failed!");
    EXPECT_TRUE(
        Logged(0, "CClassificationSet::Update", "Current classification is NULL, can't update"));
    ComPtr<IClassification> item;
    ASSERT_EQ(set_->get_Item(0, item.Put()), S_OK);
    item->put_Name(Bstr("It's UI").Get());
    ASSERT_EQ(set_->Update(), S_OK) << ErrorDescription();
    EXPECT_EQ(Query("SELECT ClassName FROM tClassification WHERE ClassificationID = 1"), "It's UI");
    // A row deleted meanwhile: nothing to write, still a success.
    Execute("DELETE FROM tClassification WHERE ClassificationID = 1");
    EXPECT_EQ(set_->Update(), S_OK);
    EXPECT_EQ(Count("tClassification", "ClassificationID = 1"), 0);
}

TEST_F(ClassificationSetTest, RemoveMatchesNamesExactly) {
    EXPECT_EQ(set_->Remove(Bstr("ui").Get()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Remove Classification failed");
    EXPECT_TRUE(Logged(0, "CClassificationSet::Remove", "Remove Classification(Name=ui) failed"));
    ASSERT_EQ(set_->Remove(Bstr("UI").Get()), S_OK);
    EXPECT_EQ(Count("tClassification", "ClassificationID = 1"), 0);
    EXPECT_EQ(CountOf(), 1);

    EXPECT_EQ(set_->RemoveByID(1), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Remove Classification failed!");
    ASSERT_EQ(set_->RemoveByID(2), S_OK);
    EXPECT_EQ(Count("tClassification"), 1);
}

TEST_F(ClassificationSetTest, ClassificationInUseIsKept) {
    InsertBug(1, VersionID(productId_, "1.0"), 0, 2);
    EXPECT_EQ(set_->RemoveByID(2), E_FAIL);
    EXPECT_TRUE(Logged(2, "CClassificationSet::RealRemoveClass",
                       "There are some bugs or features in classification(Core), can't delete "
                       "it!"));
    EXPECT_EQ(set_->RemoveByIndex(1), E_FAIL);
    EXPECT_EQ(Count("tClassification", "ClassificationID = 2"), 1);
    EXPECT_EQ(CountOf(), 2);
}

TEST_F(ClassificationSetTest, RightGuardsAllButRemoveByIndexAndNeedsASession) {
    SetRight("Add_Edit_Del_BugClass", false);
    EXPECT_EQ(set_->Add(Named("x").Get()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), NoRight("add classification"));
    EXPECT_EQ(set_->Remove(Bstr("UI").Get()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), NoRight("remove classification"));
    EXPECT_EQ(set_->RemoveByID(1), E_FAIL);
    EXPECT_EQ(ErrorDescription(), NoRight("remove classification"));
    ComPtr<IClassification> item;
    ASSERT_EQ(set_->get_Item(0, item.Put()), S_OK);
    EXPECT_EQ(set_->Update(), E_FAIL);
    EXPECT_EQ(ErrorDescription(), NoRight("update classification"));
    EXPECT_EQ(Count("tClassification"), 3);

    EXPECT_EQ(set_->RemoveByIndex(0), S_OK);
    EXPECT_EQ(Count("tClassification", "ClassificationID = 1"), 0);
    EXPECT_EQ(set_->RemoveByIndex(5), E_FAIL);
    EXPECT_TRUE(Logged(1, "IClassificationSet::RemoveByIndex", "Excceed boundary"));

    // A set without a session cannot read the right at all.
    auto orphan = engine::CreateObject<CClassificationSet>();
    EXPECT_EQ(orphan->put_ExeContext(nullptr), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Set ExeContext failed!");
    EXPECT_EQ(orphan->Add(Named("x").Get()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), NoRight("add classification"));
    EXPECT_TRUE(Logged(0, "CClassificationSet::GetRight", "ExeContext is NULL"));
}

TEST_F(ClassificationSetTest, InMemoryMembersLeaveTheDatabaseAlone) {
    auto extra = Named("extra");
    extra->put_ID(50);
    EXPECT_EQ(set_->Append(extra.Get()), S_OK);
    EXPECT_EQ(set_->Append(extra.Get()), S_OK);
    EXPECT_EQ(CountOf(), 4);
    EXPECT_EQ(set_->DeleteByID(50), S_OK);
    EXPECT_EQ(set_->DeleteByIndex(0), S_OK);
    EXPECT_EQ(CountOf(), 2);
    EXPECT_EQ(set_->DeleteByID(77), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Classification(ID=77) is not in this set");
    EXPECT_EQ(set_->DeleteByIndex(9), E_FAIL);
    EXPECT_TRUE(Logged(1, "IClassificationSet::RemoveByIndex", "Exceed Array's bound"));
    ComPtr<IClassification> item;
    EXPECT_EQ(set_->get_Item(9, item.Put()), E_FAIL);
    EXPECT_TRUE(Logged(1, "IClassificationSet::Item", "Exceed Array's bound"));
    EXPECT_EQ(Count("tClassification"), 3);
}

} // namespace
} // namespace velmora::test
