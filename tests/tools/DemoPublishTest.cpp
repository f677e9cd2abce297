// `velmora demo` builds its database under a private name and gives it the asked name only when
// it is complete: a failed or interrupted run leaves neither a half-made database nor its
// temporary file, the published file is an ordinary database, and an existing file or bad
// arguments are refused before anything is made.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "ToolTestSupport.h"

extern char** environ;

namespace velmora::test {
namespace {

class DemoPublish : public ToolTest {
  protected:
    // The names in the folder that the tool may have made (the registry files aside).
    std::vector<std::string> Made() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.File(""))) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("registry", 0) != 0 && name != "stderr") names.push_back(name);
        }
        return names;
    }
};

// The temporary file shows up as a hidden directory beside the asked name; once it holds a
// database that is being filled, the run is interrupted.
TEST_F(DemoPublish, AnInterruptedRunLeavesNothingBehind) {
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        const std::string file = dir_.File("big.mdb");
        const std::string tool = VELMORA_TOOL_PATH;
        std::vector<char*> argv = {const_cast<char*>(tool.c_str()), const_cast<char*>("demo"),
                                   const_cast<char*>(file.c_str()), const_cast<char*>("--bugs"),
                                   const_cast<char*>("20000"),      nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        pid_t child = 0;
        ASSERT_EQ(0, posix_spawn(&child, tool.c_str(), &actions, nullptr, argv.data(), environ));
        posix_spawn_file_actions_destroy(&actions);

        // Wait until bugs are being added: the building database has grown past the team.
        bool building = false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!building && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            for (const std::string& name : Made()) {
                std::error_code error;
                const auto size = std::filesystem::file_size(dir_.File(name + "/big.mdb"), error);
                if (!error && size > 300 * 1024) building = true;
            }
        }
        EXPECT_TRUE(building) << "the run never got to adding bugs";
        kill(child, signal);
        int status = 0;
        ASSERT_EQ(child, waitpid(child, &status, 0));
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(Made(), std::vector<std::string>{});
    }
}

TEST_F(DemoPublish, AFailedRunLeavesNothingBehind) {
    ScopedEnv emptyRegistry("VELMORA_REGISTRY", dir_.File("registry-empty"));
    const Outcome outcome = Run("demo '" + dir_.File("half.mdb") + "' --bugs 5");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.errors.find("cannot create Velmora.ExeContext"), std::string::npos)
        << outcome.errors;
    EXPECT_EQ(outcome.output, "");
    EXPECT_EQ(Made(), std::vector<std::string>{});
}

// Parsing itself is checked on its own; here only that a refusal shows the usage and makes nothing.
TEST_F(DemoPublish, BadArgumentsShowTheUsageAndMakeNothing) {
    const std::string file = dir_.File("never.mdb");
    for (const char* arguments : {"--bugs 100001", "--frobnicate"}) {
        SCOPED_TRACE(arguments);
        const Outcome outcome = Run("demo '" + file + "' " + arguments);
        EXPECT_EQ(outcome.status, 2);
        EXPECT_NE(outcome.errors.find("Usage: velmora demo FILE"), std::string::npos)
            << outcome.errors;
    }
    EXPECT_NE(Run("demo --bugs 1").errors.find("no FILE given"), std::string::npos);
    EXPECT_EQ(Made(), std::vector<std::string>{});
    const Outcome help = Run("demo --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("mhart-demo"), std::string::npos) << help.output;
    EXPECT_NE(Run("--help").output.find("demo FILE [--bugs N] [--seed S]"), std::string::npos);
}

// The finished file is a rollback-journal database (not write-ahead), complete on disk, that
// the engine opens as any other; progress is not shown when stderr is not a terminal.
TEST_F(DemoPublish, TheResultIsAnOrdinaryDatabase) {
    const std::string file = dir_.File("done.mdb");
    const Outcome made = Run("demo '" + file + "' --bugs 30");
    ASSERT_EQ(made.status, 0) << made.errors;
    EXPECT_EQ(made.errors, "");
    EXPECT_EQ(Made(), std::vector<std::string>{"done.mdb"});
    const std::string bytes = ReadFile(file);
    ASSERT_GT(bytes.size(), 100u);
    EXPECT_EQ(bytes.substr(0, 16), std::string("SQLite format 3\0", 16));
    EXPECT_EQ(bytes[18], 1) << "write version: rollback journal";
    EXPECT_EQ(bytes[19], 1) << "read version: rollback journal";
    {
        Database db(file);
        EXPECT_EQ(db.Value("PRAGMA integrity_check"), "ok");
        EXPECT_EQ(db.Count("SELECT count(*) FROM tBugReport"), 30);
    }
    const Outcome summary = Run("summary '" + file + "'");
    EXPECT_EQ(summary.status, 0) << summary.errors;
    // Never overwritten by a later run, not even by one byte.
    const std::string before = ReadFile(file);
    const Outcome again = Run("demo '" + file + "' --bugs 1");
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.errors.find("already exists; it is not overwritten"), std::string::npos)
        << again.errors;
    EXPECT_TRUE(ReadFile(file) == before);
}

} // namespace
} // namespace velmora::test
