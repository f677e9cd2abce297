// A run on a server: its database is made and dropped with the run, and what a client leaves
// behind on the server (a session, an open transaction, the write lock) is found.
#include <cstdlib>

#include <gtest/gtest.h>

#include "DatabaseProbe.h"
#include "Invariants.h"
#include "RunDatabase.h"
#include "ServerSessions.h"
#include "WorkerSeed.h"
#include "Workspace.h"
#include "engine/db/ConnectionString.h"
#include "engine/db/Database.h"
#include "engine/log/Log.h"
#include "tests/support/TestDataSource.h"

namespace velmora::stress {
namespace {

using test::TestDataSource;

bool Mentions(const std::vector<std::string>& lines, const std::string& text) {
    for (const auto& line : lines) {
        if (line.find(text) != std::string::npos) return true;
    }
    return false;
}

class ServerRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!TestDataSource::UsesServer()) GTEST_SKIP() << "needs a server";
        const char* server = std::getenv("VELMORA_TEST_SERVER");
        ASSERT_TRUE(server && *server) << "VELMORA_TEST_SERVER names no server";
        maintenance_ = server;
        log::SetLogDirectoryForTesting(folder_.Path() + "/");
    }
    void TearDown() override { log::SetLogDirectoryForTesting(""); }

    // The database a URI names: the path after the host, before the query.
    static std::string NameIn(const std::string& uri) {
        const size_t start = uri.find("/velmora_stress_") + 1;
        return uri.substr(start, uri.find('?', start) - start);
    }

    static std::string DatabasesNamed(const std::string& maintenance, const std::string& name) {
        return TestDataSource::QueryText(
            maintenance, "SELECT COUNT(*) FROM pg_database WHERE datname = '" + name + "'");
    }

    Workspace folder_{"", "velmora-server-run"};
    std::string maintenance_;
};

TEST_F(ServerRunTest, TheRunsDatabaseIsMadeAndDroppedWithTheRun) {
    std::string uri;
    {
        RunDatabase run(folder_, "unused.mdb", maintenance_);
        uri = run.DataSource();
        EXPECT_TRUE(run.OnServer());
        EXPECT_NE(uri.find("/velmora_stress_"), std::string::npos);
        CreateWorkerDatabase(uri, 1);
        EXPECT_EQ(run.PrepareIntegrityCheck(), "");
        EXPECT_EQ(CheckInvariants(DatabaseProbe(uri)), std::vector<std::string>{});
    }
    const std::string name = NameIn(uri);
    ASSERT_EQ(name.rfind("velmora_stress_", 0), 0u) << uri;
    EXPECT_EQ(DatabasesNamed(maintenance_, name), "0");
}

TEST_F(ServerRunTest, AKeptDatabaseStays) {
    std::string name;
    {
        RunDatabase run(folder_, "unused.mdb", maintenance_);
        name = NameIn(run.DataSource());
        EXPECT_EQ(DatabasesNamed(maintenance_, name), "1");
        run.Keep();
    }
    EXPECT_EQ(DatabasesNamed(maintenance_, name), "1");
    EXPECT_EQ(TestDataSource::Execute(maintenance_, "DROP DATABASE " + name), "");
}

TEST_F(ServerRunTest, ATransactionLeftOpenAndItsWriteLockAreFound) {
    RunDatabase run(folder_, "unused.mdb", maintenance_);
    CreateWorkerDatabase(run.DataSource(), 1);
    const DatabaseProbe probe(run.DataSource());
    EXPECT_EQ(AwaitOtherSessionsEnd(probe, std::chrono::milliseconds(2000)).violations,
              std::vector<std::string>{});
    {
        // Another client: the same database under another spelling gets a connection of its own.
        db::Connection other;
        other.Open(db::MakeConnectionString(run.DataSource() + "&application_name=other"));
        other.BeginTrans();
        const SessionsLeft left = AwaitOtherSessionsEnd(probe, std::chrono::milliseconds(100));
        EXPECT_TRUE(Mentions(left.violations, "idle in transaction (a transaction left open)"))
            << ::testing::PrintToString(left.violations);
        EXPECT_TRUE(Mentions(left.violations, "an advisory lock (ExclusiveLock) is held by"));
        other.RollbackTrans();
    }
    // The client closed its connection: its session ends, and nothing is left.
    const SessionsLeft left = AwaitOtherSessionsEnd(probe, std::chrono::milliseconds(5000));
    EXPECT_EQ(left.violations, std::vector<std::string>{});
}

TEST(RunDatabaseTest, AFileRunRefusesAFolderThatHoldsItsDatabase) {
    Workspace folder("", "velmora-run-file");
    {
        RunDatabase run(folder, "run.mdb", "");
        EXPECT_FALSE(run.OnServer());
        EXPECT_EQ(run.DataSource(), folder.Child("run.mdb"));
        EXPECT_EQ(run.PrepareIntegrityCheck(), "");
        CreateWorkerDatabase(run.DataSource(), 1);
    }
    EXPECT_THROW(RunDatabase(folder, "run.mdb", ""), std::runtime_error);
    EXPECT_THROW(RunDatabase(folder, "other.mdb", "/not/a/uri"), std::invalid_argument);
}

} // namespace
} // namespace velmora::stress
