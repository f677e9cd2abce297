#pragma once
// Helpers for running the `velmora` tool as a user would: a private directory with its own
// registry in which the engine is registered, the tool run with its output captured, and
// read-only queries on the databases it makes.
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmora::test {

// A private directory, removed with everything in it. It is made in RAM-backed /dev/shm when
// the system has it: the engine syncs every write to disk, which would make each demo run take
// seconds on a slow disk.
class TempDir {
  public:
    TempDir() {
        std::error_code error;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = (base / "velmora-tool-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string File(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// Sets an environment variable for the life of the object.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_.c_str(), old_->c_str(), 1);
        else
            unsetenv(name_.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string name_;
    std::optional<std::string> old_;
};

struct Outcome {
    int status = -1;
    std::string output; // stdout
    std::string errors; // stderr
};

// Runs `velmora ARGUMENTS` (arguments are passed through the shell as written).
inline Outcome RunTool(const std::string& arguments, const std::string& errorFile) {
    Outcome outcome;
    const std::string command =
        std::string(VELMORA_TOOL_PATH) + " " + arguments + " 2>'" + errorFile + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return outcome;
    char buffer[4096];
    while (size_t read = fread(buffer, 1, sizeof(buffer), pipe))
        outcome.output.append(buffer, read);
    const int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream errors(errorFile);
    std::ostringstream text;
    text << errors.rdbuf();
    outcome.errors = text.str();
    return outcome;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A fresh folder with a registry of its own in which the built engine is registered, so that
// the tool finds it as an installed one would.
class ToolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const Outcome registered = Run("register");
        ASSERT_EQ(registered.status, 0) << registered.errors;
    }
    Outcome Run(const std::string& arguments) { return RunTool(arguments, dir_.File("stderr")); }
    // Makes a demo database in the folder and returns its path.
    std::string MakeDemo(const std::string& name, const std::string& options) {
        const std::string file = dir_.File(name);
        const Outcome made = Run("demo '" + file + "' " + options);
        EXPECT_EQ(made.status, 0) << made.errors;
        return file;
    }

    TempDir dir_;
    ScopedEnv registry_{"VELMORA_REGISTRY", dir_.File("registry")};
    ScopedEnv library_{"VELMORA_LIBRARY", VELMORA_LIBRARY_PATH};
};

// A database opened read-only, with each result row as text: numbers as written by SQLite,
// reals with all their digits, blobs as their bytes, NULL as a marker of its own.
class Database {
  public:
    explicit Database(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open " + path);
    }
    ~Database() { sqlite3_close(db_); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    std::vector<std::vector<std::string>> Rows(const std::string& sql) const {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
            throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
        std::vector<std::vector<std::string>> rows;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            std::vector<std::string>& row = rows.emplace_back();
            for (int i = 0; i < sqlite3_column_count(statement); ++i)
                row.push_back(Cell(statement, i));
        }
        sqlite3_finalize(statement);
        return rows;
    }
    std::string Value(const std::string& sql) const {
        const auto rows = Rows(sql);
        return rows.empty() || rows[0].empty() ? std::string() : rows[0][0];
    }
    long Count(const std::string& sql) const { return std::stol(Value(sql)); }

  private:
    static std::string Cell(sqlite3_stmt* statement, int column) {
        switch (sqlite3_column_type(statement, column)) {
        case SQLITE_NULL:
            return "<null>";
        case SQLITE_FLOAT: {
            char text[40];
            std::snprintf(text, sizeof text, "%.17g", sqlite3_column_double(statement, column));
            return text;
        }
        case SQLITE_BLOB: {
            const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
            return "blob:" + std::string(bytes, bytes + sqlite3_column_bytes(statement, column));
        }
        default:
            return reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        }
    }

    sqlite3* db_ = nullptr;
};

// Runs one changing statement on the file, as an administrator with a database tool would.
inline void Execute(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    const bool done =
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
        sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    const std::string error = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    if (!done) throw std::runtime_error(sql + ": " + error);
}

} // namespace velmora::test
