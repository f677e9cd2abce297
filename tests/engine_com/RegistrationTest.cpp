// The registry entries the engine writes and removes.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <velmora/ComSupport.h>
#include <velmora/Velmora.h>

#include "TestSupport.h"
#include "common/com/Registry.h"
#include "engine/com/ClassTable.h"
#include "engine/com/Registration.h"

namespace velmora::engine {
namespace {

using com::registry::Registry;

const std::string kRoot = "HKEY_CLASSES_ROOT\\";
const std::string kLibid = "{5955EC28-C4AF-495B-B35C-82C96EA7482D}";
const std::string kLibrary = "/opt/velmora/lib/libVelmora.so";

// The number of keys and of values in the registry's file text.
struct Census {
    size_t keys = 0;
    size_t values = 0;
};
Census Count(const Registry& registry) {
    Census census;
    std::istringstream text(registry.Serialize());
    for (std::string line; std::getline(text, line);) {
        if (line.rfind("[", 0) == 0) ++census.keys;
        if (line.rfind("@=", 0) == 0 || line.rfind("\"", 0) == 0) ++census.values;
    }
    return census;
}

class Registration : public ::testing::Test {
  protected:
    test::TempDir dir_;
    test::ScopedEnv registryFile_{"VELMORA_REGISTRY", dir_.File("registry")};

    Registry Current() {
        Registry registry;
        EXPECT_EQ(com::registry::Load(&registry), S_OK);
        return registry;
    }
};

// One class's keys in full (every class's names are resolved through the built library in
// CreationTest), the type library's keys, and nothing else.
TEST_F(Registration, WritesTheClassAndTypeLibraryKeysAndNothingElse) {
    ASSERT_EQ(RegisterServer(kLibrary), S_OK);
    Registry registry = Current();
    const std::string clsid = "{64603919-E8CF-4231-8AE1-0419E3EF438A}";
    EXPECT_EQ(registry.GetValue(kRoot + "Velmora.Bug.1", ""), "Bug Class");
    EXPECT_EQ(registry.GetValue(kRoot + "Velmora.Bug.1\\CLSID", ""), clsid);
    EXPECT_EQ(registry.GetValue(kRoot + "Velmora.Bug", ""), "Bug Class");
    EXPECT_EQ(registry.GetValue(kRoot + "Velmora.Bug\\CLSID", ""), clsid);
    EXPECT_EQ(registry.GetValue(kRoot + "Velmora.Bug\\CurVer", ""), "Velmora.Bug.1");
    const std::string key = kRoot + "CLSID\\" + clsid;
    EXPECT_EQ(registry.GetValue(key, ""), "Bug Class");
    EXPECT_EQ(registry.GetValue(key + "\\ProgID", ""), "Velmora.Bug.1");
    EXPECT_EQ(registry.GetValue(key + "\\VersionIndependentProgID", ""), "Velmora.Bug");
    EXPECT_TRUE(registry.HasKey(key + "\\Programmable"));
    EXPECT_EQ(registry.GetValue(key + "\\InprocServer32", ""), kLibrary);
    EXPECT_EQ(registry.GetValue(key + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(registry.GetValue(key + "\\TypeLib", ""), kLibid);

    const std::string typeLib = kRoot + "TypeLib\\" + kLibid + "\\1.0";
    EXPECT_EQ(registry.GetValue(typeLib, ""), "Velmora 1.0 Type Library");
    EXPECT_EQ(registry.GetValue(typeLib + "\\0\\linux", ""), kLibrary);
    EXPECT_EQ(registry.GetValue(typeLib + "\\FLAGS", ""), "0");
    EXPECT_EQ(registry.GetValue(typeLib + "\\HELPDIR", ""), "/opt/velmora/lib");

    const Census census = Count(registry);
    // Keys: the classes root, CLSID, TypeLib, the type library's 6 keys and 11 keys per class
    // (2 under the ProgID, 3 under the version-independent one, 6 under CLSID).
    EXPECT_EQ(census.keys, 3 + 6 + 24 * 11u);
    // Values: 11 per class (2 + 3 + the class key's 5 defaults and ThreadingModel) and 4 of the
    // type library.
    EXPECT_EQ(census.values, 24 * 11u + 4);
}

TEST_F(Registration, RegisteringAgainReplacesTheOldEntries) {
    ASSERT_EQ(RegisterServer("/old/place/libVelmora.so"), S_OK);
    const std::string key = kRoot + "CLSID\\{64603919-E8CF-4231-8AE1-0419E3EF438A}";
    ASSERT_EQ(com::registry::Update(
                  [&](Registry& registry) { registry.SetValue(key + "\\Stale", "", "left over"); }),
              S_OK);
    ASSERT_EQ(RegisterServer(kLibrary), S_OK);
    Registry registry = Current();
    EXPECT_EQ(registry.GetValue(key + "\\InprocServer32", ""), kLibrary);
    EXPECT_FALSE(registry.HasKey(key + "\\Stale"));
}

// Entries of other servers and other versions of the type library stay untouched.
TEST_F(Registration, UnregisteringRemovesOnlyTheEnginesOwnEntries) {
    EXPECT_EQ(UnregisterServer(), S_OK); // nothing registered yet
    const std::string otherVersion = kRoot + "TypeLib\\" + kLibid + "\\2.0";
    ASSERT_EQ(com::registry::Update([&](Registry& registry) {
                  registry.SetValue(kRoot + "Other.Thing.1", "", "Other Class");
                  registry.SetValue(kRoot + "CLSID\\{11111111-2222-3333-4444-555555555555}", "",
                                    "Other Class");
                  registry.SetValue(otherVersion, "", "Velmora 2.0 Type Library");
              }),
              S_OK);
    ASSERT_EQ(RegisterServer(kLibrary), S_OK);
    ASSERT_EQ(UnregisterServer(), S_OK);
    Registry registry = Current();
    for (const ClassEntry& entry : ClassTable()) {
        const std::string name(entry.info->name);
        SCOPED_TRACE(name);
        EXPECT_FALSE(registry.HasKey(kRoot + "Velmora." + name + ".1"));
        EXPECT_FALSE(registry.HasKey(kRoot + "Velmora." + name));
        EXPECT_FALSE(registry.HasKey(kRoot + "CLSID\\" + com::GuidToString(entry.info->clsid)));
    }
    EXPECT_FALSE(registry.HasKey(kRoot + "TypeLib\\" + kLibid + "\\1.0"));
    EXPECT_TRUE(registry.HasKey(otherVersion));
    EXPECT_TRUE(registry.HasKey(kRoot + "Other.Thing.1"));
    EXPECT_TRUE(registry.HasKey(kRoot + "CLSID\\{11111111-2222-3333-4444-555555555555}"));
}

TEST(RegistrationFailure, ReportsARegistryThatCannotBeWritten) {
    test::TempDir dir;
    // The registry file's place is taken by a directory: it can be neither read nor replaced.
    std::filesystem::create_directory(dir.Path() / "registry");
    test::ScopedEnv registryFile("VELMORA_REGISTRY", dir.File("registry"));
    EXPECT_TRUE(FAILED(RegisterServer(kLibrary)));
    EXPECT_TRUE(FAILED(UnregisterServer()));
    EXPECT_EQ(RegisterServer(""), E_INVALIDARG);
}

} // namespace
} // namespace velmora::engine
