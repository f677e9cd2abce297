// Which interfaces each class answers, and the identity rules of QueryInterface.
#include <gtest/gtest.h>

#include <string>

#include <velmora/Velmora.h>

#include "engine/com/ClassTable.h"

namespace velmora::engine {
namespace {

IUnknown* Create(const ClassEntry& entry) {
    IUnknown* object = nullptr;
    EXPECT_EQ(entry.create(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)), S_OK);
    return object;
}

template <class I> I* Query(IUnknown* object, REFIID iid, HRESULT expected = S_OK) {
    I* result = reinterpret_cast<I*>(1);
    EXPECT_EQ(object->QueryInterface(iid, reinterpret_cast<void**>(&result)), expected);
    if (FAILED(expected)) {
        EXPECT_EQ(result, nullptr);
    }
    return result;
}

// Every class answers IUnknown, its interface and IDispatch with one identity, error information
// and connection points exactly where the class table says, and nothing foreign.
TEST(QueryInterface, EveryClassAnswersItsInterfacesAndRefusesForeignOnes) {
    for (const ClassEntry& entry : ClassTable()) {
        SCOPED_TRACE(std::string(entry.info->name));
        IUnknown* object = Create(entry);
        ASSERT_NE(object, nullptr);
        IUnknown* own = Query<IUnknown>(object, entry.info->iid);
        IDispatch* dispatch = Query<IDispatch>(object, IID_IDispatch);
        EXPECT_EQ(static_cast<void*>(dispatch), static_cast<void*>(own));
        IUnknown* identity = Query<IUnknown>(own, IID_IUnknown);
        EXPECT_EQ(identity, object);
        UINT typeInfoCount = 99;
        EXPECT_EQ(dispatch->GetTypeInfoCount(&typeInfoCount), S_OK);
        EXPECT_EQ(typeInfoCount, 1u);
        EXPECT_EQ(FindClass(entry.info->clsid), &entry);
        EXPECT_EQ(FindClass(entry.info->iid), nullptr); // an interface identifier is not a class
        identity->Release();
        dispatch->Release();
        own->Release();

        if (!entry.info->supportsErrorInfo) {
            Query<ISupportErrorInfo>(object, IID_ISupportErrorInfo, E_NOINTERFACE);
        } else {
            ISupportErrorInfo* support = Query<ISupportErrorInfo>(object, IID_ISupportErrorInfo);
            EXPECT_EQ(support->InterfaceSupportsErrorInfo(entry.info->iid), S_OK);
            EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
            support->Release();
        }
        if (entry.info->eventIid)
            Query<IConnectionPointContainer>(object, IID_IConnectionPointContainer)->Release();
        else
            Query<IConnectionPointContainer>(object, IID_IConnectionPointContainer, E_NOINTERFACE);

        Query<IUnknown>(object, IID_IClassFactory, E_NOINTERFACE);
        Query<IUnknown>(object, entry.info->iid == IID_IBug ? IID_IUser : IID_IBug, E_NOINTERFACE);
        EXPECT_EQ(object->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
        EXPECT_EQ(object->Release(), 0u);
    }
}

TEST(QueryInterface, ReferencesAreCountedAcrossInterfaces) {
    IUnknown* object = Create(*FindClass(CLSID_Bug));
    IBug* bug = Query<IBug>(object, IID_IBug);
    ISupportErrorInfo* support = Query<ISupportErrorInfo>(bug, IID_ISupportErrorInfo);
    EXPECT_EQ(object->Release(), 2u);
    EXPECT_EQ(bug->Release(), 1u);
    EXPECT_EQ(support->Release(), 0u);
}

} // namespace
} // namespace velmora::engine
