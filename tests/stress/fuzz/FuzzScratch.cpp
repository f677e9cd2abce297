#include "FuzzScratch.h"

#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "FuzzCheck.h"
#include "engine/db/Schema.h"
#include "engine/log/Log.h"

namespace velmora::fuzz {

void FuzzFailure(const char* file, int line, const std::string& what) {
    std::fprintf(stderr, "\n==fuzz== property broken at %s:%d: %s\n", file, line, what.c_str());
    std::fflush(stderr);
    std::abort();
}

Scratch& Scratch::Get() {
    static Scratch scratch;
    return scratch;
}

Scratch::Scratch() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/velmora-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        FuzzFailure(__FILE__, __LINE__, "cannot make a private directory in " + pattern);
    root_ = pattern;
    std::filesystem::create_directory(EngineTemp());
    std::filesystem::create_directory(root_ / "log");
    setenv("TMPDIR", EngineTemp().c_str(), 1);
    log::SetLogDirectoryForTesting((root_ / "log").string() + "/");
}

Scratch::~Scratch() {
    log::SetLogDirectoryForTesting("");
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

void Scratch::DiscardErrorLog() const {
    std::error_code ignored;
    std::filesystem::remove(root_ / "log" / log::kErrorLogFileName, ignored);
}

std::vector<std::string> Listing(const std::filesystem::path& dir) {
    std::vector<std::string> paths;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(dir, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        std::string relative = std::filesystem::relative(it->path(), dir).string();
        if (it->is_directory() && !it->is_symlink()) relative += '/';
        paths.push_back(std::move(relative));
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

void MakeSampleDatabase(const std::filesystem::path& path) {
    if (const std::string problem = db::CreateSeedDatabase(path.string()); !problem.empty())
        throw std::runtime_error(problem);
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + path.string());
    }
    char* message = nullptr;
    const int rc = sqlite3_exec(
        db,
        "INSERT INTO tBugReport (BugID, BugType, StatusName, Description, ReportedBy, "
        "ReportedDate, ReportedByID) VALUES "
        "(1, 0, 'New', 'app crash on start', 'O''Brien', 38051.5, 1), "
        "(2, 1, 'Closed', 'typo in menu', 'Smith', 38052.0, 1), "
        "(3, 0, 'Active', 'x'' OR ''1''=''1', 'Lee', -1.25, 2), "
        "(4, 0, NULL, NULL, NULL, NULL, NULL), "
        "(5, 1, 'Fixed', '%_ wildcards [a] \"quoted\" #1/2/2003#', 'Jones', 2958465.5, 1);"
        "INSERT INTO tAttachment VALUES (1, 1, 'notes.txt', 5, 38051.0, x'0102030405');",
        nullptr, nullptr, &message);
    const std::string problem = message != nullptr ? message : "";
    sqlite3_free(message);
    sqlite3_close(db);
    if (rc != SQLITE_OK) throw std::runtime_error("cannot fill the sample database: " + problem);
}

} // namespace velmora::fuzz
