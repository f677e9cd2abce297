// The class table: the 24 classes with their names, identifiers, error-information support and
// event interfaces, each creatable through its factory.
#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <velmora/ComSupport.h>
#include <velmora/Velmora.h>

#include "engine/com/ClassTable.h"

namespace velmora::engine {
namespace {

// The classes in the order of the object model's class list.
std::vector<std::string> ClassNames() {
    std::istringstream text("ExeContext Admin Bug BugSet BugFilter BugFilterSet File FileSet "
                            "Product ProductSet Version Classification ClassificationSet Role "
                            "RoleSet Right User UserSet UserSysInfo BugPriority BugSeverity "
                            "BugStatus BugReproductive SysLog");
    return {std::istream_iterator<std::string>(text), std::istream_iterator<std::string>()};
}
const std::set<std::string> kWithoutErrorInfo = {"Version",     "Right",     "Classification",
                                                 "UserSysInfo", "BugFilter", "BugPriority",
                                                 "BugSeverity", "BugStatus", "BugReproductive"};

TEST(ClassTable, HoldsTheTwentyFourClassesWithDistinctIdentities) {
    const auto& table = ClassTable();
    const std::vector<std::string> names = ClassNames();
    ASSERT_EQ(table.size(), names.size());
    std::set<std::string> identifiers;
    for (size_t i = 0; i < table.size(); ++i) {
        const ClassInfo& info = *table[i].info;
        const std::string& name = names[i];
        SCOPED_TRACE(name);
        EXPECT_EQ(info.name, name);
        EXPECT_EQ(info.progId, "Velmora." + name + ".1");
        EXPECT_EQ(info.versionIndependentProgId, "Velmora." + name);
        EXPECT_EQ(info.description, name + " Class");
        EXPECT_EQ(info.supportsErrorInfo, kWithoutErrorInfo.count(name) == 0);
        EXPECT_EQ(info.eventIid != nullptr, name == "ExeContext" || name == "Admin");
        identifiers.insert(com::GuidToString(info.clsid));
        identifiers.insert(com::GuidToString(info.iid));
    }
    EXPECT_EQ(identifiers.size(), 48u);
    // Spot checks of identities that registry entries and callers depend on.
    EXPECT_EQ(com::GuidToString(table[2].info->clsid), "{64603919-E8CF-4231-8AE1-0419E3EF438A}");
    EXPECT_EQ(com::GuidToString(*table[1].info->eventIid),
              "{0BD7C6AD-C863-4786-8936-678CE028A6B4}");
    EXPECT_EQ(com::GuidToString(LIBID_VELMORALib), "{5955EC28-C4AF-495B-B35C-82C96EA7482D}");
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
    void* unused = reinterpret_cast<void*>(1);
    EXPECT_EQ(GetClassObject(CLSID_Bug, IID_IBug, &unused), E_NOINTERFACE);
    EXPECT_EQ(GetClassObject(IID_IBug, IID_IClassFactory, &unused), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(unused, nullptr);
    EXPECT_EQ(GetClassObject(CLSID_Bug, IID_IClassFactory, nullptr), E_POINTER);

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
