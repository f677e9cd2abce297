// The counts that decide whether the library may be unloaded.
#include <gtest/gtest.h>

#include <velmora/Velmora.h>

#include "engine/com/ClassTable.h"
#include "engine/com/ModuleState.h"

namespace velmora::engine {
namespace {

TEST(ModuleState, LiveObjectsKeepTheLibraryLoaded) {
    ASSERT_EQ(CanUnloadNow(), S_OK);
    IUnknown* first = nullptr;
    IUnknown* second = nullptr;
    ASSERT_EQ(FindClass(CLSID_Bug)->create(nullptr, IID_IUnknown, reinterpret_cast<void**>(&first)),
              S_OK);
    ASSERT_EQ(
        FindClass(CLSID_Admin)->create(nullptr, IID_IUnknown, reinterpret_cast<void**>(&second)),
        S_OK);
    EXPECT_EQ(LiveObjectCount(), 2);
    EXPECT_EQ(CanUnloadNow(), S_FALSE);
    first->Release();
    EXPECT_EQ(CanUnloadNow(), S_FALSE);
    second->Release();
    EXPECT_EQ(LiveObjectCount(), 0);
    EXPECT_EQ(CanUnloadNow(), S_OK);
}

TEST(ModuleState, FactoryLocksKeepTheLibraryLoadedAndAnUnmatchedUnlockIsIgnored) {
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

    UnlockModule();
    EXPECT_EQ(ModuleLockCount(), 0);
    LockModule();
    EXPECT_EQ(CanUnloadNow(), S_FALSE);
    UnlockModule();
    EXPECT_EQ(CanUnloadNow(), S_OK);
}

} // namespace
} // namespace velmora::engine
