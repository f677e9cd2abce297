// The machine's registry file behind the user's: which file is read, in which order, and how the
// system file is written and removed.
#include <velmora/ComSupport.h>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>

#include "TestServerApi.h"
#include "TestSupport.h"

namespace {

namespace fs = std::filesystem;
namespace registry = velmora::com::registry;
using registry::Registry;
using velmora::com::ComPtr;
using velmora::com::GuidToString;
using velmora::test::ScopedEnv;

// {7D1E0A01-0000-4000-8000-0000000000A1} and ...A2: classes that only name where they were found.
constexpr CLSID kClassA = {0x7D1E0A01, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0xA1}};
constexpr CLSID kClassB = {0x7D1E0A01, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0xA2}};

std::string ClassKey(const CLSID& clsid) {
    return "HKEY_CLASSES_ROOT\\CLSID\\" + GuidToString(clsid);
}

void WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// Writes `change` into the registry file at `path` the way any writer does.
void UpdateFile(const fs::path& path, const std::function<void(Registry&)>& change) {
    ScopedEnv file("VELMORA_REGISTRY", path.string());
    ASSERT_EQ(registry::Update(change), S_OK);
}

void NameClass(const fs::path& path, const std::string& progId, const CLSID& clsid) {
    UpdateFile(path, [&](Registry& reg) {
        reg.SetValue("HKEY_CLASSES_ROOT\\" + progId + "\\CLSID", "", GuidToString(clsid));
    });
}

void RegisterTestServer(const fs::path& path, const std::string& library) {
    UpdateFile(path, [&](Registry& reg) {
        reg.SetValue("HKEY_CLASSES_ROOT\\Velmora.TestCounter.1\\CLSID", "",
                     GuidToString(CLSID_TestCounter));
        reg.SetValue(ClassKey(CLSID_TestCounter) + "\\ProgID", "", "Velmora.TestCounter.1");
        reg.SetValue(ClassKey(CLSID_TestCounter) + "\\InprocServer32", "", library);
    });
}

HRESULT Resolve(const char16_t* progId, CLSID* clsid) {
    *clsid = CLSID{};
    return CLSIDFromProgID(progId, clsid);
}

// A user configuration directory and three system ones (the second and third of which can hold
// registry files), with VELMORA_REGISTRY unset.
class SystemRegistry : public ::testing::Test {
  protected:
    fs::path UserFile() const { return root_.Path() / "home" / "velmora" / "registry"; }
    fs::path SystemFile(int n) const {
        return root_.Path() / ("xdg" + std::to_string(n)) / "velmora" / "registry";
    }

    velmora::test::TempDir root_;
    ScopedEnv noOverride_{"VELMORA_REGISTRY", std::nullopt};
    ScopedEnv home_{"XDG_CONFIG_HOME", (root_.Path() / "home").string()};
    ScopedEnv dirs_{"XDG_CONFIG_DIRS", "relative/xdg:" + (root_.Path() / "xdg1").string() + ":" +
                                           (root_.Path() / "xdg2").string() +
                                           "::" + (root_.Path() / "xdg3").string()};
};

TEST_F(SystemRegistry, TheFirstConfigDirectoryWithAFileIsTheSystemFile) {
    EXPECT_EQ(registry::SystemRegistryFilePath(), "") << "no directory has one yet";
    WriteFile(SystemFile(3), "");
    EXPECT_EQ(registry::SystemRegistryFilePath(), SystemFile(3).string());
    WriteFile(SystemFile(2), "");
    EXPECT_EQ(registry::SystemRegistryFilePath(), SystemFile(2).string());
    // A relative entry is no place to look, even when it resolves to a file here.
    {
        ScopedEnv relative("XDG_CONFIG_DIRS", "relative/xdg");
        EXPECT_EQ(registry::SystemRegistryFilePath(), "");
    }
    {
        ScopedEnv override("VELMORA_REGISTRY", UserFile().string());
        EXPECT_EQ(registry::SystemRegistryFilePath(), "") << "VELMORA_REGISTRY is the only file";
    }
    ScopedEnv unset("XDG_CONFIG_DIRS", std::nullopt);
    EXPECT_EQ(registry::SystemRegistryFilePath(),
              fs::exists(registry::kSystemRegistryFile) ? registry::kSystemRegistryFile : "");
}

TEST_F(SystemRegistry, TheUserFileWinsAndTheSystemFileAnswersTheRest) {
    NameClass(SystemFile(2), "Velmora.Shared", kClassA);
    NameClass(SystemFile(2), "Velmora.Both", kClassA);
    CLSID clsid{};
    EXPECT_EQ(Resolve(u"Velmora.Shared", &clsid), S_OK) << "without a user file at all";
    EXPECT_EQ(clsid, kClassA);

    NameClass(UserFile(), "Velmora.Both", kClassB);
    NameClass(UserFile(), "Velmora.Mine", kClassB);
    EXPECT_EQ(Resolve(u"Velmora.Both", &clsid), S_OK);
    EXPECT_EQ(clsid, kClassB) << "the user's own registration wins";
    EXPECT_EQ(Resolve(u"Velmora.Mine", &clsid), S_OK);
    EXPECT_EQ(clsid, kClassB);
    EXPECT_EQ(Resolve(u"Velmora.Shared", &clsid), S_OK);
    EXPECT_EQ(clsid, kClassA) << "what the user's file does not know comes from the system";
    EXPECT_EQ(Resolve(u"Velmora.Nowhere", &clsid), CO_E_CLASSSTRING);
}

TEST_F(SystemRegistry, ObjectsAreCreatedFromTheSystemRegistration) {
    RegisterTestServer(SystemFile(2), VELMORA_TEST_SERVER);
    NameClass(UserFile(), "Velmora.Unrelated", kClassB);
    ComPtr<ITestCounter> counter;
    ASSERT_EQ(CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_INPROC_SERVER, IID_ITestCounter,
                               reinterpret_cast<void**>(counter.Put())),
              S_OK);
    LONG value = 0;
    EXPECT_EQ(counter->Increment(&value), S_OK);
    EXPECT_EQ(value, 1);
    LPOLESTR name = nullptr;
    ASSERT_EQ(ProgIDFromCLSID(CLSID_TestCounter, &name), S_OK);
    EXPECT_EQ(std::u16string(name), u"Velmora.TestCounter.1");
    CoTaskMemFree(name);

    // A user registration of the same class, even a broken one, is the one used.
    RegisterTestServer(UserFile(), (root_.Path() / "missing.so").string());
    void* object = nullptr;
    const HRESULT hr =
        CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object);
    EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
    EXPECT_NE(hr, REGDB_E_CLASSNOTREG);
    EXPECT_EQ(object, nullptr);
}

TEST_F(SystemRegistry, VelmoraRegistrySetIsTheOnlyFileRead) {
    RegisterTestServer(SystemFile(2), VELMORA_TEST_SERVER);
    NameClass(SystemFile(2), "Velmora.Shared", kClassA);
    ScopedEnv override("VELMORA_REGISTRY", (root_.Path() / "own-registry").string());
    void* object = nullptr;
    EXPECT_EQ(
        CoCreateInstance(CLSID_TestCounter, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
        REGDB_E_CLASSNOTREG);
    CLSID clsid{};
    EXPECT_EQ(Resolve(u"Velmora.Shared", &clsid), CO_E_CLASSSTRING);
    LPOLESTR name = nullptr;
    EXPECT_EQ(ProgIDFromCLSID(CLSID_TestCounter, &name), REGDB_E_CLASSNOTREG);
}

TEST_F(SystemRegistry, OnlyTheFirstSystemFileIsReadAndItsChangesAreNoticed) {
    NameClass(SystemFile(3), "Velmora.Where", kClassB);
    NameClass(SystemFile(3), "Velmora.OnlyThird", kClassB);
    CLSID clsid{};
    EXPECT_EQ(Resolve(u"Velmora.Where", &clsid), S_OK);
    EXPECT_EQ(clsid, kClassB);

    NameClass(SystemFile(2), "Velmora.Where", kClassA);
    EXPECT_EQ(Resolve(u"Velmora.Where", &clsid), S_OK);
    EXPECT_EQ(clsid, kClassA) << "the earlier directory now has a file";
    EXPECT_EQ(Resolve(u"Velmora.OnlyThird", &clsid), CO_E_CLASSSTRING)
        << "files further down the list are not merged in";

    UpdateFile(SystemFile(2),
               [](Registry& reg) { reg.DeleteTree("HKEY_CLASSES_ROOT\\Velmora.Where"); });
    EXPECT_EQ(Resolve(u"Velmora.Where", &clsid), CO_E_CLASSSTRING);
}

TEST_F(SystemRegistry, UnreadableFilesFailTheLookupInsteadOfBeingSkipped) {
    NameClass(SystemFile(2), "Velmora.Shared", kClassA);
    NameClass(SystemFile(3), "Velmora.Shared", kClassB);
    WriteFile(UserFile(), "not a registry\n");
    CLSID clsid{};
    EXPECT_EQ(Resolve(u"Velmora.Shared", &clsid), REGDB_E_READREGDB)
        << "a corrupt user file hides nothing";

    fs::remove(UserFile());
    NameClass(UserFile(), "Velmora.Mine", kClassB);
    WriteFile(SystemFile(2), "[unclosed\n");
    EXPECT_EQ(Resolve(u"Velmora.Shared", &clsid), REGDB_E_READREGDB)
        << "a corrupt system file is not replaced by the next directory's";
    EXPECT_EQ(Resolve(u"Velmora.Mine", &clsid), S_OK) << "it is not read when not needed";
    EXPECT_EQ(clsid, kClassB);
}

TEST_F(SystemRegistry, NewFilesAreReadableByEveryoneWhateverTheUmask) {
    const mode_t old = ::umask(077);
    NameClass(SystemFile(2), "Velmora.Shared", kClassA);
    ::umask(old);
    struct stat info {};
    ASSERT_EQ(::stat(SystemFile(2).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST_F(SystemRegistry, AnEmptiedFileIsRemovedWithItsLock) {
    const fs::path file = SystemFile(2);
    ScopedEnv target("VELMORA_REGISTRY", file.string());
    EXPECT_EQ(registry::RemoveIfEmpty(), S_OK) << "nothing there is nothing to do";

    NameClass(file, "Velmora.Shared", kClassA);
    NameClass(file, "Velmora.Other", kClassB);
    UpdateFile(file, [](Registry& reg) { reg.DeleteTree("HKEY_CLASSES_ROOT\\Velmora.Other"); });
    EXPECT_EQ(registry::RemoveIfEmpty(), S_FALSE);
    EXPECT_TRUE(fs::exists(file)) << "a registration is still in it";

    // What unregistering leaves: parent keys without values.
    UpdateFile(file, [](Registry& reg) { reg.DeleteTree("HKEY_CLASSES_ROOT\\Velmora.Shared"); });
    ASSERT_TRUE(fs::exists(file.string() + ".lock"));
    EXPECT_EQ(registry::RemoveIfEmpty(), S_OK);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(fs::exists(file.string() + ".lock"));
    EXPECT_TRUE(fs::is_empty(file.parent_path()));

    WriteFile(file, "garbage\n");
    EXPECT_EQ(registry::RemoveIfEmpty(), REGDB_E_READREGDB);
    EXPECT_TRUE(fs::exists(file)) << "a file that cannot be read is left alone";
}

} // namespace
