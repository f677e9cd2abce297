// `velmora copy` between files, run as a user would: the copy holds every row of every table
// and every attachment byte for byte; an existing destination, a missing or empty source and an
// interruption leave the destination as it was (or absent) and no temporary folder behind.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "ToolTestSupport.h"

extern char** environ;

namespace velmora::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

class CopyCommand : public ToolTest {
  protected:
    // The names in the folder that the tool may have made (the registry and inputs aside).
    std::vector<std::string> Made() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.File(""))) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("registry", 0) != 0 && name != "stderr" && name.rfind("input", 0) != 0)
                names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
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
    // Every row of the table as text, sorted, so that two databases compare row by row
    // whatever order their rows are stored in.
    static Rows SortedRows(const std::string& database, const std::string& table) {
        Rows rows = Database(database).Rows("SELECT * FROM " + table);
        std::sort(rows.begin(), rows.end());
        return rows;
    }
};

TEST_F(CopyCommand, TheCopyHoldsEveryRowAndEveryAttachmentByteForByte) {
    const std::string source = MakeDemo("team.mdb", "--bugs 50");
    const std::string big = MakeInput("trace.bin", 3 * 1024 * 1024 + 17, 7);
    Attach(source, {big, MakeInput("small.txt", 10, 8)});
    Execute(source, "INSERT INTO tAttachment (AttachmentID, BugID, FileName, FileSize, FileContent)"
                    " VALUES (90001, 1, 'nothing.txt', 0, NULL), "
                    "(90002, 1, 'empty.txt', 0, x'')");

    const std::string copy = dir_.File("copy.mdb");
    const Outcome copied = Run("copy '" + source + "' '" + copy + "'");
    ASSERT_EQ(copied.status, 0) << copied.errors;
    EXPECT_EQ(copied.errors, "") << "no progress line when stderr is not a terminal";
    EXPECT_NE(copied.output.find("Copied '" + source + "' to '" + copy + "': 18 tables, "),
              std::string::npos)
        << copied.output;
    EXPECT_NE(copied.output.find(" bytes ("), std::string::npos) << copied.output;
    EXPECT_EQ(Made(), (std::vector<std::string>{"copy.mdb", "team.mdb"}));

    const Database original(source), duplicate(copy);
    EXPECT_EQ(duplicate.Value("PRAGMA integrity_check"), "ok");
    // The same tables and indexes, made by the same statements.
    EXPECT_EQ(duplicate.Rows("SELECT type, name, sql FROM sqlite_master ORDER BY name"),
              original.Rows("SELECT type, name, sql FROM sqlite_master ORDER BY name"));
    size_t nonEmpty = 0;
    for (const auto& table : original.Rows("SELECT name FROM sqlite_master WHERE type='table'")) {
        SCOPED_TRACE(table[0]);
        const Rows rows = SortedRows(source, table[0]);
        EXPECT_EQ(SortedRows(copy, table[0]), rows);
        nonEmpty += !rows.empty();
    }
    EXPECT_GE(nonEmpty, 15u) << "the demo fills nearly every table";
    EXPECT_EQ(duplicate.Rows("SELECT * FROM tNextID"), original.Rows("SELECT * FROM tNextID"));
    // The large attachment arrives byte for byte, and NULL and empty contents stay apart.
    const std::string query =
        "SELECT FileContent FROM tAttachment WHERE FileName = 'input-trace.bin'";
    const std::string content = duplicate.Value(query);
    EXPECT_GE(content.size(), ReadFile(big).size());
    EXPECT_TRUE(content == original.Value(query));
    EXPECT_EQ(duplicate.Rows("SELECT AttachmentID, typeof(FileContent) FROM tAttachment WHERE "
                             "AttachmentID > 90000 ORDER BY 1"),
              (Rows{{"90001", "null"}, {"90002", "blob"}}));

    // The copy is a database like any other.
    const Outcome summary = Run("summary '" + copy + "' mhart mhart-demo");
    EXPECT_EQ(summary.status, 0) << summary.errors;
    EXPECT_EQ(
        summary.output,
        Run("summary '" + source + "' mhart mhart-demo").output.replace(10, source.size(), copy));
}

TEST_F(CopyCommand, AnExistingDestinationIsNeverTouched) {
    const std::string source = MakeDemo("team.mdb", "--bugs 5");
    const std::string other = MakeDemo("other.mdb", "--bugs 1");
    const std::string text = dir_.File("notes.txt");
    std::ofstream(text) << "not a database\n";
    for (const std::string& destination : {other, text, source}) {
        SCOPED_TRACE(destination);
        const std::string before = ReadFile(destination);
        const Outcome outcome = Run("copy '" + source + "' '" + destination + "'");
        EXPECT_EQ(outcome.status, 1);
        EXPECT_NE(
            outcome.errors.find("'" + destination + "' already exists; it is not overwritten"),
            std::string::npos)
            << outcome.errors;
        EXPECT_EQ(outcome.output, "");
        EXPECT_TRUE(ReadFile(destination) == before);
    }
    EXPECT_EQ(Made(), (std::vector<std::string>{"notes.txt", "other.mdb", "team.mdb"}));
}

TEST_F(CopyCommand, ASourceThatIsNoDatabaseMakesNothing) {
    const std::string destination = dir_.File("copy.mdb");
    const Outcome missing = Run("copy '" + dir_.File("absent.mdb") + "' '" + destination + "'");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.errors.find("the source '" + dir_.File("absent.mdb") + "' does not exist"),
              std::string::npos)
        << missing.errors;

    const std::string empty = dir_.File("input-empty.mdb");
    std::ofstream{empty};
    const Outcome nothing = Run("copy '" + empty + "' '" + destination + "'");
    EXPECT_EQ(nothing.status, 1);
    EXPECT_NE(nothing.errors.find("holds no tables; there is nothing to copy"), std::string::npos)
        << nothing.errors;

    // A database that lacks one of the tables: found out while copying, and nothing is kept.
    const std::string partial = dir_.File("input-partial.mdb");
    std::ofstream{partial};
    Execute(partial, "CREATE TABLE tSystem (DBVersion TEXT)");
    const Outcome lacking = Run("copy '" + partial + "' '" + destination + "'");
    EXPECT_EQ(lacking.status, 1);
    EXPECT_NE(lacking.errors.find("tNextID"), std::string::npos) << lacking.errors;

    EXPECT_EQ(Made(), std::vector<std::string>{});
}

TEST_F(CopyCommand, ArgumentsAreChecked) {
    const std::string source = MakeDemo("team.mdb", "--bugs 1");
    for (const std::string& arguments : std::vector<std::string>{
             "copy", "copy '" + source + "'", "copy '" + source + "' a.mdb b.mdb",
             "copy --fast '" + source + "' a.mdb"}) {
        SCOPED_TRACE(arguments);
        const Outcome outcome = Run(arguments);
        EXPECT_EQ(outcome.status, 2);
        EXPECT_NE(outcome.errors.find("Usage: velmora copy SOURCE DESTINATION"), std::string::npos)
            << outcome.errors;
    }
    const Outcome help = Run("copy --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("one transaction"), std::string::npos) << help.output;
    EXPECT_NE(Run("--help").output.find("copy SOURCE DESTINATION"), std::string::npos);
    EXPECT_EQ(Made(), std::vector<std::string>{"team.mdb"});
}

// The copy is interrupted once its destination, being built under a hidden name, has grown:
// afterwards there is neither the destination nor the hidden folder, and the source, which
// nobody could change meanwhile, is as it was.
TEST_F(CopyCommand, AnInterruptedCopyLeavesNothingBehind) {
    const std::string source = MakeDemo("team.mdb", "--bugs 300");
    Attach(source,
           {MakeInput("a.bin", 24 * 1024 * 1024, 1), MakeInput("b.bin", 24 * 1024 * 1024, 2)});
    const std::string before = ReadFile(source);
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        const std::string destination = dir_.File("moved.mdb");
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

        bool copying = false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!copying && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            for (const std::string& name : Made()) {
                std::error_code error;
                const auto size = std::filesystem::file_size(dir_.File(name + "/moved.mdb"), error);
                if (!error && size > 64 * 1024) copying = true;
            }
        }
        EXPECT_TRUE(copying) << "the copy was never seen at work";
        // Meanwhile the source takes no changes: the copy holds its write lock.
        EXPECT_THROW(Execute(source, "DELETE FROM tStatus"), std::runtime_error);
        kill(child, signal);
        int status = 0;
        ASSERT_EQ(child, waitpid(child, &status, 0));
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(Made(), std::vector<std::string>{"team.mdb"});
    }
    EXPECT_TRUE(ReadFile(source) == before);
    EXPECT_EQ(Database(source).Value("PRAGMA integrity_check"), "ok");
}

} // namespace
} // namespace velmora::test
