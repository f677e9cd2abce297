// The built libVelmora.so as callers meet it: registered through its own entry point, found by
// class identifier and by ProgID, and unloadable only when nothing of it is in use.
#include <dlfcn.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include <velmora/ComSupport.h>
#include <velmora/Velmora.h>

#include "TestSupport.h"
#include "common/com/Registry.h"
#include "engine/com/ClassTable.h"

namespace velmora::engine {
namespace {

class EngineLibrary : public ::testing::Test {
  protected:
    void SetUp() override {
        handle_ = dlopen(VELMORA_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle_, nullptr) << dlerror();
        canUnloadNow_ = reinterpret_cast<LPFNCANUNLOADNOW>(dlsym(handle_, "DllCanUnloadNow"));
        getClassObject_ = reinterpret_cast<LPFNGETCLASSOBJECT>(dlsym(handle_, "DllGetClassObject"));
        auto registerServer =
            reinterpret_cast<LPFNREGISTERSERVER>(dlsym(handle_, "DllRegisterServer"));
        unregisterServer_ =
            reinterpret_cast<LPFNREGISTERSERVER>(dlsym(handle_, "DllUnregisterServer"));
        ASSERT_TRUE(canUnloadNow_ && getClassObject_ && registerServer && unregisterServer_);
        ASSERT_EQ(registerServer(), S_OK);
    }
    void TearDown() override {
        if (handle_) dlclose(handle_);
    }

    test::TempDir dir_;
    test::ScopedEnv registryFile_{"VELMORA_REGISTRY", dir_.File("registry")};
    void* handle_ = nullptr;
    LPFNCANUNLOADNOW canUnloadNow_ = nullptr;
    LPFNGETCLASSOBJECT getClassObject_ = nullptr;
    LPFNREGISTERSERVER unregisterServer_ = nullptr;
};

TEST_F(EngineLibrary, RegistersItsOwnFullPath) {
    char resolved[PATH_MAX];
    ASSERT_NE(realpath(VELMORA_LIBRARY_PATH, resolved), nullptr);
    com::registry::Registry registry;
    ASSERT_EQ(com::registry::Load(&registry), S_OK);
    const std::string key =
        "HKEY_CLASSES_ROOT\\CLSID\\{64603919-E8CF-4231-8AE1-0419E3EF438A}\\InprocServer32";
    EXPECT_EQ(registry.GetValue(key, ""), std::string(resolved));
    EXPECT_EQ(registry.GetValue(key, "ThreadingModel"), "Apartment");
}

TEST_F(EngineLibrary, CreatesEveryClassByIdentifierAndByProgId) {
    for (const ClassEntry& entry : ClassTable()) {
        const ClassInfo& info = *entry.info;
        SCOPED_TRACE(std::string(info.name));
        IUnknown* byClsid = nullptr;
        ASSERT_EQ(CoCreateInstance(info.clsid, nullptr, CLSCTX_INPROC_SERVER, info.iid,
                                   reinterpret_cast<void**>(&byClsid)),
                  S_OK);
        byClsid->Release();

        for (std::string_view progId : {info.progId, info.versionIndependentProgId}) {
            CLSID found = GUID_NULL;
            ASSERT_EQ(CLSIDFromProgID(com::ToUtf16(progId).c_str(), &found), S_OK);
            EXPECT_EQ(found, info.clsid);
        }
    }
}

// The library's own exports answer for its classes, objects and locks (the counting itself is
// tested on the module state).
TEST_F(EngineLibrary, CanUnloadOnlyWhenNoObjectAndNoLockIsOutstanding) {
    EXPECT_EQ(canUnloadNow_(), S_OK);
    void* foreign = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject_(IID_IBug, IID_IClassFactory, &foreign), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(foreign, nullptr);
    IClassFactory* factory = nullptr;
    ASSERT_EQ(getClassObject_(CLSID_Bug, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
              S_OK);
    IBug* bug = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IBug, reinterpret_cast<void**>(&bug)), S_OK);
    EXPECT_EQ(canUnloadNow_(), S_FALSE);
    bug->Release();
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(canUnloadNow_(), S_FALSE);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(canUnloadNow_(), S_OK);
    factory->Release();
}

TEST_F(EngineLibrary, UnregisteredClassesCannotBeCreated) {
    ASSERT_EQ(unregisterServer_(), S_OK);
    void* object = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_Bug, nullptr, CLSCTX_ALL, IID_IBug, &object),
              REGDB_E_CLASSNOTREG);
    CLSID found = GUID_NULL;
    EXPECT_TRUE(FAILED(CLSIDFromProgID(u"Velmora.Bug", &found)));
}

} // namespace
} // namespace velmora::engine
