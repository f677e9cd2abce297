#include "ChunkSpool.h"

#include "ErrorCodes.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::db {
namespace {

[[noreturn]] void FailSystem(const std::string& what) {
    Fail(kErrFail, what + ": " + std::strerror(errno));
}

std::string TemporaryRoot() {
    const char* dir = std::getenv("TMPDIR");
    std::string root = dir != nullptr && *dir != '\0' ? dir : "/tmp";
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    return root;
}

} // namespace

ChunkSpool::ChunkSpool() {
    std::string dirTemplate = TemporaryRoot() + "/velmora-chunks-XXXXXX";
    if (mkdtemp(dirTemplate.data()) == nullptr) FailSystem("Cannot create a temporary directory");
    const std::string file = dirTemplate + "/spool";
    fd_ = open(file.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    const int openError = errno;
    unlink(file.c_str());
    rmdir(dirTemplate.c_str());
    if (fd_ < 0) {
        errno = openError;
        FailSystem("Cannot create a temporary file");
    }
}

ChunkSpool::~ChunkSpool() {
    if (fd_ >= 0) close(fd_);
}

void ChunkSpool::Append(const uint8_t* data, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t written = pwrite(fd_, data + done, size - done, size_ + done);
        if (written < 0) {
            if (errno == EINTR) continue;
            FailSystem("Cannot write a temporary file");
        }
        done += static_cast<size_t>(written);
    }
    size_ += static_cast<int64_t>(size);
}

size_t ChunkSpool::ReadAt(int64_t offset, uint8_t* out, size_t count) const {
    size_t done = 0;
    while (done < count && offset + static_cast<int64_t>(done) < size_) {
        const ssize_t got = pread(fd_, out + done, count - done, offset + done);
        if (got < 0) {
            if (errno == EINTR) continue;
            FailSystem("Cannot read a temporary file");
        }
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    return done;
}

} // namespace velmora::db
