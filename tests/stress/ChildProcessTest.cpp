// Child processes report how they ended, and none outlives the object that started it. The
// child is this test program again, told by its filter which test to run.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "ChildProcess.h"

namespace velmora::stress {
namespace {

// Disabled: it runs only in a child that asks for it, to have a process that lingers.
TEST(ChildProcessHelper, DISABLED_Lingers) {
    std::this_thread::sleep_for(std::chrono::seconds(60));
}

const std::vector<std::string> kLingering = {"--gtest_also_run_disabled_tests",
                                             "--gtest_filter=ChildProcessHelper.DISABLED_Lingers"};

TEST(ChildProcessTest, AChildThatEndsReportsItsStatus) {
    ChildProcess child({"--gtest_filter=NoSuchTest.*"});
    const int status = child.Wait();
    EXPECT_TRUE(ChildProcess::ExitedCleanly(status));
    EXPECT_EQ(ChildProcess::Describe(status), "exit status 0");
    EXPECT_EQ(child.Wait(), status);
    EXPECT_EQ(child.Poll(), status);
}

TEST(ChildProcessTest, AKilledChildIsReportedAndNoneIsLeftBehind) {
    pid_t lingering = 0;
    {
        ChildProcess child(kLingering);
        EXPECT_FALSE(child.Poll());
        child.Kill();
        const int status = child.Wait();
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        EXPECT_EQ(ChildProcess::Describe(status).rfind("killed by signal 9", 0), 0u);

        ChildProcess abandoned(kLingering);
        lingering = abandoned.Pid();
    }
    // The abandoned child was killed and reaped: it is no child of ours any more.
    EXPECT_EQ(::waitpid(lingering, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

} // namespace
} // namespace velmora::stress
