#pragma once
// A fresh seed database on the test server for each case, and "another client" of it: a forked
// process that opens the database on a connection of its own.
//
// One process shares a single server connection per data source among all its Connection
// objects, so a second Connection in this process is the same client. A child process gets a
// client of its own by naming the database with a text the parent never used (the same database,
// another application_name).
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <exception>
#include <functional>
#include <string>
#include <thread>

#include "engine/db/ConnectionString.h"
#include "engine/db/DataSource.h"
#include "engine/db/Database.h"
#include "tests/session/SessionTestSupport.h"

namespace velmora::test {

// True when the run has a server to make test databases on.
inline bool HasTestServer() {
    const char* server = std::getenv("VELMORA_TEST_SERVER");
    return server != nullptr && *server != '\0';
}

// The same database as `uri`, named so that a process opens a connection of its own to it.
inline std::string AsAnotherClient(const std::string& uri, const std::string& name) {
    return uri + (uri.find('?') == std::string::npos ? "?" : "&") + "application_name=" + name;
}

// A forked process that runs a body and hands its outcome, a short text, back to the parent.
class Child {
  public:
    // The body runs in the child; whatever it throws becomes "exception: <what>".
    explicit Child(const std::function<std::string()>& body) {
        int ends[2];
        if (pipe(ends) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            close(ends[0]);
            std::string outcome;
            try {
                outcome = body();
            } catch (const db::DbError& error) {
                outcome = "DbError " + std::to_string(error.Code()) + ": " + error.Description();
            } catch (const std::exception& error) {
                outcome = std::string("exception: ") + error.what();
            }
            size_t sent = 0;
            while (sent < outcome.size()) {
                const ssize_t n = write(ends[1], outcome.data() + sent, outcome.size() - sent);
                if (n <= 0) break;
                sent += static_cast<size_t>(n);
            }
            // No destructors, no atexit handlers: the parent's objects (and its server
            // connections) are the parent's.
            _exit(0);
        }
        close(ends[1]);
        if (pid_ < 0) {
            close(ends[0]);
            return;
        }
        output_ = ends[0];
    }
    ~Child() {
        if (pid_ > 0 && !reaped_) {
            kill(pid_, SIGKILL);
            Outcome();
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Started() const { return pid_ > 0; }
    // Whether the child has not finished yet (it is not reaped by asking).
    bool Running() const {
        if (pid_ <= 0 || reaped_) return false;
        siginfo_t info{};
        info.si_pid = 0;
        return waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
               info.si_pid == 0;
    }
    // Waits for the child and returns what its body returned ("<no outcome>" if it died).
    std::string Outcome() {
        if (reaped_) return outcome_;
        std::string text;
        char buffer[4096];
        for (;;) {
            const ssize_t n = read(output_, buffer, sizeof buffer);
            if (n > 0) {
                text.append(buffer, static_cast<size_t>(n));
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            break;
        }
        close(output_);
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        reaped_ = true;
        outcome_ = WIFEXITED(status) && WEXITSTATUS(status) == 0 ? text : "<no outcome>";
        return outcome_;
    }

  private:
    pid_t pid_ = -1;
    int output_ = -1;
    bool reaped_ = false;
    std::string outcome_;
};

// A seed database on the server; skipped when the run has no server.
class ServerTest : public SessionTest {
  protected:
    void SetUp() override {
        if (!HasTestServer()) GTEST_SKIP() << "VELMORA_TEST_SERVER is not set: no server to run on";
        // These cases mean the server whoever starts them.
        setenv("VELMORA_TEST_BACKEND", "postgresql", 1);
        SessionTest::SetUp();
        ASSERT_TRUE(db::IsServerDataSource(database_)) << database_;
    }

    std::string ConnectionString() const { return db::MakeConnectionString(database_); }
    // The connection text another client (a forked child) opens the database with.
    std::string OtherClientConnection(const std::string& name) const {
        return db::MakeConnectionString(AsAnotherClient(database_, name));
    }

    static std::chrono::steady_clock::time_point Now() { return std::chrono::steady_clock::now(); }
    static double SecondsSince(std::chrono::steady_clock::time_point start) {
        return std::chrono::duration<double>(Now() - start).count();
    }
};

} // namespace velmora::test
