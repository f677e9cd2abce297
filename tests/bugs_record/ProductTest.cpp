// The product's in-memory version list: adding, indexing and removing, with their failures.
#include "BugRecordTestSupport.h"

#include "engine/admin/Product.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"

namespace velmora::test {
namespace {

using engine::CProduct;

class ProductVersions : public BugRecordTest {
  protected:
    void SetUp() override {
        BugRecordTest::SetUp();
        product_ = engine::CreateObject<CProduct>();
    }
    ComPtr<IVersion> Add(const std::string& name, DATE date = 0.0) {
        ComPtr<IVersion> version;
        EXPECT_EQ(product_->AddVersion(Bstr(name).Get(), Bstr("about " + name).Get(), date,
                                       version.Put()),
                  S_OK);
        return version;
    }
    std::string NameAt(LONG index) {
        ComPtr<IVersion> version;
        EXPECT_EQ(product_->get_Version(index, version.Put()), S_OK);
        Bstr name;
        if (version) version->get_Name(name.Put());
        return name.Utf8();
    }
    LONG Count() {
        LONG count = -1;
        EXPECT_EQ(product_->get_VersionCount(&count), S_OK);
        return count;
    }

    ComPtr<CProduct> product_;
};

TEST_F(ProductVersions, AddVersionAppendsANewUnstoredVersion) {
    auto first = Add("1.0", 45000.5);
    Add("1.1");
    ASSERT_EQ(Count(), 2);
    EXPECT_EQ(NameAt(0), "1.0");
    EXPECT_EQ(NameAt(1), "1.1");

    LONG id = -1;
    first->get_ID(&id);
    EXPECT_EQ(id, 0);
    Bstr description;
    first->get_Description(description.Put());
    EXPECT_EQ(description.Utf8(), "about 1.0");
    DATE date = 0.0;
    first->get_ReleaseDate(&date);
    EXPECT_EQ(date, 45000.5);

    // The list holds the very object handed out.
    ComPtr<IVersion> again;
    product_->get_Version(0, again.Put());
    EXPECT_EQ(again.Get(), first.Get());
}

TEST_F(ProductVersions, VersionOutsideTheListFails) {
    Add("1.0");
    for (const LONG index : {-1, 1}) {
        IVersion* version = reinterpret_cast<IVersion*>(0x1);
        EXPECT_EQ(product_->get_Version(index, &version), E_FAIL);
        EXPECT_EQ(version, nullptr);
        EXPECT_EQ(ErrorDescription(), engine::kSeeErrorLog);
    }
    EXPECT_TRUE(Logged(1, "IProduct::Version", "Exceed Array's bound")) << ErrLog();
}

TEST_F(ProductVersions, RemoveVersionTakesTheFirstExactName) {
    Add("1.0");
    Add("2.0");
    Add("1.0");
    EXPECT_EQ(product_->RemoveVersion(Bstr("1.0").Get()), S_OK);
    ASSERT_EQ(Count(), 2);
    EXPECT_EQ(NameAt(0), "2.0");
    EXPECT_EQ(NameAt(1), "1.0");
}

TEST_F(ProductVersions, RemoveVersionComparesCaseAndBlanks) {
    Add("Beta");
    for (const char* name : {"beta", "Beta ", ""}) {
        EXPECT_EQ(product_->RemoveVersion(Bstr(name).Get()), E_FAIL) << name;
        EXPECT_EQ(ErrorDescription(), "Remove Failed");
    }
    EXPECT_EQ(Count(), 1);
    EXPECT_TRUE(Logged(0, "IProduct::RemoveVersion", "Remove Failed"));
}

TEST_F(ProductVersions, RemoveVersionAtChecksTheIndex) {
    Add("1.0");
    Add("2.0");
    EXPECT_EQ(product_->RemoveVersionAt(2), E_FAIL);
    EXPECT_EQ(product_->RemoveVersionAt(-1), E_FAIL);
    EXPECT_EQ(ErrorDescription(), engine::kSeeErrorLog);
    EXPECT_TRUE(Logged(0, "IProduct::RemoveVersionAt", "Remove version failed"));
    EXPECT_EQ(Count(), 2);

    EXPECT_EQ(product_->RemoveVersionAt(0), S_OK);
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(NameAt(0), "2.0");
}

} // namespace
} // namespace velmora::test
