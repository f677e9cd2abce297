// A whole session driven by name only, as a script host drives it: objects created by ProgID
// through the component runtime from a registered engine library, every member reached through
// GetIDsOfNames and Invoke.
#include <dlfcn.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "DispatchTestSupport.h"
#include "engine/com/Registration.h"
#include "tests/engine_com/TestSupport.h"
#include "tests/session/SessionTestSupport.h"

namespace velmora::test {
namespace {

class SessionByName : public SessionTest {
  protected:
    // The engine library is registered into a private registry and writes its error log into
    // the test's directory.
    void SetUp() override {
        SessionTest::SetUp();
        registry_ = std::make_unique<ScopedEnv>("VELMORA_REGISTRY", (dir_ / "registry").string());
        char library[PATH_MAX];
        ASSERT_NE(realpath(VELMORA_DISPATCH_ENGINE, library), nullptr);
        ASSERT_EQ(engine::RegisterServer(library), S_OK);
        handle_ = dlopen(library, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle_, nullptr) << dlerror();
        setLogDirectory_ =
            reinterpret_cast<void (*)(const char*)>(dlsym(handle_, "VelmoraTestSetLogDirectory"));
        ASSERT_NE(setLogDirectory_, nullptr);
        setLogDirectory_((dir_.string() + "/").c_str());
    }
    void TearDown() override {
        if (setLogDirectory_) setLogDirectory_("");
        if (handle_) dlclose(handle_);
        registry_.reset();
        SessionTest::TearDown();
    }

    static ByName Create(const char16_t* progId) {
        CLSID clsid = GUID_NULL;
        EXPECT_EQ(CLSIDFromProgID(progId, &clsid), S_OK);
        IDispatch* object = nullptr;
        EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(&object)),
                  S_OK);
        return ByName(ComPtr<IDispatch>::Adopt(object));
    }

    std::unique_ptr<ScopedEnv> registry_;
    void* handle_ = nullptr;
    void (*setLogDirectory_)(const char*) = nullptr;
};

TEST_F(SessionByName, LogsInSetsUpARoleAndWalksTheBugsOfTheVersion) {
    // The one row prepared beforehand: a version other than the active one (0) to report in.
    Execute("BEGIN; INSERT INTO tProduct VALUES (1, 'Velmora', ''); "
            "INSERT INTO tVersion VALUES (3, 1, '1.0', '', 0); COMMIT");
    ByName session = Create(u"Velmora.ExeContext");
    session.Call("OpenAccessDB", {TextValue(database_)});
    session.Call("Login", {TextValue("Admin"), TextValue("")});

    // A role with the rights to read and add bugs, held by Admin.
    ByName admin(session.Call("Admin"));
    ByName role = Create(u"Velmora.Role");
    role.Put("Name", TextValue("Tester"));
    ByName(admin.Call("RoleSet")).Call("Add", {ObjectValue(role.Get())});
    const Variant roleId = role.Call("ID");
    ASSERT_EQ(roleId.vt, VT_I4);
    ByName right = Create(u"Velmora.Right");
    right.Put("Read", Variant(1));
    right.Put("Add", TextValue("1"));
    admin.Call("SetRoleRight", {roleId, ObjectValue(right.Get())});
    admin.Call("AssignUserToRole", {Variant(1), roleId});
    session.Call("SetCurRole", {roleId});

    // Reports of the active version (0): two bugs, and a feature request and a bug of another
    // version that the bug list leaves out.
    ByName adding(session.Call("OpenBugSet", {Variant()}));
    const std::vector<std::pair<std::string, std::pair<LONG, LONG>>> reports = {
        {"Crash on save", {0, eBug}},
        {"Wish: dark mode", {0, eFeature}},
        {"Old crash", {3, eBug}},
        {"Typo in menu", {0, eBug}},
    };
    for (const auto& [description, versionAndType] : reports) {
        ByName bug = Create(u"Velmora.Bug");
        bug.Put("Description", TextValue(description));
        bug.Put("ReportedInVersionID", Variant(versionAndType.first));
        bug.Put("BugType", Variant(versionAndType.second));
        adding.Call("Add", {ObjectValue(bug.Get())});
    }

    ByName bugs(session.Call("OpenBugSet", {ObjectValue(nullptr)}));
    std::vector<std::string> walked;
    std::vector<LONG> ids;
    bugs.Call("First");
    while (bugs.Call("IsEnd").lVal == 0 && walked.size() < 10) {
        ByName bug(bugs.Call("CurItem"));
        walked.push_back(TextOf(bug.Call("Description")));
        ids.push_back(bug.Call("ID").lVal);
        bugs.Call("Next");
    }
    EXPECT_EQ(walked, (std::vector<std::string>{"Crash on save", "Typo in menu"}));
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_LT(ids[0], ids[1]);
    EXPECT_EQ(ids[1], std::stoi(Query("SELECT BugID FROM tBugReport WHERE Description = "
                                      "'Typo in menu'")));
}

TEST_F(SessionByName, AFailingMemberReportsItsDescription) {
    ByName session = Create(u"Velmora.ExeContext");
    session.Call("OpenAccessDB", {TextValue(database_)});
    Outcome login;
    session.Invoke(session.Id("Login"), DISPATCH_METHOD, {TextValue("Admin"), TextValue("wrong")},
                   &login);
    EXPECT_EQ(login.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(login.exception.scode, E_FAIL);
    EXPECT_EQ(com::ToUtf8(login.exception.bstrSource), "Velmora.ExeContext.1");
    // The description stays available to the caller through the error information as well, and
    // the library's log went to the test's directory.
    const std::string description = ErrorDescription();
    EXPECT_EQ(description, com::ToUtf8(login.exception.bstrDescription));
    EXPECT_NE(description, "<none>");
    EXPECT_NE(ErrLog().find("[Source]: CExeContext::Login"), std::string::npos);
}

} // namespace
} // namespace velmora::test
