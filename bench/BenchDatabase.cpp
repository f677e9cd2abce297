#include "BenchDatabase.h"

#include <sqlite3.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "engine/db/Schema.h"

namespace velmora::bench {
namespace {

const std::vector<std::string> kWords = {
    "crash",  "window", "save",    "file",   "network", "timeout", "button", "dialog", "report",
    "print",  "server", "client",  "memory", "leak",    "slow",    "login",  "user",   "error",
    "value",  "field",  "missing", "wrong",  "after",   "before",  "when",   "the",    "a",
    "update", "delete", "list",    "sort",   "filter",  "icon",    "menu",   "opens",  "closes"};

std::string Words(std::mt19937& random, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i) text += (i % 12 == 0) ? ".\r\n" : " ";
        text += kWords[random() % kWords.size()];
    }
    return text;
}

bool Run(sqlite3* db, const std::string& sql) {
    return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

} // namespace

std::string BuildBenchDatabase(const std::string& path, long bugs) {
    std::remove(path.c_str());
    if (auto error = db::CreateSeedDatabase(path); !error.empty()) return error;
    sqlite3* db = nullptr;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) return "cannot open " + path;
    std::string columns;
    for (const char* flag :
         {"\"Read\"", "\"Add\"", "\"Delete\"", "EditClass", "EditPriority", "EditSeverity",
          "EditReproductive", "EditDescription", "EditRecreateStep", "EditWorkAround",
          "EditReport", "EditResolution", "EditDateDue", "EditAttachment"})
        columns += std::string(", ") + flag;
    std::string ones;
    for (int i = 0; i < 14; ++i) ones += ", 1";
    bool ok = Run(db, "BEGIN") && Run(db, "INSERT INTO tRole VALUES (1, 'Bench', NULL, 0)") &&
              Run(db, "INSERT INTO tRight (RightID, RoleID" + columns + ") VALUES (1, 1" + ones +
                          ")") &&
              Run(db, "INSERT INTO tUserRole VALUES (1, 1)") &&
              Run(db, "UPDATE tNextID SET NextBugID = " + std::to_string(bugs + 1) +
                          ", NextRoleID = 2, NextRightID = 2");
    sqlite3_stmt* insert = nullptr;
    ok = ok && sqlite3_prepare_v2(db,
                                  "INSERT INTO tBugReport (BugID, BugType, Description, Report, "
                                  "RecreateStep, StatusName, PriorityName, SeverityName, "
                                  "ReproductiveName, ReportedByID, ReportedBy, ReportedDate, "
                                  "ReportedInVersionID) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 1, "
                                  "'Admin', ?, 0)",
                                  -1, &insert, nullptr) == SQLITE_OK;
    std::mt19937 random(42);
    const char* statuses[] = {"New", "Active", "Fixed", "Verified"};
    const char* priorities[] = {"Normal", "Low", "High", "Urgent"};
    for (long id = 1; ok && id <= bugs; ++id) {
        const std::string description = Words(random, 8);
        const std::string report = Words(random, 300);
        const std::string steps = Words(random, 80);
        sqlite3_bind_int(insert, 1, static_cast<int>(id));
        sqlite3_bind_int(insert, 2, id % 10 == 0 ? 1 : 0);
        sqlite3_bind_text(insert, 3, description.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 4, report.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 5, steps.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 6, statuses[random() % 4], -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 7, priorities[random() % 4], -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 8, "Normal", -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 9, "Always", -1, SQLITE_STATIC);
        sqlite3_bind_double(insert, 10, 46000.0 + static_cast<double>(id % 700) + 0.5);
        ok = sqlite3_step(insert) == SQLITE_DONE && sqlite3_reset(insert) == SQLITE_OK;
    }
    sqlite3_finalize(insert);
    ok = ok && Run(db, "COMMIT");
    const std::string error = ok ? "" : std::string("building the database: ") + sqlite3_errmsg(db);
    sqlite3_close(db);
    return error;
}

std::string WriteSampleFile(const std::string& path, long megabytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return "cannot write " + path;
    std::mt19937 random(7);
    const long target = megabytes * 1024 * 1024;
    long written = 0;
    while (written < target) {
        std::string line = Words(random, 40) + " " + std::to_string(random()) + "\n";
        if (static_cast<long>(line.size()) > target - written)
            line.resize(static_cast<size_t>(target - written));
        std::fwrite(line.data(), 1, line.size(), file);
        written += static_cast<long>(line.size());
    }
    return std::fclose(file) == 0 ? "" : "cannot write " + path;
}

} // namespace velmora::bench
