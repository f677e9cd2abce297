#pragma once
// A logged-in session on a fresh seed database whose current role (RoleID 1 of product 1) holds
// every right and whose active version is 5, with helpers to put bugs and attachments into the
// database, read it back behind the engine's back, change the role's right and build filters.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <velmora/ComSupport.h>

#include "engine/admin/Right.h"
#include "engine/bugs/Bug.h"
#include "engine/bugs/BugFilter.h"
#include "engine/bugs/BugFilterSet.h"
#include "engine/bugs/BugSet.h"
#include "engine/com/EngineObjects.h"
#include "tests/session/SessionTestSupport.h"

namespace velmora::test {

using engine::CBug;
using engine::CBugSet;

// A session whose active version is 5, as after choosing that version.
class SessionOnVersion5 : public engine::CExeContext {
  public:
    HRESULT STDMETHODCALLTYPE get_ActiveVersionID(LONG* pVal) override {
        *pVal = 5;
        return S_OK;
    }
};

class BugSetTest : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        session_ = ComPtr<engine::CExeContext>(engine::CreateObject<SessionOnVersion5>().Get());
        Execute("BEGIN; INSERT INTO tProduct VALUES (1, 'Velmora', ''); "
                "INSERT INTO tVersion VALUES (5, 1, '1.0', '', 0); "
                "INSERT INTO tRole VALUES (1, 'Tester', '', 1); COMMIT");
        GrantEveryRight(1);
        ASSERT_EQ(Open(), S_OK);
        ASSERT_EQ(Login("Admin", ""), S_OK);
        ASSERT_EQ(session_->SetCurRole(1), S_OK);
    }

    void InsertBug(LONG id, const std::string& description, LONG version = 5, int type = eBug) {
        Execute("INSERT INTO tBugReport (BugID, BugType, Description, StatusName, SeverityName, "
                "PriorityName, ReportedInVersionID) VALUES (" +
                std::to_string(id) + ", " + std::to_string(type) + ", '" + description +
                "', 'New', 'Minor', 'Low', " + std::to_string(version) + ")");
    }

    // A bug set bound to the session, opened on every bug (or failing to open).
    ComPtr<CBugSet> OpenAll(HRESULT expected = S_OK) {
        auto set = engine::CreateObject<CBugSet>();
        set->SetContext(session_.Get());
        EXPECT_EQ(set->Open(nullptr), expected);
        return set;
    }

    // The IDs from the first row to the end.
    static std::vector<LONG> Walk(IBugSet* set) {
        std::vector<LONG> ids;
        EXPECT_EQ(set->First(), S_OK);
        LONG end = 0;
        while (set->IsEnd(&end) == S_OK && end == 0) {
            ids.push_back(CurrentID(set));
            if (set->Next() != S_OK) break;
        }
        return ids;
    }

    // The ID of the current row's bug; 0 when there is none.
    static LONG CurrentID(IBugSet* set) {
        ComPtr<IBug> bug;
        if (FAILED(set->get_CurItem(bug.Put())) || !bug) return 0;
        LONG id = 0;
        bug->get_ID(&id);
        return id;
    }

    static com::Variant Text(const std::string& text) {
        com::Variant value;
        value.vt = VT_BSTR;
        value.bstrVal = com::AllocBstr(text);
        return value;
    }
    struct TextFilter {
        std::string field;
        eLogCondition condition;
        std::string text;
        eLogOperation andOr = LogAnd;
    };
    static ComPtr<IBugFilterSet> Filters(std::initializer_list<TextFilter> filters) {
        auto set = engine::CreateObject<engine::CBugFilterSet>();
        for (const auto& [field, condition, text, andOr] : filters) {
            auto filter = engine::CreateObject<engine::CBugFilter>();
            filter->put_Field(Bstr(field).Get());
            filter->put_Condition(condition);
            EXPECT_EQ(filter->put_Value(Text(text)), S_OK);
            filter->put_AndOr(andOr);
            EXPECT_EQ(set->Add(filter.Get()), S_OK);
        }
        return ComPtr<IBugFilterSet>(set.Get());
    }

    static std::string NoRight(const std::string& action) {
        return "You have no right to " + action + ", please contact your manager!";
    }
    // The start of a log entry, for entries whose description comes from the database.
    static std::string Head(int code, const std::string& source) {
        return "[ErrCode]: " + std::to_string(code) + "\r\n[Source]: " + source + "\r\n";
    }
    // A call failed with E_FAIL, left `description` for its caller and logged `logged`.
    ::testing::AssertionResult Refused(HRESULT hr, const std::string& description,
                                       const std::string& logged = "") {
        if (hr != E_FAIL) return ::testing::AssertionFailure() << "the call gave " << hr;
        if (ErrorDescription() != description)
            return ::testing::AssertionFailure() << "the caller was told " << ErrorDescription();
        if (ErrLog().find(logged) == std::string::npos)
            return ::testing::AssertionFailure() << "no entry " << logged << " in " << ErrLog();
        return ::testing::AssertionSuccess();
    }
};

} // namespace velmora::test
