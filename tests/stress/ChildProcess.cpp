#include "ChildProcess.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <system_error>
#include <utility>

namespace velmora::stress {
namespace {

std::string OwnExecutable() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) throw std::system_error(errno, std::generic_category(), "/proc/self/exe");
    return std::string(path, static_cast<size_t>(length));
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& arguments) {
    const std::string program = OwnExecutable();
    // Everything the child needs is prepared before fork: only exec and _exit run after it.
    std::vector<std::string> texts;
    texts.reserve(arguments.size() + 1);
    texts.push_back(program);
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);

    pid_ = ::fork();
    if (pid_ < 0) throw std::system_error(errno, std::generic_category(), "fork");
    if (pid_ == 0) {
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)), status_(std::move(other.status_)) {}

ChildProcess::~ChildProcess() {
    if (pid_ <= 0 || status_) return;
    Kill();
    Wait();
}

int ChildProcess::Wait() {
    if (status_) return *status_;
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0) {
        if (errno != EINTR) throw std::system_error(errno, std::generic_category(), "waitpid");
    }
    status_ = status;
    return status;
}

std::optional<int> ChildProcess::Poll() {
    if (status_) return status_;
    int status = 0;
    const pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == pid_) status_ = status;
    return status_;
}

void ChildProcess::Kill() {
    if (pid_ > 0 && !status_) ::kill(pid_, SIGKILL);
}

std::string ChildProcess::Describe(int status) {
    if (WIFEXITED(status)) return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) {
        return "killed by signal " + std::to_string(WTERMSIG(status)) + " (" +
               ::strsignal(WTERMSIG(status)) + ")";
    }
    return "wait status " + std::to_string(status);
}

bool ChildProcess::ExitedCleanly(int status) {
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace velmora::stress
