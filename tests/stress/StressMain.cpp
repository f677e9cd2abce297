// velmora_stress: several worker processes change one database through the object model at
// once; afterwards the database is checked against what every worker was told.
#include <chrono>
#include <exception>
#include <iostream>
#include <sstream>

#include "ChildProcess.h"
#include "CommandLine.h"
#include "DatabaseProbe.h"
#include "Invariants.h"
#include "JournalFile.h"
#include "RunDatabase.h"
#include "ServerSessions.h"
#include "StressChecker.h"
#include "StressFinalChecks.h"
#include "StressSummary.h"
#include "StressWorker.h"
#include "WorkerSeed.h"
#include "Workspace.h"
#include "engine/log/Log.h"

namespace velmora::stress {
namespace {

constexpr const char* kUsage =
    "usage: velmora_stress [--clients K] [--operations M | --seconds T] [--seed S]\n"
    "                      [--server URI] [--dir D] [--keep]\n"
    "  --clients K      worker processes on the one database (default 4)\n"
    "  --operations M   operations per worker (default 500)\n"
    "  --seconds T      run for T seconds instead of a number of operations\n"
    "  --seed S         seed of every random choice (default 1)\n"
    "  --server URI     work on a new database on this PostgreSQL server (a maintenance URI\n"
    "                   such as $VELMORA_TEST_SERVER) instead of a file\n"
    "  --dir D          work in folder D (kept) instead of a new temporary one\n"
    "  --keep           keep the temporary folder and the server database (both are kept\n"
    "                   anyway after a violation)\n";

// How long the sessions of clients that ended may take to leave the server.
constexpr std::chrono::milliseconds kSessionEndLimit{15000};

std::string JoinIds(const std::vector<LONG>& ids) {
    std::string text;
    for (const LONG id : ids)
        text += (text.empty() ? "" : ",") + std::to_string(id);
    return text;
}

std::vector<LONG> SplitIds(const std::string& text) {
    std::vector<LONG> ids;
    std::istringstream in(text);
    std::string part;
    while (std::getline(in, part, ','))
        ids.push_back(static_cast<LONG>(std::stol(part)));
    return ids;
}

std::string JournalPath(const Workspace& workspace, int worker) {
    return workspace.Child("worker" + std::to_string(worker + 1) + ".journal");
}

int RunWorker(const CommandLine& options) {
    StressPlan plan;
    plan.worker = static_cast<int>(options.Number("worker", 0, 0, 999));
    plan.database = options.Text("database", "");
    plan.journal = options.Text("journal", "");
    plan.scratch = options.Text("scratch", "");
    plan.versionId = static_cast<LONG>(options.Number("version", 0, 1, INT32_MAX));
    plan.classIds = SplitIds(options.Text("classes", ""));
    plan.seed = static_cast<uint64_t>(options.Number("seed", 1, 0, INT64_MAX));
    plan.operations = options.Number("operations", 0, 0, INT32_MAX);
    plan.deadlineMs = options.Number("deadline-ms", 0, 0, INT64_MAX);
    if (plan.classIds.empty()) throw std::invalid_argument("--classes is missing");
    return RunStressWorker(plan);
}

int RunParent(const CommandLine& options) {
    const int workers = static_cast<int>(options.Number("clients", 4, 1, 64));
    const int64_t seconds = options.Number("seconds", 0, 0, 86400);
    const int64_t operations = seconds > 0 ? 0 : options.Number("operations", 500, 1, INT32_MAX);
    const int64_t seed = options.Number("seed", 1, 0, INT64_MAX);
    if (seconds > 0 && options.Has("operations"))
        throw std::invalid_argument("--operations and --seconds exclude each other");

    Workspace workspace(options.Text("dir", ""), "velmora-stress");
    RunDatabase run(workspace, "stress.mdb", options.Text("server", ""));
    if (options.Has("keep")) {
        workspace.Keep();
        run.Keep();
    }
    const std::string& database = run.DataSource();
    log::SetLogDirectoryForTesting(workspace.Path() + "/");
    const SeedLayout layout = CreateWorkerDatabase(database, workers);
    const std::string noStorageCheck = run.PrepareIntegrityCheck();
    const SeedRows seedRows = ReadSeedRows(DatabaseProbe(database));

    const auto started = std::chrono::steady_clock::now();
    const int64_t deadline = seconds == 0 ? 0
                                          : std::chrono::duration_cast<std::chrono::milliseconds>(
                                                std::chrono::system_clock::now().time_since_epoch())
                                                    .count() +
                                                seconds * 1000;
    std::vector<ChildProcess> children;
    for (int worker = 0; worker < workers; ++worker) {
        children.emplace_back(std::vector<std::string>{
            "--worker", std::to_string(worker), "--database", database, "--journal",
            JournalPath(workspace, worker), "--scratch", workspace.Path(), "--version",
            std::to_string(layout.versionId), "--classes", JoinIds(layout.classIds), "--seed",
            std::to_string(seed), "--operations", std::to_string(operations), "--deadline-ms",
            std::to_string(deadline)});
    }
    std::vector<std::string> violations;
    for (int worker = 0; worker < workers; ++worker) {
        const int status = children[static_cast<size_t>(worker)].Wait();
        if (!ChildProcess::ExitedCleanly(status))
            violations.push_back("worker " + std::to_string(worker + 1) + " ended with " +
                                 ChildProcess::Describe(status));
    }
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    std::vector<WorkerJournal> journals;
    for (int worker = 0; worker < workers; ++worker) {
        JournalContents contents = ReadJournal(JournalPath(workspace, worker));
        if (contents.unreadableLines > 0)
            violations.push_back("worker " + std::to_string(worker + 1) + " journal: " +
                                 std::to_string(contents.unreadableLines) + " unreadable lines");
        journals.push_back({worker, std::move(contents.records)});
    }
    const StressExpectation expected = BuildExpectation(journals);
    violations.insert(violations.end(), expected.violations.begin(), expected.violations.end());
    std::vector<std::string> notes;
    if (run.OnServer()) {
        // Every client ended: none may have left a session, a transaction or the write lock.
        const SessionsLeft left = AwaitOtherSessionsEnd(DatabaseProbe(database), kSessionEndLimit);
        violations.insert(violations.end(), left.violations.begin(), left.violations.end());
        notes.push_back("every client's server session ended; no advisory lock held");
        notes.push_back(noStorageCheck.empty()
                            ? "storage checked with amcheck (indexes and tables) instead of "
                              "PRAGMA integrity_check"
                            : "skipped on a server: the storage check: " + noStorageCheck);
    }
    {
        const DatabaseProbe db(database);
        for (auto& found : CompareWithDatabase(expected, seedRows, db))
            violations.push_back(std::move(found));
        for (auto& found : CheckInvariants(db))
            violations.push_back(std::move(found));
    }
    for (auto& found : CheckAttachmentContents(database, layout, expected, workspace.Path()))
        violations.push_back(std::move(found));
    for (auto& found : CheckSynchronizedCopies(database, layout))
        violations.push_back(std::move(found));

    std::cout << "database:     " << run.Shown() << "\n";
    for (const std::string& note : notes)
        std::cout << "checks:       " << note << "\n";
    PrintSummary(std::cout, workers, elapsed, CountOperations(journals), violations);
    if (!violations.empty()) {
        workspace.Keep();
        run.Keep();
        std::cout << "kept " << workspace.Path() << " for inspection\n";
        return 1;
    }
    return 0;
}

} // namespace
} // namespace velmora::stress

int main(int argc, char** argv) {
    using namespace velmora::stress;
    try {
        const CommandLine options(argc, argv,
                                  {"clients", "operations", "seconds", "seed", "dir", "server",
                                   "worker", "database", "journal", "scratch", "version", "classes",
                                   "deadline-ms"},
                                  {"keep", "help"});
        if (options.Has("help")) {
            std::cout << kUsage;
            return 0;
        }
        return options.Has("worker") ? RunWorker(options) : RunParent(options);
    } catch (const std::invalid_argument& error) {
        std::cerr << "velmora_stress: " << error.what() << "\n" << kUsage;
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "velmora_stress: " << error.what() << "\n";
        return 2;
    }
}
