// velmora_crash: a worker process changes the database through the object model and is killed
// with SIGKILL at a random moment, round after round; after every kill the database is opened
// as a new client and checked against the worker's side log.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <exception>
#include <fstream>
#include <iostream>
#include <sys/wait.h>
#include <thread>

#include <velmora/ComSupport.h>

#include "ChildProcess.h"
#include "CommandLine.h"
#include "CrashRound.h"
#include "CrashState.h"
#include "CrashWorker.h"
#include "DatabaseProbe.h"
#include "Fingerprint.h"
#include "Invariants.h"
#include "JournalFile.h"
#include "RunDatabase.h"
#include "ServerSessions.h"
#include "WorkerSeed.h"
#include "Workspace.h"
#include "engine/com/EngineObjects.h"
#include "engine/db/DataSource.h"
#include "engine/log/Log.h"
#include "engine/session/ExeContext.h"

namespace velmora::stress {
namespace {

constexpr const char* kUsage =
    "usage: velmora_crash [--rounds N] [--seed S] [--max-delay-ms D] [--server URI] [--dir D]\n"
    "                     [--keep]\n"
    "  --rounds N         workers started and killed (default 20)\n"
    "  --seed S           seed of every random choice (default 1)\n"
    "  --max-delay-ms D   a worker is killed 0 to D milliseconds after it starts (default 400)\n"
    "  --server URI       work on a new database on this PostgreSQL server (a maintenance URI\n"
    "                     such as $VELMORA_TEST_SERVER) instead of a file\n"
    "  --dir D            work in folder D (kept) instead of a new temporary one\n"
    "  --keep             keep the temporary folder and the server database (both are kept\n"
    "                     anyway after a violation)\n";

// How long a killed worker's server session may take to end. A session waiting for a lock
// notices that its client is gone only when the wait ends, which takes up to the lock timeout.
constexpr std::chrono::milliseconds kSessionEndLimit{15000};

struct CrashTotals {
    int rounds = 0;
    int killedInCommit = 0; // the kill left a hot rollback journal: database pages half written
    long longestSessionEndMs = 0;
    long succeeded = 0;
    long failed = 0;
    int inFlightCommitted = 0;
    int inFlightUndone = 0;
    std::vector<std::string> violations;
};

// Whether the rollback journal next to the database is hot: one a reader must play back before
// it may read. A journal whose header is still zero was being written when its process died;
// the database file itself was not touched yet, so it needs no play-back and may stay.
bool HotJournal(const std::string& database) {
    std::ifstream journal(database + "-journal", std::ios::binary);
    char first = 0;
    return journal && journal.get(first) && first != 0;
}

// Opens the database through the engine as a client does after a crash: the first read rolls
// back what the killed worker left unfinished.
void OpenAsNewClient(const std::string& database) {
    auto session = engine::CreateObject<engine::CExeContext>();
    Require(session->OpenAccessDB(com::Bstr(database).Get()), "OpenAccessDB");
    Require(session->Login(com::Bstr("Admin").Get(), com::Bstr("").Get()), "Login Admin");
    com::ComPtr<IProductSet> products;
    Require(session->get_ProductSet(products.Put()), "ProductSet");
}

// On a server the killed worker's session ends when the server notices that its client is gone,
// rolling back the transaction it had open and releasing the write lock with it. Until then a
// COMMIT the worker sent may still be under way, so nothing is checked before the session ended.
void AwaitKilledSession(const std::string& prefix, const std::string& database,
                        CrashTotals& totals) {
    const DatabaseProbe db(database);
    const SessionsLeft left = AwaitOtherSessionsEnd(db, kSessionEndLimit);
    totals.longestSessionEndMs = std::max(totals.longestSessionEndMs, left.waitedMs);
    for (const std::string& violation : left.violations)
        totals.violations.push_back(prefix + violation);
}

// The checks after a kill: open as a new client, then compare with the side log.
void CheckAfterKill(const std::string& prefix, const std::string& database,
                    const std::string& sideLog, CrashState& state, CrashTotals& totals) {
    const bool onServer = db::IsServerDataSource(database);
    if (onServer) AwaitKilledSession(prefix, database, totals);
    OpenAsNewClient(database);
    if (!onServer && HotJournal(database))
        totals.violations.push_back(prefix + "a hot rollback journal is still there after a "
                                             "client opened the database");
    const DatabaseProbe db(database);
    for (const std::string& broken : CheckInvariants(db))
        totals.violations.push_back(prefix + broken);
    const CrashState found = ReadCrashState(db);
    const JournalContents log = ReadJournal(sideLog);
    const RoundVerdict verdict = JudgeRound(state, log.records, found);
    totals.succeeded += verdict.succeeded;
    totals.failed += verdict.failed;
    if (!verdict.inFlight.empty())
        ++(verdict.inFlightCommitted ? totals.inFlightCommitted : totals.inFlightUndone);
    for (const std::string& violation : verdict.violations)
        totals.violations.push_back(prefix + violation);
    // The next worker starts from what is there now.
    state = found;
}

// Runs one round; false when the database could not be checked at all, which ends the run.
bool RunRound(int round, const Workspace& workspace, const SeedLayout& layout,
              const std::string& database, uint64_t seed, int64_t maxDelayMs, uint64_t& random,
              CrashState& state, CrashTotals& totals) {
    const std::string prefix = "round " + std::to_string(round) + ": ";
    const std::string sideLog = workspace.Child("round-" + std::to_string(round) + ".log");
    ChildProcess worker({"--worker", "--database", database, "--log", sideLog, "--scratch",
                         workspace.Path(), "--version", std::to_string(layout.versionId),
                         "--product", std::to_string(layout.productId), "--seed",
                         std::to_string(seed * 100003 + static_cast<uint64_t>(round))});
    const auto delay =
        static_cast<int64_t>(NextRandom(random) % static_cast<uint64_t>(maxDelayMs + 1));
    std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    worker.Kill();
    const int status = worker.Wait();
    if (!(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL))
        totals.violations.push_back(prefix + "the worker ended with " +
                                    ChildProcess::Describe(status) + " before it was killed");
    ++totals.rounds;
    if (!db::IsServerDataSource(database) && HotJournal(database)) ++totals.killedInCommit;

    try {
        CheckAfterKill(prefix, database, sideLog, state, totals);
    } catch (const std::exception& error) {
        totals.violations.push_back(prefix + "the database cannot be checked: " + error.what());
        return false;
    }
    return true;
}

int RunParent(const CommandLine& options) {
    const int rounds = static_cast<int>(options.Number("rounds", 20, 1, 1000000));
    const auto seed = static_cast<uint64_t>(options.Number("seed", 1, 0, INT64_MAX));
    const int64_t maxDelayMs = options.Number("max-delay-ms", 400, 0, 60000);
    Workspace workspace(options.Text("dir", ""), "velmora-crash");
    RunDatabase run(workspace, "crash.mdb", options.Text("server", ""));
    if (options.Has("keep")) {
        workspace.Keep();
        run.Keep();
    }
    const std::string& database = run.DataSource();
    log::SetLogDirectoryForTesting(workspace.Path() + "/");
    const SeedLayout layout = CreateWorkerDatabase(database, 1);
    const std::string noStorageCheck = run.PrepareIntegrityCheck();
    CrashState state = ReadCrashState(DatabaseProbe(database));

    CrashTotals totals;
    uint64_t random = seed;
    const auto started = std::chrono::steady_clock::now();
    for (int round = 1; round <= rounds; ++round) {
        if (!RunRound(round, workspace, layout, database, seed, maxDelayMs, random, state, totals))
            break;
    }
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    std::cout << "database:              " << run.Shown() << "\n";
    if (run.OnServer()) {
        std::cout << "rounds:                " << totals.rounds << "\n"
                  << "session end:           every killed worker's session ended within "
                  << totals.longestSessionEndMs
                  << " ms; no transaction left open, no advisory lock held after it\n"
                  << "skipped on a server:   the hot rollback journal check (the server rolls "
                     "back a dead session's transaction itself; checked instead: its session "
                     "ended, no advisory lock is held)\n";
        if (!noStorageCheck.empty())
            std::cout << "skipped on a server:   the storage check: " << noStorageCheck << "\n";
    } else {
        std::cout << "rounds:                " << totals.rounds << " (" << totals.killedInCommit
                  << " killed while writing database pages: hot journal rolled back)\n";
    }
    std::cout << "operations succeeded:  " << totals.succeeded << " (" << totals.failed
              << " failed)\n"
              << "under way at the kill: " << totals.inFlightCommitted << " committed, "
              << totals.inFlightUndone << " not\n"
              << "elapsed:               " << static_cast<long>(elapsed) << " s\n"
              << "violations:            " << totals.violations.size() << "\n";
    for (const std::string& violation : totals.violations)
        std::cout << "  " << violation << "\n";
    if (!totals.violations.empty()) {
        workspace.Keep();
        run.Keep();
        std::cout << "kept " << workspace.Path() << " for inspection\n";
        return 1;
    }
    return 0;
}

int RunWorker(const CommandLine& options) {
    CrashPlan plan;
    plan.database = options.Text("database", "");
    plan.log = options.Text("log", "");
    plan.scratch = options.Text("scratch", "");
    plan.versionId = static_cast<LONG>(options.Number("version", 0, 1, INT32_MAX));
    plan.productId = static_cast<LONG>(options.Number("product", 0, 1, INT32_MAX));
    plan.seed = static_cast<uint64_t>(options.Number("seed", 1, 0, INT64_MAX));
    plan.operations = options.Number("operations", 0, 0, INT32_MAX);
    return RunCrashWorker(plan);
}

} // namespace
} // namespace velmora::stress

int main(int argc, char** argv) {
    using namespace velmora::stress;
    try {
        const CommandLine options(argc, argv,
                                  {"rounds", "seed", "max-delay-ms", "dir", "server", "database",
                                   "log", "scratch", "version", "product", "operations"},
                                  {"keep", "help", "worker"});
        if (options.Has("help")) {
            std::cout << kUsage;
            return 0;
        }
        return options.Has("worker") ? RunWorker(options) : RunParent(options);
    } catch (const std::invalid_argument& error) {
        std::cerr << "velmora_crash: " << error.what() << "\n" << kUsage;
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "velmora_crash: " << error.what() << "\n";
        return 2;
    }
}
