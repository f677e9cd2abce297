#include "engine/bugs/TempDirectory.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

namespace velmora::engine {

bool WriteAll(int fd, const void* data, size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

std::string TemporaryRoot() {
    const char* dir = std::getenv("TMPDIR");
    std::string root = dir != nullptr && *dir != '\0' ? dir : "/tmp";
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    return root;
}

std::optional<TempDirectory> TempDirectory::Create(std::string* error) {
    std::string pattern = TemporaryRoot() + "/velmora-XXXXXX";
    // mkdtemp makes the directory with mode 0700 and a name nobody can guess.
    if (mkdtemp(pattern.data()) == nullptr) {
        if (error)
            *error = "Cannot create a temporary folder in " + TemporaryRoot() + ": " +
                     std::strerror(errno);
        return std::nullopt;
    }
    return TempDirectory(std::move(pattern));
}

TempDirectory::TempDirectory(TempDirectory&& other) noexcept
    : path_(std::exchange(other.path_, std::string())), kept_(other.kept_) {}

TempDirectory& TempDirectory::operator=(TempDirectory&& other) noexcept {
    if (this != &other) {
        Remove();
        path_ = std::exchange(other.path_, std::string());
        kept_ = other.kept_;
    }
    return *this;
}

TempDirectory::~TempDirectory() {
    Remove();
}

std::string TempDirectory::Child(const std::string& name) const {
    return path_ + "/" + name;
}

void TempDirectory::Remove() noexcept {
    if (path_.empty() || kept_) return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    path_.clear();
}

} // namespace velmora::engine
