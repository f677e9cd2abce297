#pragma once
// Runs a piece of a test in a forked child, so that the child may give up root, lower its file
// size limit or lose its database without affecting the test process. The child reports back
// the failures it saw as text; an empty text means every check in it held.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace velmora::test {

inline std::string RunInChild(const std::function<std::string()>& body) {
    int channel[2];
    if (pipe(channel) != 0) return "pipe failed";
    const pid_t child = fork();
    if (child < 0) return "fork failed";
    if (child == 0) {
        close(channel[0]);
        std::string report;
        try {
            report = body();
        } catch (...) {
            report = "the child threw";
        }
        size_t written = 0;
        while (written < report.size()) {
            const ssize_t n = write(channel[1], report.data() + written, report.size() - written);
            if (n <= 0) break;
            written += static_cast<size_t>(n);
        }
        close(channel[1]);
        _exit(0);
    }
    close(channel[1]);
    std::string report;
    char buffer[4096];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, static_cast<size_t>(n));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        report += "\nthe child ended abnormally (status " + std::to_string(status) + ")";
    return report;
}

// Collects failed checks in a child: Check(condition, "what should hold").
class ChildChecks {
  public:
    void Check(bool condition, const std::string& what) {
        if (!condition) failures_ += what + "\n";
    }
    std::string Report() const { return failures_; }

  private:
    std::string failures_;
};

} // namespace velmora::test
