// Creating objects by class identifier and by name through a registered server library.
#include <velmora/ComSupport.h>

#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>

#include "TestServerApi.h"
#include "TestSupport.h"

namespace {

namespace registry = velmora::com::registry;
using registry::Registry;
using velmora::com::ComPtr;
using velmora::com::GuidToString;

constexpr const char* kProgID = "Velmora.TestCounter.1";
constexpr const char* kIndependentProgID = "Velmora.TestCounter";

// {0B7C5E11-2222-4333-8444-555566667777}: registered in some tests with a broken library.
constexpr CLSID kBrokenClass = {
    0x0B7C5E11, 0x2222, 0x4333, {0x84, 0x44, 0x55, 0x55, 0x66, 0x66, 0x77, 0x77}};

std::string ClassKey(const CLSID& clsid) {
    return "HKEY_CLASSES_ROOT\\CLSID\\" + GuidToString(clsid);
}

// Registers the test server the way a server registers itself.
void RegisterTestServer() {
    const std::string clsid = GuidToString(CLSID_TestCounter);
    ASSERT_EQ(registry::Update([&](Registry& reg) {
                  reg.SetValue(std::string("HKEY_CLASSES_ROOT\\") + kProgID, "",
                               "TestCounter Class");
                  reg.SetValue(std::string("HKEY_CLASSES_ROOT\\") + kProgID + "\\CLSID", "", clsid);
                  // The version-independent name only points at the current version.
                  reg.SetValue(std::string("HKEY_CLASSES_ROOT\\") + kIndependentProgID + "\\CurVer",
                               "", kProgID);
                  const std::string key = ClassKey(CLSID_TestCounter);
                  reg.SetValue(key + "\\ProgID", "", kProgID);
                  reg.SetValue(key + "\\InprocServer32", "", VELMORA_TEST_SERVER);
                  reg.SetValue(key + "\\InprocServer32", "ThreadingModel", "Apartment");
              }),
              S_OK);
}

void RegisterBrokenClass(const std::string& libraryPath) {
    ASSERT_EQ(registry::Update([&](Registry& reg) {
                  reg.SetValue(ClassKey(kBrokenClass) + "\\InprocServer32", "", libraryPath);
              }),
              S_OK);
}

struct Outstanding {
    LONG objects = -1;
    LONG factoryReferences = -1;
};

Outstanding TestServerOutstanding() {
    // The runtime loaded the library already; this finds the same copy.
    void* handle = dlopen(VELMORA_TEST_SERVER, RTLD_NOW | RTLD_NOLOAD);
    Outstanding result;
    if (!handle) return result;
    auto query = reinterpret_cast<TestServerOutstandingFn>(dlsym(handle, "TestServerOutstanding"));
    if (query) query(&result.objects, &result.factoryReferences);
    dlclose(handle); // drops only the reference taken here
    return result;
}

class ClassCreation : public ::testing::Test {
  protected:
    void SetUp() override { RegisterTestServer(); }
    velmora::test::ScopedRegistryFile registryFile_;
};

template <typename T>
HRESULT Create(const CLSID& clsid, REFIID iid, ComPtr<T>* object, DWORD context = CLSCTX_ALL,
               IUnknown* outer = nullptr) {
    return CoCreateInstance(clsid, outer, context, iid, reinterpret_cast<void**>(object->Put()));
}

TEST_F(ClassCreation, CreatesByClassIdentifierAndReleasesTheFactory) {
    ComPtr<ITestCounter> counter;
    ASSERT_EQ(Create(CLSID_TestCounter, IID_ITestCounter, &counter, CLSCTX_INPROC_SERVER), S_OK);
    LONG value = 0;
    EXPECT_EQ(counter->Increment(&value), S_OK);
    EXPECT_EQ(counter->Increment(&value), S_OK);
    EXPECT_EQ(value, 2);

    const Outstanding live = TestServerOutstanding();
    EXPECT_EQ(live.objects, 1);
    EXPECT_EQ(live.factoryReferences, 0) << "the factory was released after creation";
    counter.Reset();
    EXPECT_EQ(TestServerOutstanding().objects, 0);

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(CLSID_TestCounter, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               reinterpret_cast<void**>(factory.Put())),
              S_OK);
    EXPECT_EQ(TestServerOutstanding().factoryReferences, 1);
    factory.Reset();
    EXPECT_EQ(TestServerOutstanding().factoryReferences, 0);
}

TEST_F(ClassCreation, ProgIDsNameTheClassBothWays) {
    for (const char16_t* name : {u"Velmora.TestCounter.1", u"velmora.testcounter"}) {
        CLSID clsid{};
        ASSERT_EQ(CLSIDFromProgID(name, &clsid), S_OK);
        EXPECT_EQ(clsid, CLSID_TestCounter);
    }
    LPOLESTR name = nullptr;
    ASSERT_EQ(ProgIDFromCLSID(CLSID_TestCounter, &name), S_OK);
    EXPECT_EQ(std::u16string(name), u"Velmora.TestCounter.1");
    CoTaskMemFree(name);
    name = reinterpret_cast<LPOLESTR>(0x1);
    EXPECT_EQ(ProgIDFromCLSID(kBrokenClass, &name), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(name, nullptr);
}

TEST_F(ClassCreation, UnknownClassesAndNamesAreNotRegistered) {
    void* object = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(CoCreateInstance(kBrokenClass, nullptr, CLSCTX_ALL, IID_IUnknown, &object),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
    // Only in-process servers exist.
    EXPECT_EQ(
        CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown, &object),
        REGDB_E_CLASSNOTREG);

    ASSERT_EQ(registry::Update([](Registry& reg) {
                  reg.SetValue("HKEY_CLASSES_ROOT\\Loop.A\\CurVer", "", "Loop.B");
                  reg.SetValue("HKEY_CLASSES_ROOT\\Loop.B\\CurVer", "", "Loop.A");
                  reg.SetValue("HKEY_CLASSES_ROOT\\Bad.Id\\CLSID", "", "not a guid");
              }),
              S_OK);
    CLSID clsid{};
    for (const char16_t* name :
         {u"Velmora.Nothing.1", u"HKEY_CLASSES_ROOT\\CLSID", u"Loop.A", u"Bad.Id"})
        EXPECT_EQ(CLSIDFromProgID(name, &clsid), CO_E_CLASSSTRING);
}

TEST_F(ClassCreation, FactoryFailuresReachTheCallerWithoutLeaks) {
    ComPtr<IUnknown> object;
    EXPECT_EQ(Create(CLSID_TestCounter, IID_IDispatch, &object), E_NOINTERFACE);
    EXPECT_FALSE(object);
    velmora::test::CountedObject outer;
    EXPECT_EQ(Create(CLSID_TestCounter, IID_IUnknown, &object, CLSCTX_ALL, &outer),
              CLASS_E_NOAGGREGATION);
    EXPECT_FALSE(object);

    const Outstanding live = TestServerOutstanding();
    EXPECT_EQ(live.objects, 0);
    EXPECT_EQ(live.factoryReferences, 0);
    EXPECT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_ALL, IID_IUnknown, nullptr),
              E_POINTER);
}

TEST_F(ClassCreation, ErrorInformationCrossesTheLibraryBoundary) {
    ComPtr<ITestCounter> counter;
    ASSERT_EQ(Create(CLSID_TestCounter, IID_ITestCounter, &counter), S_OK);
    EXPECT_EQ(counter->Fail(const_cast<LPOLESTR>(u"Can't do that")), E_FAIL);
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(GetErrorInfo(0, info.Put()), S_OK);
    velmora::com::Bstr description, source;
    info->GetDescription(description.Put());
    info->GetSource(source.Put());
    EXPECT_EQ(description.Utf8(), "Can't do that");
    EXPECT_EQ(source.Utf8(), "Velmora.TestCounter.1");
}

// Every way a registered library can be unusable gives a failure status, never a crash; a
// library that failed once fails the same way when asked again.
TEST_F(ClassCreation, UnusableLibrariesAreReported) {
    const auto notALibrary = registryFile_.Directory() / "not-a-library.so";
    std::ofstream(notALibrary) << "this is text, not a shared object\n";
    const struct {
        std::string library;
        HRESULT expected;
    } cases[] = {
        {(registryFile_.Directory() / "no-such-library.so").string(), CO_E_DLLNOTFOUND},
        {notALibrary.string(), CO_E_DLLNOTFOUND},
        {registryFile_.Directory().string(), CO_E_DLLNOTFOUND}, // a directory
        {"", CO_E_DLLNOTFOUND},                                 // no library named
        {VELMORA_TEST_NO_ENTRY, CO_E_ERRORINDLL},
        {VELMORA_TEST_NO_ENTRY, CO_E_ERRORINDLL},
        {VELMORA_TEST_SERVER, CLASS_E_CLASSNOTAVAILABLE}, // does not know the class
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.library);
        RegisterBrokenClass(c.library);
        void* object = reinterpret_cast<void*>(0x1);
        EXPECT_EQ(CoCreateInstance(kBrokenClass, nullptr, CLSCTX_ALL, IID_IUnknown, &object),
                  c.expected);
        EXPECT_EQ(object, nullptr);
    }
}

// Removal by another process, a new registration and a removed file are all seen at once.
TEST_F(ClassCreation, RegistrationChangesAreSeenAtOnce) {
    ComPtr<IUnknown> object;
    ASSERT_EQ(Create(CLSID_TestCounter, IID_IUnknown, &object), S_OK);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const HRESULT hr =
            registry::Update([](Registry& reg) { reg.DeleteTree(ClassKey(CLSID_TestCounter)); });
        _exit(SUCCEEDED(hr) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Create(CLSID_TestCounter, IID_IUnknown, &object), REGDB_E_CLASSNOTREG);

    RegisterTestServer();
    EXPECT_EQ(Create(CLSID_TestCounter, IID_IUnknown, &object), S_OK);
    std::filesystem::remove(registryFile_.File());
    EXPECT_EQ(Create(CLSID_TestCounter, IID_IUnknown, &object), REGDB_E_CLASSNOTREG);
}

TEST_F(ClassCreation, CorruptRegistryIsAFailureNotACrash) {
    std::ofstream(registryFile_.File()) << "[unterminated\n";
    ComPtr<IUnknown> object;
    EXPECT_EQ(Create(CLSID_TestCounter, IID_IUnknown, &object), REGDB_E_READREGDB);
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(u"Velmora.TestCounter.1", &clsid), REGDB_E_READREGDB);
}

} // namespace
