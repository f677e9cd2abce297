// The connection point of ExeContext and Admin: sinks are attached, listed and detached.
#include <gtest/gtest.h>

#include <velmora/Velmora.h>

#include "engine/com/ClassTable.h"
#include "engine/com/ModuleState.h"

namespace velmora::engine {
namespace {

// A sink that counts its references.
struct CountingSink : IUnknown {
    ULONG references = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (riid != IID_IUnknown) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        *ppv = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
};

class ConnectionPoints : public ::testing::TestWithParam<const IID*> {
  protected:
    void SetUp() override {
        const CLSID& clsid = *GetParam() == DIID__IAdminEvents ? CLSID_Admin : CLSID_ExeContext;
        ASSERT_EQ(FindClass(clsid)->create(nullptr, IID_IConnectionPointContainer,
                                           reinterpret_cast<void**>(&container_)),
                  S_OK);
        ASSERT_EQ(container_->FindConnectionPoint(*GetParam(), &point_), S_OK);
    }
    void TearDown() override {
        if (point_) point_->Release();
        if (container_) container_->Release();
    }

    IConnectionPointContainer* container_ = nullptr;
    IConnectionPoint* point_ = nullptr;
};

TEST_P(ConnectionPoints, OfferAndEnumerateOnePointForTheEventInterface) {
    IID iid = IID_NULL;
    EXPECT_EQ(point_->GetConnectionInterface(&iid), S_OK);
    EXPECT_EQ(iid, *GetParam());
    IConnectionPointContainer* back = nullptr;
    EXPECT_EQ(point_->GetConnectionPointContainer(&back), S_OK);
    EXPECT_EQ(back, container_);
    back->Release();
    IConnectionPoint* listed[2] = {reinterpret_cast<IConnectionPoint*>(1), nullptr};
    EXPECT_EQ(container_->FindConnectionPoint(IID_IDispatch, &listed[0]), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(listed[0], nullptr);

    IEnumConnectionPoints* points = nullptr;
    ASSERT_EQ(container_->EnumConnectionPoints(&points), S_OK);
    ULONG fetched = 0;
    EXPECT_EQ(points->Next(2, listed, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(listed[0], point_);
    listed[0]->Release();
    EXPECT_EQ(points->Reset(), S_OK);
    EXPECT_EQ(points->Skip(1), S_OK);
    EXPECT_EQ(points->Skip(1), S_FALSE);
    IEnumConnectionPoints* clone = nullptr;
    ASSERT_EQ(points->Clone(&clone), S_OK);
    EXPECT_EQ(clone->Next(1, listed, &fetched), S_FALSE); // the clone keeps the position
    clone->Release();
    points->Release();
}

// Each advise holds the sink and lists it with its cookie until its unadvise.
TEST_P(ConnectionPoints, AdviseHoldsAndListsTheSinkUntilUnadvise) {
    CountingSink sinkA, sinkB;
    DWORD cookieA = 77, cookieB = 0;
    EXPECT_EQ(point_->Advise(nullptr, &cookieA), E_POINTER);
    EXPECT_EQ(cookieA, 0u);
    EXPECT_EQ(point_->Advise(&sinkA, nullptr), E_POINTER);
    ASSERT_EQ(point_->Advise(&sinkA, &cookieA), S_OK);
    ASSERT_EQ(point_->Advise(&sinkB, &cookieB), S_OK);
    EXPECT_NE(cookieA, 0u);
    EXPECT_NE(cookieA, cookieB);
    EXPECT_EQ(sinkA.references, 2u);

    IEnumConnections* connections = nullptr;
    ASSERT_EQ(point_->EnumConnections(&connections), S_OK);
    CONNECTDATA data[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(connections->Next(3, data, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    EXPECT_EQ(data[0].pUnk, &sinkA);
    EXPECT_EQ(data[0].dwCookie, cookieA);
    EXPECT_EQ(data[1].pUnk, &sinkB);
    EXPECT_EQ(data[1].dwCookie, cookieB);
    // Each listed sink carries a reference for the caller, and the snapshot holds one.
    EXPECT_EQ(sinkA.references, 4u);
    data[0].pUnk->Release();
    data[1].pUnk->Release();
    EXPECT_EQ(connections->Next(2, data, nullptr), E_POINTER);
    connections->Release();
    EXPECT_EQ(sinkA.references, 2u);

    EXPECT_EQ(point_->Unadvise(cookieA), S_OK);
    EXPECT_EQ(sinkA.references, 1u);
    EXPECT_EQ(point_->Unadvise(cookieA), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point_->Unadvise(12345), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point_->Unadvise(cookieB), S_OK);
    EXPECT_EQ(sinkB.references, 1u);
}

// The point keeps its object alive; the object releases its sinks when it goes.
TEST_P(ConnectionPoints, KeepTheirObjectAliveAndReleaseTheirSinksWithIt) {
    CountingSink sink;
    DWORD cookie = 0;
    ASSERT_EQ(point_->Advise(&sink, &cookie), S_OK);
    const LONG before = LiveObjectCount();
    container_->Release();
    container_ = nullptr;
    EXPECT_EQ(LiveObjectCount(), before);
    EXPECT_EQ(sink.references, 2u);
    point_->Release();
    point_ = nullptr;
    EXPECT_EQ(LiveObjectCount(), before - 1);
    EXPECT_EQ(sink.references, 1u);
}

INSTANTIATE_TEST_SUITE_P(EventSources, ConnectionPoints,
                         ::testing::Values(&DIID__IExeContextEvents, &DIID__IAdminEvents),
                         [](const ::testing::TestParamInfo<const IID*>& info) {
                             return *info.param == DIID__IAdminEvents ? "Admin" : "ExeContext";
                         });

} // namespace
} // namespace velmora::engine
