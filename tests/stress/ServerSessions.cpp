#include "ServerSessions.h"

#include <thread>

namespace velmora::stress {
namespace {

// Client sessions only: autovacuum workers show the database's name as well.
constexpr const char* kOtherSessions =
    "SELECT a.pid, COALESCE(a.state, ''), "
    "CASE WHEN a.xact_start IS NULL THEN 0 ELSE 1 END, COALESCE(a.query, '') "
    "FROM pg_stat_activity a JOIN pg_database d ON d.datname = a.datname "
    "WHERE d.datname = current_database() AND a.backend_type = 'client backend' "
    "AND a.pid <> pg_backend_pid()";

constexpr const char* kAdvisoryLocks =
    "SELECT l.pid, l.mode, CASE WHEN l.granted THEN 'held' ELSE 'awaited' END "
    "FROM pg_locks l JOIN pg_database d ON d.oid = l.database "
    "WHERE d.datname = current_database() AND l.locktype = 'advisory'";

} // namespace

SessionsLeft AwaitOtherSessionsEnd(const DatabaseProbe& db, std::chrono::milliseconds limit) {
    SessionsLeft left;
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::vector<std::string>> sessions = db.Rows(kOtherSessions);
    while (!sessions.empty() && std::chrono::steady_clock::now() - started < limit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        sessions = db.Rows(kOtherSessions);
    }
    left.waitedMs = static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - started)
                                          .count());
    for (const auto& session : sessions) {
        left.violations.push_back("server session " + session.at(0) + " is still there after " +
                                  std::to_string(left.waitedMs) + " ms, " + session.at(1) +
                                  (session.at(2) == "1" ? " (a transaction left open)" : "") +
                                  ", last statement: " + session.at(3).substr(0, 200));
    }
    for (const auto& lock : db.Rows(kAdvisoryLocks))
        left.violations.push_back("an advisory lock (" + lock.at(1) + ") is " + lock.at(2) +
                                  " by server session " + lock.at(0));
    return left;
}

} // namespace velmora::stress
