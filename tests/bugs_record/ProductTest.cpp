// The product's in-memory version list: adding, indexing and removing, with their failures.
#include "BugRecordTestSupport.h"

#include "engine/admin/Product.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"

namespace velmora::test {
namespace {

class ProductVersions : public BugRecordTest {
  protected:
    ComPtr<IVersion> Add(const std::string& name, DATE date = 0.0) {
        ComPtr<IVersion> version;
        EXPECT_EQ(product_->AddVersion(Bstr(name).Get(), Bstr("about " + name).Get(), date,
                                       version.Put()),
                  S_OK);
        return version;
    }
    // The names in list order.
    std::string Names() {
        LONG count = -1;
        EXPECT_EQ(product_->get_VersionCount(&count), S_OK);
        std::string names;
        for (LONG i = 0; i < count; ++i) {
            ComPtr<IVersion> version;
            Bstr name;
            EXPECT_EQ(product_->get_Version(i, version.Put()), S_OK);
            version->get_Name(name.Put());
            names += (i ? "," : "") + name.Utf8();
        }
        return names;
    }

    ComPtr<engine::CProduct> product_ = engine::CreateObject<engine::CProduct>();
};

TEST_F(ProductVersions, AddVersionAppendsANewUnstoredVersion) {
    auto first = Add("1.0", 45000.5);
    Add("1.1");
    EXPECT_EQ(Names(), "1.0,1.1");
    LONG id = -1;
    first->get_ID(&id);
    EXPECT_EQ(id, 0);

    // The list holds the very object handed out.
    ComPtr<IVersion> again;
    product_->get_Version(0, again.Put());
    EXPECT_EQ(again.Get(), first.Get());
    for (const LONG index : {-1, 2}) {
        IVersion* version = reinterpret_cast<IVersion*>(0x1);
        EXPECT_EQ(product_->get_Version(index, &version), E_FAIL);
        EXPECT_EQ(version, nullptr);
        EXPECT_EQ(ErrorDescription(), engine::kSeeErrorLog);
    }
    EXPECT_TRUE(Logged(1, "IProduct::Version", "Exceed Array's bound")) << ErrLog();
}

// By name the first exact match goes (case and blanks count); by index only one inside the list.
TEST_F(ProductVersions, RemoveVersionByNameOrIndex) {
    for (const char* name : {"1.0", "Beta", "1.0", "2.0"})
        Add(name);
    EXPECT_EQ(product_->RemoveVersion(Bstr("1.0").Get()), S_OK);
    EXPECT_EQ(Names(), "Beta,1.0,2.0");
    for (const char* name : {"beta", "Beta ", ""}) {
        EXPECT_EQ(product_->RemoveVersion(Bstr(name).Get()), E_FAIL) << name;
        EXPECT_EQ(ErrorDescription(), "Remove Failed");
    }
    EXPECT_TRUE(Logged(0, "IProduct::RemoveVersion", "Remove Failed"));

    EXPECT_EQ(product_->RemoveVersionAt(3), E_FAIL);
    EXPECT_EQ(product_->RemoveVersionAt(-1), E_FAIL);
    EXPECT_EQ(ErrorDescription(), engine::kSeeErrorLog);
    EXPECT_TRUE(Logged(0, "IProduct::RemoveVersionAt", "Remove version failed"));
    EXPECT_EQ(product_->RemoveVersionAt(1), S_OK);
    EXPECT_EQ(Names(), "Beta,2.0");
}

} // namespace
} // namespace velmora::test
