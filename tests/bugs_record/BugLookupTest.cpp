// The identifier setters that look their name up: clearing, refusing, missing rows, found rows
// and database errors, for each of the seven.
#include "BugRecordTestSupport.h"

#include "engine/bugs/Bug.h"
#include "engine/com/EngineObjects.h"

namespace velmora::test {
namespace {

using engine::BugData;
using engine::CBug;

struct LookupCase {
    const char* name;
    HRESULT (STDMETHODCALLTYPE IBug::*put)(LONG);
    LONG BugData::*id;
    std::string BugData::*cachedName;
    const char* source;
    const char* negativeMessage;
    const char* missingMessage; // for identifier 7
    const char* failureText;
    LONG existingId; // a row the fixture inserts
    const char* existingName;
};

const LookupCase kCases[] = {
    {"ReportedByID", &IBug::put_ReportedByID, &BugData::reportedByID, &BugData::reportedBy,
     "GetUserName", "ReportedByID must be larger than 0", "User(ID=7) does not exist",
     "Set ReportedBy ID failed!", 2, "Pat O'Brien"},
    {"FixedByID", &IBug::put_FixedByID, &BugData::fixedByID, &BugData::fixedBy, "GetUserName",
     "ReportedByID must be larger than 0", "User(ID=7) does not exist", "Set FixedBy ID failed!", 2,
     "Pat O'Brien"},
    {"VerifiedByID", &IBug::put_VerifiedByID, &BugData::verifiedByID, &BugData::verifiedBy,
     "GetUserName", "ReportedByID must be larger than 0", "User(ID=7) does not exist",
     "Set VerifiedBy ID failed!", 1, "Admin"},
    {"LastModifiedByID", &IBug::put_LastModifiedByID, &BugData::lastModifiedByID,
     &BugData::lastModifiedBy, "GetUserName", "ReportedByID must be larger than 0",
     "User(ID=7) does not exist", "Set LastModifiedBy ID failed!", 2, "Pat O'Brien"},
    {"ReportedInVersionID", &IBug::put_ReportedInVersionID, &BugData::reportedInVersionID,
     &BugData::reportedInVersion, "GetVersionName", "VersionID must be larger than 0",
     "Version(ID=7) does not exist", "Set ReportedInversionID failed!", 11, "1.0 beta"},
    {"FixedInVersionID", &IBug::put_FixedInVersionID, &BugData::fixedInVersionID,
     &BugData::fixedInVersion, "GetVersionName", "VersionID must be larger than 0",
     "Version(ID=7) does not exist", "Set FixedInversionID failed!", 12, "2.0"},
    {"ClassificationID", &IBug::put_ClassificationID, &BugData::classificationID,
     &BugData::classification, "CBug::put_ClassificationID",
     "ClassificationID must be larger than 0", "Classificatin(ID=7) does not exist",
     "Set ClassificationID failed!", 4, "Printing"},
};

// Users, versions and classifications to look up, and a new bug.
class BugLookupRows : public BugRecordTest {
  protected:
    void SetUp() override {
        BugRecordTest::SetUp();
        Execute(
            "INSERT INTO tUser (UserID, LoginName, UserName) VALUES (2, 'pat', 'Pat O''Brien'), "
            "(3, 'ghost', NULL); INSERT INTO tProduct VALUES (1, 'Tracker', NULL); "
            "INSERT INTO tVersion VALUES (11, 1, '1.0 beta', NULL, 0), (12, 1, '2.0', NULL, 0), "
            "(13, 1, NULL, NULL, 0); "
            "INSERT INTO tClassification VALUES (4, 'Printing', 1), (5, NULL, 1)");
        bug_ = engine::CreateObject<CBug>();
    }

    ComPtr<CBug> bug_;
};

class BugLookup : public BugLookupRows, public ::testing::WithParamInterface<LookupCase> {
  protected:
    HRESULT Put(LONG value) { return (static_cast<IBug*>(bug_.Get())->*GetParam().put)(value); }
    LONG Id() const { return bug_->Data().*GetParam().id; }
    const std::string& Name() const { return bug_->Data().*GetParam().cachedName; }
};

TEST_P(BugLookup, FoundRowCachesItsNameAndZeroClearsWithoutTheDatabase) {
    ASSERT_EQ(Put(GetParam().existingId), S_OK);
    EXPECT_EQ(Id(), GetParam().existingId);
    EXPECT_EQ(Name(), GetParam().existingName);

    db::SetProcessConnectionString(""); // any database access would fail now
    ASSERT_EQ(Put(0), S_OK);
    EXPECT_EQ(Id(), 0);
    EXPECT_EQ(Name(), "");
    EXPECT_EQ(ErrLog(), "");
}

// A negative identifier, a missing row and a database that is not open each fail with the
// setter's text and their own log entry, and keep the values the bug had.
TEST_P(BugLookup, FailuresKeepTheValues) {
    bug_->Data().*GetParam().id = 99;
    bug_->Data().*GetParam().cachedName = "kept";
    EXPECT_EQ(Put(-1), E_FAIL);
    EXPECT_EQ(ErrorDescription(), GetParam().failureText);
    EXPECT_TRUE(Logged(0, GetParam().source, GetParam().negativeMessage)) << ErrLog();

    EXPECT_EQ(Put(7), E_FAIL);
    EXPECT_EQ(ErrorDescription(), GetParam().failureText);
    EXPECT_TRUE(Logged(2, GetParam().source, GetParam().missingMessage)) << ErrLog();

    db::SetProcessConnectionString("");
    EXPECT_EQ(Put(GetParam().existingId), E_FAIL);
    EXPECT_EQ(ErrorDescription(), GetParam().failureText);
    EXPECT_TRUE(LoggedUnder(2, GetParam().source)) << ErrLog();
    EXPECT_EQ(Id(), 99);
    EXPECT_EQ(Name(), "kept");
}

INSTANTIATE_TEST_SUITE_P(Setters, BugLookup, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Rows whose name column is NULL are found, with an empty name.
TEST_F(BugLookupRows, NullNamesGiveEmptyNames) {
    bug_->Data().reportedBy = bug_->Data().fixedInVersion = bug_->Data().classification = "old";
    EXPECT_EQ(bug_->put_ReportedByID(3), S_OK);
    EXPECT_EQ(bug_->put_FixedInVersionID(13), S_OK);
    EXPECT_EQ(bug_->put_ClassificationID(5), S_OK);
    EXPECT_EQ(bug_->Data().reportedByID, 3);
    EXPECT_EQ(bug_->Data().reportedBy + bug_->Data().fixedInVersion + bug_->Data().classification,
              "");
}

} // namespace
} // namespace velmora::test
