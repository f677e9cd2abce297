// A bug written with every field set comes back unchanged, field by field, through the set that
// added it and through another set opened afterwards.
#include <functional>
#include <vector>

#include "engine/bugs/Bug.h"
#include "engine/bugs/BugSet.h"
#include "tests/session/SessionTestSupport.h"

namespace velmora::test {
namespace {

class BugRoundTrip : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        Execute(
            "INSERT INTO tUser (UserID, LoginName, UserName) VALUES (2, 'pat', 'Pat O''Brien')");
        Execute("INSERT INTO tProduct VALUES (1, 'Velmora', NULL)");
        Execute("INSERT INTO tVersion VALUES (5, 1, '1.0 ''beta''', NULL, 0), "
                "(6, 1, '2.0', NULL, 0)");
        Execute("INSERT INTO tClassification VALUES (3, 'User \"interface\"', 1)");
        Execute("INSERT INTO tRole VALUES (1, 'Lead', NULL, 1)");
        Execute("INSERT INTO tRight (RightID, RoleID, \"Read\", \"Add\") VALUES (1, 1, 1, 1)");
        ASSERT_EQ(Open(), S_OK);
        ASSERT_EQ(Login("Admin", ""), S_OK);
        ASSERT_EQ(session_->SetCurRole(1), S_OK);
    }

    ComPtr<IBugSet> OpenAllBugs() {
        auto bugs = engine::CreateObject<engine::CBugSet>();
        bugs->SetContext(session_.Get());
        EXPECT_EQ(bugs->Open(nullptr), S_OK);
        return ComPtr<IBugSet>(bugs.Get());
    }
};

template <class T> struct Getter {
    const char* name;
    HRESULT (STDMETHODCALLTYPE IBug::*get)(T*);
};
#define GETTER(name)                                                                               \
    { #name, &IBug::get_##name }
const Getter<BSTR> kTexts[] = {
    GETTER(Description),  GETTER(Report),         GETTER(RecreateStep), GETTER(Workaround),
    GETTER(Resolution),   GETTER(Status),         GETTER(Priority),     GETTER(Severity),
    GETTER(Reproductive), GETTER(Classification), GETTER(ReportedBy),   GETTER(ReportedInVersion),
    GETTER(FixedBy),      GETTER(FixedInVersion), GETTER(VerifiedBy),   GETTER(LastModifiedBy),
};
const Getter<LONG> kNumbers[] = {
    GETTER(ID),        GETTER(ClassificationID), GETTER(ReportedByID), GETTER(ReportedInVersionID),
    GETTER(FixedByID), GETTER(FixedInVersionID), GETTER(VerifiedByID), GETTER(LastModifiedByID),
};
const Getter<DATE> kDates[] = {
    GETTER(ReportedDate),     GETTER(FixedDate),     GETTER(VerifiedDate),
    GETTER(LastModifiedDate), GETTER(EstimatedTime), GETTER(DateDue),
};
#undef GETTER

// Every readable property of a bug as text, so two bugs compare field by field with names.
std::vector<std::pair<std::string, std::string>> Fields(IBug* bug) {
    std::vector<std::pair<std::string, std::string>> fields;
    for (const auto& [name, get] : kTexts) {
        Bstr value;
        EXPECT_EQ((bug->*get)(value.Put()), S_OK) << name;
        fields.emplace_back(name, value.Utf8());
    }
    for (const auto& [name, get] : kNumbers) {
        LONG value = 0;
        EXPECT_EQ((bug->*get)(&value), S_OK) << name;
        fields.emplace_back(name, std::to_string(value));
    }
    for (const auto& [name, get] : kDates) {
        DATE value = 0;
        EXPECT_EQ((bug->*get)(&value), S_OK) << name;
        char exact[64];
        std::snprintf(exact, sizeof exact, "%.17g", value);
        fields.emplace_back(name, exact);
    }
    tagBugType type = eBug;
    EXPECT_EQ(bug->get_BugType(&type), S_OK);
    fields.emplace_back("BugType", std::to_string(static_cast<int>(type)));
    return fields;
}

TEST_F(BugRoundTrip, EveryFieldComesBackThroughBothSets) {
    auto bugs = OpenAllBugs();
    auto bug = engine::CreateObject<engine::CBug>();
    std::string longText;
    for (int line = 0; line < 2000; ++line)
        longText += "Line " + std::to_string(line) + ": it's \"quoted\"; -- and 100% _odd_\r\n";
    ASSERT_EQ(bug->put_Description(Bstr("O'Brien's crash; DROP TABLE tBugReport --").Get()), S_OK);
    ASSERT_EQ(bug->put_Report(Bstr(longText).Get()), S_OK);
    ASSERT_EQ(bug->put_RecreateStep(Bstr("1. open\n2. click 'Save'\n3. \xE2\x9C\x93 done").Get()),
              S_OK);
    ASSERT_EQ(bug->put_Workaround(Bstr("don't").Get()), S_OK);
    ASSERT_EQ(bug->put_Resolution(Bstr("fixed in 2.0").Get()), S_OK);
    ASSERT_EQ(bug->put_Status(Bstr("Fixed").Get()), S_OK);
    ASSERT_EQ(bug->put_Priority(Bstr("High").Get()), S_OK);
    ASSERT_EQ(bug->put_Severity(Bstr("Major").Get()), S_OK);
    ASSERT_EQ(bug->put_Reproductive(Bstr("Always").Get()), S_OK);
    ASSERT_EQ(bug->put_ClassificationID(3), S_OK);
    ASSERT_EQ(bug->put_ReportedByID(2), S_OK);
    ASSERT_EQ(bug->put_ReportedInVersionID(5), S_OK);
    ASSERT_EQ(bug->put_FixedByID(1), S_OK);
    ASSERT_EQ(bug->put_FixedInVersionID(6), S_OK);
    ASSERT_EQ(bug->put_VerifiedByID(2), S_OK);
    ASSERT_EQ(bug->put_LastModifiedByID(1), S_OK);
    ASSERT_EQ(bug->put_ReportedDate(46000.123456789), S_OK);
    ASSERT_EQ(bug->put_FixedDate(46001.75), S_OK);
    ASSERT_EQ(bug->put_VerifiedDate(46002.000011574), S_OK);
    ASSERT_EQ(bug->put_LastModifiedDate(46003.999988426), S_OK);
    ASSERT_EQ(bug->put_EstimatedTime(2.5), S_OK);
    ASSERT_EQ(bug->put_DateDue(46010.5), S_OK);
    ASSERT_EQ(bug->put_BugType(eFeature), S_OK);

    ComPtr<IBug> added;
    ASSERT_EQ(bugs->Add(bug.Get(), added.Put()), S_OK);
    const auto written = Fields(added.Get());
    LONG id = 0;
    added->get_ID(&id);
    ASSERT_EQ(id, 1);

    ComPtr<IBug> sameSet;
    ASSERT_EQ(bugs->GetBugByID(id, sameSet.Put()), S_OK);
    EXPECT_EQ(Fields(sameSet.Get()), written);

    auto otherBugs = OpenAllBugs();
    ComPtr<IBug> otherSet;
    ASSERT_EQ(otherBugs->GetBugByID(id, otherSet.Put()), S_OK);
    EXPECT_EQ(Fields(otherSet.Get()), written);

    const auto& names = written;
    auto value = [&](const std::string& name) {
        for (const auto& [field, text] : names)
            if (field == name) return text;
        return std::string("<missing>");
    };
    EXPECT_EQ(value("ReportedBy"), "Pat O'Brien");
    EXPECT_EQ(value("ReportedInVersion"), "1.0 'beta'");
    EXPECT_EQ(value("Classification"), "User \"interface\"");
    EXPECT_EQ(value("Report"), longText);
}

} // namespace
} // namespace velmora::test
