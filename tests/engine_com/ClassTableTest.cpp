// The class table's identities, the factories handed out for it, and the counts that decide
// whether the library may be unloaded.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include <velmora/ComSupport.h>
#include <velmora/Velmora.h>

#include "engine/com/ClassTable.h"
#include "engine/com/ModuleState.h"

namespace velmora::engine {
namespace {

TEST(ClassTable, HoldsTwentyFourClassesWithDistinctIdentities) {
    const auto& table = ClassTable();
    ASSERT_EQ(table.size(), 24u);
    std::set<std::string> identifiers;
    for (const ClassEntry& entry : table) {
        identifiers.insert(com::GuidToString(entry.info->clsid));
        identifiers.insert(com::GuidToString(entry.info->iid));
    }
    EXPECT_EQ(identifiers.size(), 48u);
    // Identities that registry entries and callers depend on.
    EXPECT_EQ(com::GuidToString(FindClass(CLSID_Bug)->info->clsid),
              "{64603919-E8CF-4231-8AE1-0419E3EF438A}");
    EXPECT_EQ(com::GuidToString(*FindClass(CLSID_Admin)->info->eventIid),
              "{0BD7C6AD-C863-4786-8936-678CE028A6B4}");
    EXPECT_EQ(com::GuidToString(LIBID_VELMORALib), "{5955EC28-C4AF-495B-B35C-82C96EA7482D}");
}

TEST(ClassObjects, OneFactoryPerClassIsKeptAndEveryRequestMakesANewObject) {
    IClassFactory* first = nullptr;
    IClassFactory* second = nullptr;
    IClassFactory* other = nullptr;
    ASSERT_EQ(GetClassObject(CLSID_Bug, IID_IClassFactory, reinterpret_cast<void**>(&first)), S_OK);
    ASSERT_EQ(GetClassObject(CLSID_Bug, IID_IUnknown, reinterpret_cast<void**>(&second)), S_OK);
    ASSERT_EQ(GetClassObject(CLSID_User, IID_IClassFactory, reinterpret_cast<void**>(&other)),
              S_OK);
    EXPECT_EQ(first, second);
    EXPECT_NE(first, other);
    void* unused = reinterpret_cast<void*>(1);
    EXPECT_EQ(GetClassObject(CLSID_Bug, IID_IBug, &unused), E_NOINTERFACE);
    EXPECT_EQ(GetClassObject(IID_IBug, IID_IClassFactory, &unused), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(unused, nullptr);
    EXPECT_EQ(GetClassObject(CLSID_Bug, IID_IClassFactory, nullptr), E_POINTER);

    IBug* bug1 = nullptr;
    IBug* bug2 = nullptr;
    ASSERT_EQ(first->CreateInstance(nullptr, IID_IBug, reinterpret_cast<void**>(&bug1)), S_OK);
    ASSERT_EQ(first->CreateInstance(nullptr, IID_IBug, reinterpret_cast<void**>(&bug2)), S_OK);
    EXPECT_NE(bug1, bug2);
    bug1->Release();
    bug2->Release();
    first->Release();
    second->Release();
    other->Release();
}

TEST(ModuleState, LiveObjectsAndFactoryLocksKeepTheLibraryLoaded) {
    ASSERT_EQ(CanUnloadNow(), S_OK);
    IUnknown* object = nullptr;
    ASSERT_EQ(
        FindClass(CLSID_Bug)->create(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)),
        S_OK);
    EXPECT_EQ(LiveObjectCount(), 1);
    EXPECT_EQ(CanUnloadNow(), S_FALSE);
    object->Release();
    EXPECT_EQ(LiveObjectCount(), 0);
    EXPECT_EQ(CanUnloadNow(), S_OK);

    IClassFactory* factory = nullptr;
    ASSERT_EQ(GetClassObject(CLSID_Role, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
              S_OK);
    EXPECT_EQ(CanUnloadNow(), S_OK); // holding a factory is not a lock
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(CanUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(CanUnloadNow(), S_OK);
    factory->Release();

    UnlockModule(); // an unmatched unlock is ignored
    EXPECT_EQ(ModuleLockCount(), 0);
    LockModule();
    EXPECT_EQ(CanUnloadNow(), S_FALSE);
    UnlockModule();
    EXPECT_EQ(CanUnloadNow(), S_OK);
}

} // namespace
} // namespace velmora::engine
