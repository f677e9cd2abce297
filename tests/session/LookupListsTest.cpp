#include "SessionTestSupport.h"

#include <vector>

namespace velmora::test {
namespace {

class SessionLists : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        ASSERT_EQ(Open(), S_OK);
        ASSERT_EQ(Login("Admin", ""), S_OK);
    }
    template <class List> static std::vector<std::string> Entries(List* list) {
        std::vector<std::string> entries;
        LONG count = 0;
        list->get_Count(&count);
        for (LONG i = 0; i < count; ++i) {
            Bstr name;
            list->get_Item(i, name.Put());
            entries.push_back(name.Utf8());
        }
        return entries;
    }
};

using Names = std::vector<std::string>;

TEST_F(SessionLists, SeededListsComeInTableOrder) {
    ComPtr<IBugPriority> priorities;
    ASSERT_EQ(session_->get_BugPriority(priorities.Put()), S_OK);
    EXPECT_EQ(Entries(priorities.Get()), (Names{"Normal", "Low", "High", "Urgent"}));

    ComPtr<IBugSeverity> severities;
    ASSERT_EQ(session_->get_BugSeverity(severities.Put()), S_OK);
    EXPECT_EQ(Entries(severities.Get()),
              (Names{"Normal", "Trivial", "Minor", "Major", "Critical"}));

    ComPtr<IBugReproductive> reproducibility;
    ASSERT_EQ(session_->get_BugReproductive(reproducibility.Put()), S_OK);
    EXPECT_EQ(Entries(reproducibility.Get()),
              (Names{"Sometimes", "Always", "Rarely", "Unable to Reproduce"}));

    ComPtr<IBugStatus> statuses;
    ASSERT_EQ(session_->get_AllBugStatus(statuses.Put()), S_OK);
    EXPECT_EQ(Entries(statuses.Get()).size(), 10u);
    EXPECT_EQ(Entries(statuses.Get()).front(), "New");
}

TEST_F(SessionLists, DuplicateRowsAppearOnceAtTheirFirstPlace) {
    Execute("INSERT INTO tPriority VALUES ('Low'), (NULL), ('low')");
    ComPtr<IBugPriority> priorities;
    ASSERT_EQ(session_->get_BugPriority(priorities.Put()), S_OK);
    EXPECT_EQ(Entries(priorities.Get()), (Names{"Normal", "Low", "High", "Urgent", "", "low"}));
}

TEST_F(SessionLists, AvailableStatusesBelongToTheCurrentRole) {
    Execute("INSERT INTO tRole VALUES (4, 'Developer', NULL, 0)");
    Execute("INSERT INTO tRight (RightID, RoleID, \"Read\") VALUES (1, 4, 1)");
    Execute("INSERT INTO tAvailableStatus VALUES (4, 'Fixed'), (4, 'Active'), (5, 'Verified')");
    ComPtr<IBugStatus> none;
    ASSERT_EQ(session_->get_BugStatus(none.Put()), S_OK);
    EXPECT_TRUE(Entries(none.Get()).empty());

    ASSERT_EQ(session_->SetCurRole(4), S_OK);
    ComPtr<IBugStatus> statuses;
    ASSERT_EQ(session_->get_BugStatus(statuses.Put()), S_OK);
    EXPECT_EQ(Entries(statuses.Get()), (Names{"Fixed", "Active"}));
}

TEST_F(SessionLists, EachCallGivesAnIndependentList) {
    ComPtr<IBugStatus> first, second;
    session_->get_AllBugStatus(first.Put());
    first->Clear();
    session_->get_AllBugStatus(second.Put());
    EXPECT_EQ(Entries(second.Get()).size(), 10u);
}

TEST_F(SessionLists, MissingTableReportsTheListMessage) {
    Execute("DROP TABLE tSeverity");
    ComPtr<IBugSeverity> severities;
    EXPECT_EQ(session_->get_BugSeverity(severities.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Get bug severity failed!");
    EXPECT_NE(ErrLog().find("[ErrCode]: 2\r\n[Source]: get_BugSeverity\r\n"), std::string::npos);

    Execute("DROP TABLE tAvailableStatus");
    ComPtr<IBugStatus> statuses;
    EXPECT_EQ(session_->get_BugStatus(statuses.Put()), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Get current status failed");
}

} // namespace
} // namespace velmora::test
