// Every member of every interface of the object model, called once by name on a live object: no
// member may answer "not implemented". The interfaces and their members are read from the
// object-model description itself, so a member added there without an implementation fails here.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "DispatchTestSupport.h"
#include "engine/com/ClassTable.h"
#include "engine/com/generated/DispatchTables.h"
#include "tests/session/SessionTestSupport.h"

namespace velmora::test {
namespace {

using engine::dispatch::InterfaceTable;
using engine::dispatch::Member;
using engine::dispatch::MemberKind;
using engine::dispatch::ValueKind;

struct DescribedMember {
    std::string kind; // "get", "put" or "method"
    std::string name;
};
struct DescribedInterface {
    std::string name;
    std::vector<DescribedMember> members;
};
struct Description {
    std::map<std::string, std::string> classInterfaces; // class name -> interface name
    std::vector<DescribedInterface> interfaces;
};

// The description keeps one class, interface or member per line, which is all this reader needs.
Description ReadDescription() {
    std::ifstream file(VELMORA_OBJECT_MODEL);
    EXPECT_TRUE(file.good()) << VELMORA_OBJECT_MODEL;
    const std::regex classLine(R"re(\{"name": "(\w+)", "clsid": "[^"]+", "interface": "(\w+)")re");
    const std::regex interfaceLine(R"re(\{"name": "(I\w+)", "iid": )re");
    const std::regex memberLine(R"re(\{"kind": "(get|put|method)", "name": "(\w+)")re");
    Description description;
    std::string line;
    std::smatch match;
    while (std::getline(file, line)) {
        if (std::regex_search(line, match, classLine)) {
            description.classInterfaces[match[1]] = match[2];
        } else if (std::regex_search(line, match, interfaceLine)) {
            description.interfaces.push_back({match[1], {}});
        } else if (std::regex_search(line, match, memberLine)) {
            EXPECT_FALSE(description.interfaces.empty()) << line;
            if (!description.interfaces.empty())
                description.interfaces.back().members.push_back({match[1], match[2]});
        }
    }
    return description;
}

const InterfaceTable* TableNamed(const std::string& name) {
    for (const InterfaceTable* table : engine::dispatch::AllTables())
        if (table->name == name) return table;
    return nullptr;
}

bool IsNotImplemented(const Outcome& outcome) {
    return outcome.hr == E_NOTIMPL ||
           (outcome.hr == DISP_E_EXCEPTION && outcome.exception.scode == E_NOTIMPL);
}

class MemberSweep : public SessionTest {
  protected:
    // One product with a version and a classification, a role of that product with every right
    // held by Admin, and one bug: enough for every member to find what its
    // valid arguments name (identifier 1, index 0).
    void SetUp() override {
        SessionTest::SetUp();
        Execute("BEGIN; INSERT INTO tProduct VALUES (1, 'Velmora', 'engine'); "
                "INSERT INTO tVersion VALUES (1, 1, '1.0', '', 45000); "
                "INSERT INTO tClassification (ClassificationID, ClassName, ProductID) "
                "VALUES (1, 'Core', 1); "
                "INSERT INTO tUserClassification VALUES (1, 1); "
                "INSERT INTO tRole (RoleID, RoleName, RoleDescription, ProductID) "
                "VALUES (1, 'Developer', '', 1); "
                "INSERT INTO tAvailableStatus VALUES (1, 'Open'); "
                "INSERT INTO tBugReport (BugID, BugType, Description, ReportedInVersionID) "
                "VALUES (1, 0, 'Crash on start', 1); COMMIT");
        GrantEveryRight(1);
        template_ = (dir_ / "template.mdb").string();
        std::filesystem::copy_file(database_, template_);
    }

    // A new copy of the prepared database and a session logged in on it as Admin in version 1, so
    // that what one member changes never hides another member from the sweep.
    ComPtr<IDispatch> FreshSession() {
        std::filesystem::copy_file(template_, database_,
                                   std::filesystem::copy_options::overwrite_existing);
        auto session = engine::CreateObject<engine::CExeContext>();
        EXPECT_EQ(session->OpenAccessDB(Bstr(database_).Get()), S_OK);
        EXPECT_EQ(session->Login(Bstr("Admin").Get(), Bstr("").Get()), S_OK);
        EXPECT_EQ(session->SetActiveProduct(1), S_OK);
        return DispatchOf(session);
    }

    // A new object of the class whose interface is `interfaceName`, as a caller creates it.
    static ComPtr<IDispatch> Created(const std::string& interfaceName,
                                     const Description& description) {
        for (const auto& [className, classInterface] : description.classInterfaces) {
            if (classInterface != interfaceName) continue;
            for (const auto& entry : engine::ClassTable()) {
                if (entry.info->name != className) continue;
                IDispatch* object = nullptr;
                EXPECT_EQ(entry.create(nullptr, IID_IDispatch, reinterpret_cast<void**>(&object)),
                          S_OK);
                return ComPtr<IDispatch>::Adopt(object);
            }
        }
        ADD_FAILURE() << "no creatable class implements " << interfaceName;
        return {};
    }

    // The object a member is called on: the one the logged-in session hands out where the session
    // is its source, otherwise a new object of its class.
    ComPtr<IDispatch> LiveObject(const std::string& interfaceName, const Description& description) {
        ComPtr<IDispatch> session = FreshSession();
        ByName caller(session);
        const auto newFilterSet = [&] {
            return ObjectValue(Created("IBugFilterSet", description).Get());
        };
        const auto openBugs = [&] { return caller.Call("OpenBugSet", {newFilterSet()}); };
        const std::map<std::string, std::function<Variant()>> handedOut = {
            {"IBugSet", openBugs},
            {"IBug", [&] { return ByName(openBugs()).Call("CurItem"); }},
            {"IFileSet",
             [&] { return ByName(ByName(openBugs()).Call("CurItem")).Call("AttachedFiles"); }},
            {"IAdmin", [&] { return caller.Call("Admin"); }},
            {"IUser", [&] { return caller.Call("CurUser"); }},
            {"IRole", [&] { return caller.Call("CurRole"); }},
            {"IRight", [&] { return caller.Call("CurRight"); }},
            {"IProductSet", [&] { return caller.Call("ProductSet"); }},
            {"IProduct",
             [&] { return ByName(caller.Call("ProductSet")).Call("Item", {LongValue(0)}); }},
            {"IVersion", [&] { return caller.Call("ActiveVersion"); }},
            {"IUserSet", [&] { return caller.Call("AllUser"); }},
            {"IRoleSet", [&] { return caller.Call("AllRole"); }},
            {"IClassificationSet",
             [&] {
                 return caller.Call("GetUserClassification", {LongValue(1), LongValue(1)});
             }},
            {"IBugStatus", [&] { return caller.Call("BugStatus"); }},
            {"IBugPriority", [&] { return caller.Call("BugPriority"); }},
            {"IBugSeverity", [&] { return caller.Call("BugSeverity"); }},
            {"IBugReproductive", [&] { return caller.Call("BugReproductive"); }},
        };
        if (interfaceName == "IExeContext") return session;
        const auto source = handedOut.find(interfaceName);
        if (source == handedOut.end()) return Created(interfaceName, description);
        Variant object = source->second();
        EXPECT_EQ(object.vt, VT_DISPATCH) << interfaceName;
        return ComPtr<IDispatch>(object.vt == VT_DISPATCH ? object.pdispVal : nullptr);
    }

    static Variant LongValue(LONG number) {
        Variant value;
        value.vt = VT_I4;
        value.lVal = number;
        return value;
    }

    // A valid argument of the parameter's type: indexes 0, identifiers and counts 1, a name, a
    // date, one identifier in an array, a new object of the interface asked for.
    static Variant Argument(const engine::dispatch::Parameter& parameter,
                            const Description& description) {
        const std::string name(parameter.name);
        switch (parameter.type.kind) {
        case ValueKind::kText:
            return TextValue("Sweep");
        case ValueKind::kDate: {
            Variant value;
            value.vt = VT_DATE;
            value.date = 45000.0;
            return value;
        }
        case ValueKind::kLongArray: {
            Variant value;
            value.vt = VT_ARRAY | VT_I4;
            value.parray = SafeArrayCreateVector(VT_I4, 0, 1);
            void* data = nullptr;
            EXPECT_EQ(SafeArrayAccessData(value.parray, &data), S_OK);
            *static_cast<LONG*>(data) = 1;
            SafeArrayUnaccessData(value.parray);
            return value;
        }
        case ValueKind::kInterface:
            return ObjectValue(Created(std::string(parameter.type.name), description).Get());
        case ValueKind::kVariant:
        case ValueKind::kLong:
        case ValueKind::kInt:
        case ValueKind::kEnumeration:
        case ValueKind::kNone:
            break;
        }
        const bool isIndex = name.find("ndex") != std::string::npos;
        return LongValue(isIndex ? 0 : 1);
    }

    std::string template_;
};

TEST_F(MemberSweep, NoMemberOfAnyClassAnswersNotImplemented) {
    const Description description = ReadDescription();
    ASSERT_EQ(description.interfaces.size(), 24u);
    ASSERT_EQ(description.classInterfaces.size(), engine::kClassCount);

    std::vector<std::string> notImplemented;
    size_t called = 0;
    for (const DescribedInterface& described : description.interfaces) {
        SCOPED_TRACE(described.name);
        const InterfaceTable* table = TableNamed(described.name);
        ASSERT_NE(table, nullptr) << "no dispatch table for " << described.name;
        ASSERT_EQ(table->members.size(), described.members.size())
            << described.name << " differs from its description";
        for (size_t i = 0; i < described.members.size(); ++i) {
            const Member& member = table->members[i];
            ASSERT_EQ(member.name, described.members[i].name);
            std::vector<Variant> arguments;
            for (const auto& parameter : member.parameters)
                arguments.push_back(Argument(parameter, description));
            ComPtr<IDispatch> object = LiveObject(described.name, description);
            ASSERT_TRUE(object) << described.name;
            Outcome outcome;
            const bool isPut = member.kind == MemberKind::kPut;
            ByName(object).Invoke(
                member.dispid,
                isPut ? DISPATCH_PROPERTYPUT : DISPATCH_METHOD | DISPATCH_PROPERTYGET, arguments,
                &outcome, isPut ? std::vector<DISPID>{DISPID_PROPERTYPUT} : std::vector<DISPID>{});
            ++called;
            if (IsNotImplemented(outcome))
                notImplemented.push_back(described.name + "." + described.members[i].kind + " " +
                                         described.members[i].name);
        }
    }
    EXPECT_GT(called, 300u);
    std::string list;
    for (const std::string& member : notImplemented)
        list += "\n  " + member;
    EXPECT_TRUE(notImplemented.empty()) << "members answering E_NOTIMPL:" << list;
}

} // namespace
} // namespace velmora::test
