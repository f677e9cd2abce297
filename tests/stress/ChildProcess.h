#pragma once
// A copy of the running program started in a child process with other arguments. A child still
// running when its owner goes is killed and reaped, so no test leaves processes behind.
#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace velmora::stress {

class ChildProcess {
  public:
    // Starts /proc/self/exe with the arguments (argv[0] is supplied). Throws std::system_error.
    explicit ChildProcess(const std::vector<std::string>& arguments);
    ~ChildProcess();
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&&) = delete;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return pid_; }
    // Waits for the child to end; returns its wait status (see Describe). Repeated calls return
    // the same status.
    int Wait();
    // The status if the child has ended, without waiting.
    std::optional<int> Poll();
    // Sends SIGKILL (nothing when it has ended and been reaped).
    void Kill();

    // "exit status 3", "killed by signal 9 (Killed)".
    static std::string Describe(int status);
    static bool ExitedCleanly(int status);

  private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

} // namespace velmora::stress
