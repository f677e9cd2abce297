#include "StagedFile.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace velmora::tool {
namespace {

// What an interrupting signal removes. Written before the handlers are installed and read only
// by them, so the handlers need nothing that is unsafe in a signal handler.
constexpr size_t kPathRoom = 4096 + 64;
char interruptFile[kPathRoom];
char interruptJournal[kPathRoom];
char interruptDirectory[kPathRoom];
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction previous[std::size(kSignals)];

void RemoveOnSignal(int signal) {
    unlink(interruptFile);
    unlink(interruptJournal);
    rmdir(interruptDirectory);
    // Die of the signal as the caller expects, now that nothing is left behind.
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    sigaction(signal, &standard, nullptr);
    raise(signal);
}

bool CopyPath(char* to, const std::string& from) {
    if (from.size() >= kPathRoom) return false;
    std::memcpy(to, from.c_str(), from.size() + 1);
    return true;
}

void ArmSignals(const std::string& file, const std::string& directory) {
    if (!CopyPath(interruptFile, file) || !CopyPath(interruptJournal, file + "-journal") ||
        !CopyPath(interruptDirectory, directory))
        throw std::runtime_error("the path '" + file + "' is too long");
    struct sigaction handler {};
    handler.sa_handler = RemoveOnSignal;
    sigemptyset(&handler.sa_mask);
    for (size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &handler, &previous[i]);
}

void DisarmSignals() {
    for (size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &previous[i], nullptr);
}

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

void SyncPath(const std::string& path, int flags, const std::string& what) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) throw std::runtime_error(SystemError("cannot open " + what));
    const bool synced = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    if (!synced) throw std::runtime_error(SystemError("cannot write " + what + " to disk"));
}

std::string AlreadyExists(const std::string& target) {
    return "'" + target + "' already exists; it is not overwritten";
}

// Gives from the name to without ever replacing a file that has it.
void RenameWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return;
    if (errno == EEXIST) throw std::runtime_error(AlreadyExists(to));
    if (errno != EINVAL && errno != ENOSYS)
        throw std::runtime_error(SystemError("cannot name the database '" + to + "'"));
    // A file system without the no-replace rename: a new link fails as well when the name is
    // taken.
    if (::link(from.c_str(), to.c_str()) != 0) {
        if (errno == EEXIST) throw std::runtime_error(AlreadyExists(to));
        throw std::runtime_error(SystemError("cannot name the database '" + to + "'"));
    }
    ::unlink(from.c_str());
}

} // namespace

StagedFile::StagedFile(const std::string& target) : target_(target) {
    if (target.empty()) throw std::runtime_error("no database file name given");
    struct stat status {};
    if (::lstat(target.c_str(), &status) == 0) throw std::runtime_error(AlreadyExists(target));
    const std::filesystem::path asked(target);
    const std::filesystem::path parent =
        asked.has_parent_path() ? asked.parent_path() : std::filesystem::path(".");
    std::string hidden = asked.filename().string();
    hidden.insert(hidden.begin(), '.');
    hidden += ".part-XXXXXX";
    std::string pattern = (parent / hidden).string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error(SystemError("cannot create '" + target + "'"));
    directory_ = pattern;
    path_ = (std::filesystem::path(directory_) / asked.filename()).string();
    try {
        ArmSignals(path_, directory_);
    } catch (...) {
        ::rmdir(directory_.c_str());
        throw;
    }
}

StagedFile::~StagedFile() {
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
    DisarmSignals();
}

void StagedFile::Publish() {
    if (published_) return;
    SyncPath(path_, O_RDONLY, "'" + target_ + "'");
    RenameWithoutReplacing(path_, target_);
    published_ = true;
    const std::filesystem::path parent = std::filesystem::path(target_).parent_path();
    SyncPath(parent.empty() ? "." : parent.string(), O_RDONLY | O_DIRECTORY,
             "the directory of '" + target_ + "'");
}

} // namespace velmora::tool
