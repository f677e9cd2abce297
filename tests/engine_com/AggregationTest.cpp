// Engine objects living inside an outer object: the outer unknown controls their identity and
// lifetime, the inner unknown is the outer object's private handle.
#include <gtest/gtest.h>

#include <velmora/Velmora.h>

#include "engine/com/ClassTable.h"
#include "engine/com/ModuleState.h"

namespace velmora::engine {
namespace {

// An outer object that holds the inner unknown and hands out the inner interfaces as its own.
class Outer : public IUnknown {
  public:
    IUnknown* inner = nullptr;
    ULONG references = 1;
    int queries = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        ++queries;
        if (riid == IID_IUnknown) {
            *ppv = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(riid, ppv) : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
};

class Aggregation : public ::testing::TestWithParam<ClassEntry> {};

TEST_P(Aggregation, OnlyTheUnknownInterfaceMayBeRequested) {
    Outer outer;
    const LONG before = LiveObjectCount();
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(GetParam().create(&outer, GetParam().info->iid, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(GetParam().create(&outer, IID_IDispatch, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(LiveObjectCount(), before); // nothing was created
    EXPECT_EQ(outer.references, 1u);
}

TEST_P(Aggregation, InterfacesDelegateToTheOuterObject) {
    Outer outer;
    ASSERT_EQ(GetParam().create(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)),
              S_OK);
    ASSERT_NE(outer.inner, nullptr);
    EXPECT_EQ(outer.references, 1u); // the inner unknown does not count on the outer object

    // The inner unknown answers for the object itself.
    IDispatch* own = nullptr;
    ASSERT_EQ(outer.inner->QueryInterface(GetParam().info->iid, reinterpret_cast<void**>(&own)),
              S_OK);
    EXPECT_EQ(outer.references, 2u); // the reference taken went to the outer object

    // Through the interface, identity and counting belong to the outer object.
    IUnknown* identity = nullptr;
    const int queriesBefore = outer.queries;
    ASSERT_EQ(own->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, &outer);
    EXPECT_EQ(outer.queries, queriesBefore + 1);
    identity->Release();
    own->AddRef();
    EXPECT_EQ(outer.references, 3u);
    own->Release();
    own->Release();
    EXPECT_EQ(outer.references, 1u);

    // Releasing the inner unknown destroys the object.
    const LONG alive = LiveObjectCount();
    EXPECT_EQ(outer.inner->Release(), 0u);
    EXPECT_EQ(LiveObjectCount(), alive - 1);
}

std::vector<ClassEntry> AllClasses() {
    return {ClassTable().begin(), ClassTable().end()};
}

INSTANTIATE_TEST_SUITE_P(EveryClass, Aggregation, ::testing::ValuesIn(AllClasses()),
                         [](const ::testing::TestParamInfo<ClassEntry>& info) {
                             return std::string(info.param.info->name);
                         });

} // namespace
} // namespace velmora::engine
