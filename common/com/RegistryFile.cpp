// Where the registry file lives, reading it, and replacing it safely while other processes may
// be reading or writing it too.
#include <errno.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <utility>
#include <vector>

#include "Registry.h"
#include "RegistrySnapshot.h"

namespace velmora::com::registry {
namespace {

// Larger files are not registries; refusing them keeps a stray path from exhausting memory.
constexpr off_t kMaxFileSize = 64 * 1024 * 1024;

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { Close(); }
    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    // Closes now and reports whether the close succeeded (it can report a late write error).
    bool Close() { return fd_ < 0 || ::close(std::exchange(fd_, -1)) == 0; }

  private:
    int fd_;
};

// Removes a temporary file unless it was put in place.
class TemporaryFile {
  public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    const std::string& Path() const { return path_; }
    void Keep() { path_.clear(); }

  private:
    std::string path_;
};

std::string HomeDirectory() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir)
        return found->pw_dir;
    return {};
}

enum class ReadResult { kRead, kMissing, kFailed };

ReadResult ReadWholeFile(const std::string& path, std::string* text) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.Valid()) return errno == ENOENT ? ReadResult::kMissing : ReadResult::kFailed;
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > kMaxFileSize)
        return ReadResult::kFailed;
    text->clear();
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(file.Get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return ReadResult::kFailed;
        if (count == 0) break;
        text->append(buffer, static_cast<size_t>(count));
        if (text->size() > static_cast<size_t>(kMaxFileSize)) return ReadResult::kFailed;
    }
    return ReadResult::kRead;
}

HRESULT LoadFrom(const std::string& path, Registry* out) {
    std::string text;
    switch (ReadWholeFile(path, &text)) {
    case ReadResult::kMissing:
        *out = Registry();
        return S_OK;
    case ReadResult::kFailed:
        return REGDB_E_READREGDB;
    case ReadResult::kRead:
        break;
    }
    auto parsed = Registry::Parse(text);
    if (!parsed) return REGDB_E_READREGDB;
    *out = std::move(*parsed);
    return S_OK;
}

bool WriteAll(int fd, const std::string& text) {
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = ::write(fd, text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return false;
        written += static_cast<size_t>(count);
    }
    return true;
}

// Replaces the file with the text: a reader sees either the old or the new contents, and after a
// crash the file is one of them too.
bool ReplaceFile(const std::string& path, const std::string& text) {
    std::string pattern = path + ".XXXXXX";
    FileDescriptor file(::mkostemp(pattern.data(), O_CLOEXEC));
    if (!file.Valid()) return false;
    TemporaryFile temporary(pattern);

    // The new file keeps the permissions of the one it replaces.
    struct stat existing {};
    const mode_t mode = ::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)
                            ? (existing.st_mode & 07777)
                            : 0644;
    if (::fchmod(file.Get(), mode) != 0 || !WriteAll(file.Get(), text) ||
        ::fsync(file.Get()) != 0 || !file.Close())
        return false;
    if (::rename(temporary.Path().c_str(), path.c_str()) != 0) return false;
    temporary.Keep();

    // Make the rename itself durable; the file is already in place if this fails.
    const std::string directory = std::filesystem::path(path).parent_path().string();
    FileDescriptor dir(
        ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Valid()) ::fsync(dir.Get());
    return true;
}

// What identifies one version of the file: a replacement is a new inode, an edit in place
// changes the size or the modification time.
struct FileVersion {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    bool operator==(const FileVersion& o) const {
        return exists == o.exists && device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
               changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
};

// False when the file's state cannot be determined (then it is read afresh).
bool VersionOf(const std::string& path, FileVersion* version) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        *version = FileVersion{};
        return errno == ENOENT;
    }
    *version = {true, info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
    return true;
}

// The last snapshot handed out for one file. File times are coarse and inode numbers are
// reused, so this process's own updates also drop it explicitly.
struct SnapshotCache {
    std::mutex mutex;
    std::string path;
    FileVersion version;
    std::shared_ptr<const Registry> registry;
};

// One for the user's file and one for the system-wide file. Never destroyed, so that objects
// created while the process exits still find them.
SnapshotCache& UserCache() {
    static auto* cache = new SnapshotCache();
    return *cache;
}

SnapshotCache& SystemCache() {
    static auto* cache = new SnapshotCache();
    return *cache;
}

void ForgetSnapshots() {
    for (SnapshotCache* cache : {&UserCache(), &SystemCache()}) {
        std::lock_guard<std::mutex> guard(cache->mutex);
        cache->registry.reset();
    }
}

HRESULT SnapshotOf(const std::string& path, SnapshotCache& cache,
                   std::shared_ptr<const Registry>* out) {
    FileVersion version;
    const bool known = VersionOf(path, &version);
    std::lock_guard<std::mutex> guard(cache.mutex);
    if (known && cache.registry && path == cache.path && version == cache.version) {
        *out = cache.registry;
        return S_OK;
    }
    auto fresh = std::make_shared<Registry>();
    const HRESULT hr = LoadFrom(path, fresh.get());
    if (FAILED(hr)) return hr;
    // Should the file change between the check and the read, the version recorded here is
    // older than the contents, and the next call reads it again.
    cache.path = path;
    cache.version = version;
    cache.registry = known ? std::shared_ptr<const Registry>(fresh) : nullptr;
    *out = std::move(fresh);
    return S_OK;
}

// The entries of ${XDG_CONFIG_DIRS:-/etc/xdg}: separated by ':', empty and relative ones skipped.
std::vector<std::string> ConfigDirectories() {
    const char* value = std::getenv("XDG_CONFIG_DIRS");
    const std::string list = value && *value ? value : "/etc/xdg";
    std::vector<std::string> directories;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        std::string entry = list.substr(start, end - start);
        if (!entry.empty() && entry[0] == '/') directories.push_back(std::move(entry));
        start = end + 1;
    }
    return directories;
}

bool LockExclusively(int fd) {
    while (::flock(fd, LOCK_EX) != 0)
        if (errno != EINTR) return false;
    return true;
}

} // namespace

std::string RegistryFilePath() {
    if (const char* path = std::getenv("VELMORA_REGISTRY"); path && *path) return path;
    std::string base;
    // A relative XDG_CONFIG_HOME is invalid and ignored.
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/') {
        base = config;
    } else {
        const std::string home = HomeDirectory();
        if (home.empty()) return {};
        base = home + "/.config";
    }
    return base + "/velmora/registry";
}

HRESULT Load(Registry* out) {
    if (!out) return E_INVALIDARG;
    const std::string path = RegistryFilePath();
    if (path.empty()) return REGDB_E_READREGDB;
    try {
        return LoadFrom(path, out);
    } catch (const std::exception&) {
        return REGDB_E_READREGDB;
    }
}

std::string SystemRegistryFilePath() {
    if (const char* path = std::getenv("VELMORA_REGISTRY"); path && *path) return {};
    for (const std::string& directory : ConfigDirectories()) {
        const std::string candidate = directory + "/velmora/registry";
        // A file that exists but cannot be read still counts: the lookup then fails instead of
        // quietly reading another directory's file.
        struct stat info {};
        if (::stat(candidate.c_str(), &info) == 0 || errno != ENOENT) return candidate;
    }
    return {};
}

HRESULT CurrentSnapshot(std::shared_ptr<const Registry>* out) {
    const std::string path = RegistryFilePath();
    if (path.empty()) return REGDB_E_READREGDB;
    try {
        return SnapshotOf(path, UserCache(), out);
    } catch (const std::exception&) {
        return REGDB_E_READREGDB;
    }
}

HRESULT LookUp(const std::function<std::optional<HRESULT>(const Registry&)>& answer,
               HRESULT unanswered) {
    try {
        std::shared_ptr<const Registry> registry;
        if (const std::string user = RegistryFilePath(); !user.empty()) {
            const HRESULT hr = SnapshotOf(user, UserCache(), &registry);
            if (FAILED(hr)) return hr;
            if (const auto result = answer(*registry)) return *result;
        }
        const std::string system = SystemRegistryFilePath();
        if (system.empty()) return unanswered;
        const HRESULT hr = SnapshotOf(system, SystemCache(), &registry);
        if (FAILED(hr)) return hr;
        return answer(*registry).value_or(unanswered);
    } catch (const std::exception&) {
        return REGDB_E_READREGDB;
    }
}

HRESULT Update(const std::function<void(Registry&)>& change) {
    const std::string path = RegistryFilePath();
    if (path.empty() || !change) return REGDB_E_WRITEREGDB;
    try {
        const std::filesystem::path directory = std::filesystem::path(path).parent_path();
        std::error_code error;
        if (!directory.empty()) std::filesystem::create_directories(directory, error);
        if (error) return REGDB_E_WRITEREGDB;

        // The lock lives in a file of its own that is never replaced, so every writer locks the
        // same inode; it is released when the descriptor closes.
        FileDescriptor lock(::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
        if (!lock.Valid() || !LockExclusively(lock.Get())) return REGDB_E_WRITEREGDB;

        Registry registry;
        const HRESULT hr = LoadFrom(path, &registry);
        if (FAILED(hr)) return hr; // a corrupt file is never overwritten
        change(registry);
        const bool replaced = ReplaceFile(path, registry.Serialize());
        ForgetSnapshots();
        return replaced ? S_OK : REGDB_E_WRITEREGDB;
    } catch (...) {
        return REGDB_E_WRITEREGDB;
    }
}

HRESULT RemoveIfEmpty() {
    const std::string path = RegistryFilePath();
    if (path.empty()) return REGDB_E_WRITEREGDB;
    try {
        const std::string lockPath = path + ".lock";
        FileDescriptor lock(::open(lockPath.c_str(), O_RDWR | O_CLOEXEC));
        if (!lock.Valid()) {
            // Without a lock file there has never been a writer; a file alone is still checked.
            if (errno != ENOENT) return REGDB_E_WRITEREGDB;
        } else if (!LockExclusively(lock.Get())) {
            return REGDB_E_WRITEREGDB;
        }
        Registry registry;
        std::string text;
        switch (ReadWholeFile(path, &text)) {
        case ReadResult::kMissing:
            break;
        case ReadResult::kFailed:
            return REGDB_E_READREGDB;
        case ReadResult::kRead: {
            auto parsed = Registry::Parse(text);
            if (!parsed) return REGDB_E_READREGDB;
            if (!parsed->HoldsNoValues()) return S_FALSE;
            if (::unlink(path.c_str()) != 0 && errno != ENOENT) return REGDB_E_WRITEREGDB;
            break;
        }
        }
        ForgetSnapshots();
        // The lock file goes last, while still held: a writer waiting on it finds no file and
        // starts a new one, which is what it would have done a moment later anyway.
        if (lock.Valid()) ::unlink(lockPath.c_str());
        return S_OK;
    } catch (...) {
        return REGDB_E_WRITEREGDB;
    }
}

} // namespace velmora::com::registry
