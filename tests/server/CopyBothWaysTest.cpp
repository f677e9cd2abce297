// `velmora copy` from a file to a server and back, run as a user would: the file that comes back
// holds every row of every table of the original and every attachment byte for byte; a server
// database that holds tables is never written into; an interrupted copy leaves the server
// database without tables, ready for another try.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/db/DataSource.h"
#include "tests/support/TestDataSource.h"
#include "tests/tools/ToolTestSupport.h"

extern char** environ;

namespace velmora::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

class CopyBothWays : public ToolTest {
  protected:
    void SetUp() override {
        const char* server = std::getenv("VELMORA_TEST_SERVER");
        if (server == nullptr || *server == '\0')
            GTEST_SKIP() << "VELMORA_TEST_SERVER is not set: no server to copy to";
        setenv("VELMORA_TEST_BACKEND", "postgresql", 1);
        ToolTest::SetUp();
    }

    // A new, empty database on the server.
    std::string EmptyServerDatabase() { return servers_.Create(dir_.File(""), "unused"); }

    // A file of random bytes (every byte value, zeros included) in the folder.
    std::string MakeInput(const std::string& name, size_t size, unsigned seed) {
        std::string bytes(size, '\0');
        std::mt19937 random(seed);
        for (char& byte : bytes)
            byte = static_cast<char>(random() & 0xff);
        const std::string path = dir_.File("input-" + name);
        std::ofstream(path, std::ios::binary).write(bytes.data(), bytes.size());
        return path;
    }
    // Reports a bug in the demo database with the given files attached.
    void Attach(const std::string& database, const std::vector<std::string>& files) {
        std::string arguments = "bugs add '" + database +
                                "' --login Admin --password '' --version 'Harbor Ledger/2.1' "
                                "--description 'With files'";
        for (const std::string& file : files)
            arguments += " --attach '" + file + "'";
        const Outcome added = Run(arguments);
        ASSERT_EQ(added.status, 0) << added.errors;
    }
    static Rows SortedRows(const std::string& file, const std::string& table) {
        Rows rows = Database(file).Rows("SELECT * FROM " + table);
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    static std::vector<std::string> Tables(const std::string& file) {
        std::vector<std::string> names;
        for (const auto& row : Database(file).Rows(
                 "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"))
            names.push_back(row[0]);
        return names;
    }
    // Rows per table, the counters and the attachments' sizes of a server database: enough to
    // tell whether anything was written to it.
    static std::string ServerState(const std::string& uri) {
        std::string state;
        for (const auto& row : TestDataSource::QueryRows(
                 uri, "SELECT table_name FROM information_schema.tables WHERE table_schema = "
                      "'public' ORDER BY 1")) {
            state += row[0] + "=" +
                     TestDataSource::QueryText(uri, "SELECT COUNT(*) FROM \"" + row[0] + "\"") +
                     " ";
        }
        return state;
    }
    static std::string ServerTableCount(const std::string& uri) {
        return TestDataSource::QueryText(
            uri, "SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = 'public'");
    }

    TestDataSource servers_;
};

TEST_F(CopyBothWays, AFileCopiedToAServerAndBackIsTheSameTableByTable) {
    const std::string source = MakeDemo("team.mdb", "--bugs 40");
    const std::string big = MakeInput("trace.bin", 6 * 1024 * 1024 + 5, 3);
    Attach(source, {big, MakeInput("small.txt", 10, 4), MakeInput("one.bin", 1, 5)});
    Execute(source, "INSERT INTO tAttachment (AttachmentID, BugID, FileName, FileSize, FileContent)"
                    " VALUES (90001, 1, 'nothing.txt', 0, NULL), "
                    "(90002, 1, 'empty.txt', 0, x'')");
    // Texts that differ only in letter case, and quotes, survive as they are.
    Execute(source, "INSERT INTO tStatus VALUES ('reopened'), ('REOPENED'), ('it''s \"odd\"')");

    const std::string server = EmptyServerDatabase();
    const Outcome up = Run("copy '" + source + "' '" + server + "'");
    ASSERT_EQ(up.status, 0) << up.errors;
    EXPECT_NE(up.output.find("Copied '" + source + "' to '" + db::MaskedDataSource(server) +
                             "': 18 tables, "),
              std::string::npos)
        << up.output;
    // On the server as a client reads it: the large attachment byte for byte, NULL and empty apart.
    const std::string attachment = "SELECT FileContent FROM tAttachment WHERE FileName = "
                                   "'input-trace.bin'";
    EXPECT_TRUE(TestDataSource::QueryBytes(server, attachment) ==
                Database(source).Value(attachment).substr(5))
        << "the stored archive differs";
    EXPECT_EQ(TestDataSource::QueryRows(
                  server, "SELECT AttachmentID, FileContent IS NULL, length(FileContent) FROM "
                          "tAttachment WHERE AttachmentID > 90000 ORDER BY 1"),
              (Rows{{"90001", "t", "NULL"}, {"90002", "f", "0"}}));

    const std::string back = dir_.File("back.mdb");
    const Outcome down = Run("copy '" + server + "' '" + back + "'");
    ASSERT_EQ(down.status, 0) << down.errors;
    EXPECT_NE(down.output.find("to '" + back + "': 18 tables, "), std::string::npos) << down.output;

    EXPECT_EQ(Database(back).Value("PRAGMA integrity_check"), "ok");
    ASSERT_EQ(Tables(back), Tables(source));
    size_t nonEmpty = 0;
    for (const std::string& table : Tables(source)) {
        SCOPED_TRACE(table);
        const Rows rows = SortedRows(source, table);
        const Rows copied = SortedRows(back, table);
        EXPECT_EQ(copied.size(), rows.size());
        EXPECT_TRUE(copied == rows) << "the rows differ";
        if (copied != rows) {
            for (size_t i = 0; i < std::min(rows.size(), copied.size()); ++i) {
                if (rows[i] == copied[i]) continue;
                for (size_t c = 0; c < std::min(rows[i].size(), copied[i].size()); ++c)
                    if (rows[i][c] != copied[i][c])
                        ADD_FAILURE()
                            << "row " << i << " column " << c << ": " << rows[i][c].substr(0, 80)
                            << " became " << copied[i][c].substr(0, 80);
                break;
            }
        }
        nonEmpty += !rows.empty();
    }
    EXPECT_GE(nonEmpty, 15u) << "the demo fills nearly every table";
    EXPECT_EQ(Database(back).Rows("SELECT * FROM tNextID"),
              Database(source).Rows("SELECT * FROM tNextID"));
    EXPECT_TRUE(Database(back).Value(attachment) == Database(source).Value(attachment));
    EXPECT_GE(Database(back).Value(attachment).size(), ReadFile(big).size());
    EXPECT_EQ(Database(back).Rows("SELECT AttachmentID, typeof(FileContent) FROM tAttachment "
                                  "WHERE AttachmentID > 90000 ORDER BY 1"),
              (Rows{{"90001", "null"}, {"90002", "blob"}}));

    // The server's copy is a database like the file: the same summary.
    const Outcome onServer = Run("summary '" + server + "' mhart mhart-demo");
    EXPECT_EQ(onServer.status, 0) << onServer.errors;
    const Outcome onFile = Run("summary '" + source + "' mhart mhart-demo");
    const auto body = [](const std::string& text) { return text.substr(text.find('\n')); };
    EXPECT_EQ(body(onServer.output), body(onFile.output));
}

TEST_F(CopyBothWays, AServerDatabaseThatHoldsTablesIsRefusedAndUntouched) {
    const std::string source = MakeDemo("team.mdb", "--bugs 5");
    const std::string server = EmptyServerDatabase();
    ASSERT_EQ(Run("copy '" + source + "' '" + server + "'").status, 0);
    const std::string other = EmptyServerDatabase();
    ASSERT_EQ(TestDataSource::Execute(other, "CREATE TABLE notes (line text); INSERT INTO notes "
                                             "VALUES ('kept')"),
              "");
    for (const std::string& destination : {server, other}) {
        SCOPED_TRACE(db::MaskedDataSource(destination));
        const std::string before = ServerState(destination);
        const Outcome outcome = Run("copy '" + source + "' '" + destination + "'");
        EXPECT_EQ(outcome.status, 1);
        EXPECT_NE(outcome.errors.find("'" + db::MaskedDataSource(destination) +
                                      "' already holds tables; a copy goes only into an empty "
                                      "database"),
                  std::string::npos)
            << outcome.errors;
        EXPECT_EQ(outcome.output, "");
        EXPECT_EQ(ServerState(destination), before);
    }
    EXPECT_EQ(ServerState(other), "notes=1 ");
}

// The copy is interrupted while it writes: the server rolls its transaction back, leaving the
// destination without a table (nor the column kinds made with them), and the next copy into it
// goes through.
TEST_F(CopyBothWays, AnInterruptedCopyLeavesTheServerDatabaseEmpty) {
    const std::string source = MakeDemo("team.mdb", "--bugs 300");
    Attach(source,
           {MakeInput("a.bin", 16 * 1024 * 1024, 1), MakeInput("b.bin", 16 * 1024 * 1024, 2)});
    const std::string before = ReadFile(source);
    const std::string destination = EmptyServerDatabase();
    const std::string maintenance = std::getenv("VELMORA_TEST_SERVER");
    // The database's name: the path after the authority, up to the query.
    const size_t path = destination.find('/', destination.find("://") + 3) + 1;
    const std::string database = destination.substr(path, destination.find('?', path) - path);

    const std::string tool = VELMORA_TOOL_PATH;
    std::vector<char*> argv = {const_cast<char*>(tool.c_str()), const_cast<char*>("copy"),
                               const_cast<char*>(source.c_str()),
                               const_cast<char*>(destination.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    ASSERT_EQ(0, posix_spawn(&child, tool.c_str(), &actions, nullptr, argv.data(), environ));
    posix_spawn_file_actions_destroy(&actions);

    // At work: the copy holds the destination's write lock and has made its tables (seen from
    // inside its transaction only, so the lock and the rows it has sent tell).
    const std::string locked =
        "SELECT COUNT(*) FROM pg_locks l JOIN pg_database d ON d.oid = l.database WHERE "
        "l.locktype = 'advisory' AND l.granted AND d.datname = '" +
        database + "'";
    bool copying = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!copying && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        copying = TestDataSource::QueryText(maintenance, locked) != "0";
    }
    ASSERT_TRUE(copying) << "the copy was never seen at work";
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    EXPECT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the copy had finished";

    // The server notices the client is gone and rolls back.
    std::string tables;
    for (int i = 0; i < 100; ++i) {
        if (TestDataSource::QueryText(maintenance, locked) == "0" &&
            (tables = ServerTableCount(destination)) == "0")
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_EQ(tables, "0");
    EXPECT_EQ(TestDataSource::QueryText(destination, "SELECT COUNT(*) FROM pg_type WHERE typname "
                                                     "IN ('yesno', 'byte', 'oledate')"),
              "0");
    EXPECT_TRUE(ReadFile(source) == before);

    const Outcome again = Run("copy '" + source + "' '" + destination + "'");
    EXPECT_EQ(again.status, 0) << again.errors;
    EXPECT_EQ(ServerTableCount(destination), "18");
}

} // namespace
} // namespace velmora::test
