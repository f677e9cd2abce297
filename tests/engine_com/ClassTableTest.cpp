// The class table: the 24 classes with their names, identifiers, error-information support and
// event interfaces, each creatable through its factory.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include <velmora/ComSupport.h>
#include <velmora/Velmora.h>

#include "engine/com/ClassTable.h"

namespace velmora::engine {
namespace {

struct ExpectedClass {
    const char* name;
    const char* clsid;
    const char* iid;
    bool errorInfo;
};

// The identities every registry entry and every caller depend on.
const ExpectedClass kExpected[] = {
    {"ExeContext", "{C1D60BD1-0D2E-41DE-81C3-F8A69B97EF7D}",
     "{82122F62-8CF1-49B6-AA89-1E21B7171D61}", true},
    {"Admin", "{1812E1E7-36A2-49BC-9904-F9BBE6760BCF}", "{B71A6BD2-EFA7-48E5-BDAF-892B343800FB}",
     true},
    {"Bug", "{64603919-E8CF-4231-8AE1-0419E3EF438A}", "{9E292CBA-0308-4A7F-A05F-F4C8CA07C188}",
     true},
    {"BugSet", "{6C2A17CE-2F29-4F25-B674-9EF78948F0D2}", "{65382025-7666-44DA-8552-B5D4BAFD1D5B}",
     true},
    {"BugFilter", "{7E04B7E5-B569-4E12-ABCE-81567C6B4618}",
     "{E5AC3B4E-621C-47E1-A533-B0A689DD1E3A}", false},
    {"BugFilterSet", "{C3AC7876-7D10-48DE-AA8B-E2A4B2F53D11}",
     "{7AAE2A93-7C31-43B2-8E0A-0CD48B8FB94E}", true},
    {"File", "{6C781757-7268-4205-B983-B5AFD7C9111F}", "{ACDFB51A-7013-45A4-A1A6-627B808795E2}",
     true},
    {"FileSet", "{0D5E01E3-92FD-42EB-87A2-166823C230BB}", "{809CC4D8-E1FF-4401-805A-122ACA7C8EA1}",
     true},
    {"Product", "{38CEBEC9-27A9-4B16-AD2C-326C90053935}", "{5440E4FC-DE06-4A13-959F-44F371930304}",
     true},
    {"ProductSet", "{03208266-477F-4189-939C-F72C98D2C7B6}",
     "{E2519EF9-5093-4C11-89EF-9FE784D56A1D}", true},
    {"Version", "{3A57C59B-1CBD-41F0-8C7C-4E3F7FEB9042}", "{F20B94DE-AC56-48DC-8E45-96A75C1F60BA}",
     false},
    {"Classification", "{CB1B5752-F0AB-473C-8C79-AF16DFC76715}",
     "{D6BACC2C-7C54-4F20-8B47-14D3C5FD54BD}", false},
    {"ClassificationSet", "{0BFE05F8-6EA1-4B40-A68C-9ECD2DD9F3F1}",
     "{08CF2556-D05F-47E7-918A-B01D4A6057FC}", true},
    {"Role", "{E10B281F-DD91-4939-9D30-D902B418CFCA}", "{D22AA82E-9FA5-4EBF-8C49-9D29BC94C5B1}",
     true},
    {"RoleSet", "{5322C700-D1B2-4E2D-A5EE-E9D2F8D7BFBA}", "{5F76FC73-4B2F-42B6-9ACB-1860EA44DEE0}",
     true},
    {"Right", "{AD66664E-79FD-4E69-B5A0-531BF909E7CA}", "{47C5A663-F6AF-4461-9D1D-1AC2FA0820C6}",
     false},
    {"User", "{07B0C237-FEF2-4520-A66F-04EBC7249BF3}", "{BF2249E4-8FD4-4AC6-B41E-C0C4B7E72DED}",
     true},
    {"UserSet", "{474A214B-F0E4-4441-92A0-D98520B64302}", "{6A2A871D-A4A9-49C8-9837-933E8B5356A7}",
     true},
    {"UserSysInfo", "{DAA9F425-9B46-492D-A3D1-96997E020B76}",
     "{74BB7646-E609-4DB5-9BCA-B9D80C333DC6}", false},
    {"BugPriority", "{CFCC1DA0-2001-4A17-AA86-2AEF3024B1F9}",
     "{45162B28-27E4-4044-B62C-26F49EECE02E}", false},
    {"BugSeverity", "{FB2F286E-357F-4D7D-8CC5-2C92D624E5FC}",
     "{7FA70162-BD7D-4237-A8AD-47F41C3B56BA}", false},
    {"BugStatus", "{D7472CE5-62DB-43C7-9B60-7A618BA80DA6}",
     "{8DBBDA55-5829-43FE-AC8C-630F0AB58EBE}", false},
    {"BugReproductive", "{69AD71B4-96E2-4981-8008-BC43D545E6DF}",
     "{A5FEECBF-5EF6-4F26-A31F-EDCC70987E21}", false},
    {"SysLog", "{EA3FDCE2-5AF7-45EA-AD23-C6F424C4E8F0}", "{AEAE4B41-8BAB-4F92-B2C9-21B285EA0B7E}",
     true},
};

TEST(ClassTable, HoldsTheTwentyFourClassesWithTheirIdentities) {
    const auto& table = ClassTable();
    ASSERT_EQ(table.size(), std::size(kExpected));
    for (size_t i = 0; i < table.size(); ++i) {
        const ClassInfo& info = *table[i].info;
        const ExpectedClass& expected = kExpected[i];
        SCOPED_TRACE(expected.name);
        EXPECT_EQ(info.name, expected.name);
        EXPECT_EQ(com::GuidToString(info.clsid), expected.clsid);
        EXPECT_EQ(com::GuidToString(info.iid), expected.iid);
        EXPECT_EQ(info.supportsErrorInfo, expected.errorInfo);
        EXPECT_EQ(info.progId, std::string("Velmora.") + expected.name + ".1");
        EXPECT_EQ(info.versionIndependentProgId, std::string("Velmora.") + expected.name);
        EXPECT_EQ(info.description, std::string(expected.name) + " Class");
    }
}

TEST(ClassTable, OnlyExeContextAndAdminHaveEventInterfaces) {
    for (const ClassEntry& entry : ClassTable()) {
        SCOPED_TRACE(std::string(entry.info->name));
        if (entry.info->name == "ExeContext") {
            ASSERT_NE(entry.info->eventIid, nullptr);
            EXPECT_EQ(com::GuidToString(*entry.info->eventIid),
                      "{A7CE268F-D528-4090-9888-F98FC72F8167}");
        } else if (entry.info->name == "Admin") {
            ASSERT_NE(entry.info->eventIid, nullptr);
            EXPECT_EQ(com::GuidToString(*entry.info->eventIid),
                      "{0BD7C6AD-C863-4786-8936-678CE028A6B4}");
        } else {
            EXPECT_EQ(entry.info->eventIid, nullptr);
        }
    }
}

TEST(ClassTable, IdentifiersAreDistinctAndTheTypeLibraryIsFixed) {
    std::set<std::string> identifiers;
    for (const ClassEntry& entry : ClassTable()) {
        identifiers.insert(com::GuidToString(entry.info->clsid));
        identifiers.insert(com::GuidToString(entry.info->iid));
    }
    EXPECT_EQ(identifiers.size(), 48u);
    EXPECT_EQ(com::GuidToString(LIBID_VELMORALib), "{5955EC28-C4AF-495B-B35C-82C96EA7482D}");
}

TEST(ClassTable, EveryClassCreatesAnObjectAnsweringItsInterface) {
    for (const ClassEntry& entry : ClassTable()) {
        SCOPED_TRACE(std::string(entry.info->name));
        IDispatch* object = nullptr;
        ASSERT_EQ(entry.create(nullptr, entry.info->iid, reinterpret_cast<void**>(&object)), S_OK);
        ASSERT_NE(object, nullptr);
        UINT typeInfoCount = 99;
        EXPECT_EQ(object->GetTypeInfoCount(&typeInfoCount), S_OK);
        EXPECT_EQ(typeInfoCount, 0u);
        EXPECT_EQ(object->Release(), 0u);
    }
}

TEST(ClassTable, FindsClassesByIdentifierOnly) {
    EXPECT_EQ(FindClass(CLSID_Bug)->info->name, "Bug");
    EXPECT_EQ(FindClass(CLSID_SysLog)->info->name, "SysLog");
    EXPECT_EQ(FindClass(IID_IBug), nullptr); // an interface identifier is not a class
    EXPECT_EQ(FindClass(GUID_NULL), nullptr);
}

TEST(ClassObjects, UnknownClassIsNotAvailable) {
    void* factory = reinterpret_cast<void*>(1);
    EXPECT_EQ(GetClassObject(IID_IBug, IID_IClassFactory, &factory), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(factory, nullptr);
    EXPECT_EQ(GetClassObject(CLSID_Bug, IID_IClassFactory, nullptr), E_POINTER);
}

TEST(ClassObjects, OneFactoryPerClassIsKeptForReuse) {
    IClassFactory* first = nullptr;
    IClassFactory* second = nullptr;
    IClassFactory* other = nullptr;
    ASSERT_EQ(GetClassObject(CLSID_Bug, IID_IClassFactory, reinterpret_cast<void**>(&first)), S_OK);
    ASSERT_EQ(GetClassObject(CLSID_Bug, IID_IUnknown, reinterpret_cast<void**>(&second)), S_OK);
    ASSERT_EQ(GetClassObject(CLSID_User, IID_IClassFactory, reinterpret_cast<void**>(&other)),
              S_OK);
    EXPECT_EQ(first, second);
    EXPECT_NE(first, other);
    void* unused = nullptr;
    EXPECT_EQ(GetClassObject(CLSID_Bug, IID_IBug, &unused), E_NOINTERFACE);

    // Every request makes a new object.
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

} // namespace
} // namespace velmora::engine
