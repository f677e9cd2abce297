#include "SessionTestSupport.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <vector>

#include "engine/db/ConnectionString.h"
#include "engine/db/NextId.h"

namespace velmora::test {
namespace {

class NextId : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        db::SetProcessConnectionString(db::MakeConnectionString(database_));
    }
    int32_t Stored(const std::string& column) {
        const std::string value = Query("SELECT " + column + " FROM tNextID");
        return value.empty() ? -1 : std::stoi(value);
    }
};

TEST_F(NextId, HandsOutTheStoredValueAndAdvancesIt) {
    Execute("UPDATE tNextID SET NextBugID = 41");
    EXPECT_EQ(db::GetNextID("NextBugID"), 41);
    EXPECT_EQ(Stored("NextBugID"), 42);
    EXPECT_EQ(db::GetNextID("NextBugID"), 42);
}

TEST_F(NextId, FreshDatabaseStartsEveryTableAtOneAndUsersAfterAdmin) {
    for (const char* counter : {"NextBugID", "NextAttachmentID", "NextProductID", "NextVersionID",
                                "NextClassID", "NextRoleID", "NextRightID", "NextSysInfoID"})
        EXPECT_EQ(db::GetNextID(counter), 1) << counter;
    EXPECT_EQ(db::GetNextID("NextUserID"), 2);
}

TEST_F(NextId, ZeroOrNullCounterFailsOnceThenRecovers) {
    Execute("UPDATE tNextID SET NextRoleID = NULL");
    EXPECT_EQ(db::GetNextID("NextRoleID"), 0);
    EXPECT_EQ(db::GetNextID("NextRoleID"), 1);
}

TEST_F(NextId, MissingRowOrColumnGivesZeroAndALogEntry) {
    EXPECT_EQ(db::GetNextID("NextNothingID"), 0);
    EXPECT_NE(ErrLog().find("[ErrCode]: 9\r\n[Source]: GetNextID\r\n"), std::string::npos);
    Execute("DELETE FROM tNextID");
    EXPECT_EQ(db::GetNextID("NextBugID"), 0);
}

TEST_F(NextId, CounterNameCannotCarryAStatement) {
    EXPECT_EQ(db::GetNextID("NextBugID from tNextID; DELETE"), 0);
    EXPECT_EQ(Stored("NextBugID"), 1);
}

TEST_F(NextId, TwoProcessesNeverReceiveTheSameIdentifier) {
    constexpr int kEach = 1000;
    int pipes[2][2];
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        ASSERT_EQ(pipe(pipes[child]), 0);
        children[child] = fork();
        ASSERT_GE(children[child], 0);
        if (children[child] == 0) {
            close(pipes[child][0]);
            std::vector<int32_t> ids;
            for (int i = 0; i < kEach; ++i) ids.push_back(db::GetNextID("NextBugID"));
            const auto bytes = static_cast<ssize_t>(ids.size() * sizeof(int32_t));
            _exit(write(pipes[child][1], ids.data(), ids.size() * sizeof(int32_t)) == bytes ? 0
                                                                                            : 1);
        }
        close(pipes[child][1]);
    }
    std::vector<int32_t> all;
    for (int child = 0; child < 2; ++child) {
        std::vector<int32_t> ids(kEach);
        size_t got = 0;
        auto* bytes = reinterpret_cast<char*>(ids.data());
        while (got < ids.size() * sizeof(int32_t)) {
            ssize_t n = read(pipes[child][0], bytes + got, ids.size() * sizeof(int32_t) - got);
            if (n <= 0) break;
            got += static_cast<size_t>(n);
        }
        close(pipes[child][0]);
        int status = 0;
        waitpid(children[child], &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        ASSERT_EQ(got, ids.size() * sizeof(int32_t));
        all.insert(all.end(), ids.begin(), ids.end());
    }
    std::sort(all.begin(), all.end());
    ASSERT_EQ(all.size(), 2u * kEach);
    for (size_t i = 0; i < all.size(); ++i) ASSERT_EQ(all[i], static_cast<int32_t>(i + 1));
    EXPECT_EQ(Stored("NextBugID"), 2 * kEach + 1);
}

} // namespace
} // namespace velmora::test
