#include "engine/bugs/Zipper.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <vector>

#include <minizip/zip.h>

#include "engine/bugs/TempDirectory.h"

namespace velmora::engine {
namespace {

constexpr size_t kReadPiece = 64 * 1024;
// Host "Unix" in the high byte, so that readers take the external attributes as a file mode.
constexpr uLong kMadeByUnix = 3u << 8;
constexpr uLong kSpecVersion = 20;      // 2.0: deflate
constexpr uLong kSpecVersionZip64 = 45; // 4.5: entries of 4 GB and more
constexpr uLong kUtf8NamesFlag = 0x800;
constexpr uLong kDosReadOnly = 0x01;

bool HasDotDotPart(const std::string& path) {
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of("/\\", start);
        if (end == std::string::npos) end = path.size();
        if (path.compare(start, end - start, "..") == 0 && end - start == 2) return true;
        start = end + 1;
    }
    return false;
}

// The local time of a file, as the entry's date. Zip dates run from 1980 to 2107; a time outside
// is pinned to the nearest end.
tm_zip EntryTime(time_t modified) {
    tm local{};
    localtime_r(&modified, &local);
    tm_zip result{};
    const int year = local.tm_year + 1900;
    if (year < 1980) {
        result.tm_year = 1980;
        result.tm_mon = 0;
        result.tm_mday = 1;
        return result;
    }
    if (year > 2107) {
        result.tm_year = 2107;
        result.tm_mon = 11;
        result.tm_mday = 31;
        result.tm_hour = 23;
        result.tm_min = 59;
        result.tm_sec = 58;
        return result;
    }
    result.tm_year = static_cast<uInt>(year);
    result.tm_mon = static_cast<uInt>(local.tm_mon);
    result.tm_mday = static_cast<uInt>(local.tm_mday);
    result.tm_hour = static_cast<uInt>(local.tm_hour);
    result.tm_min = static_cast<uInt>(local.tm_min);
    result.tm_sec = static_cast<uInt>(local.tm_sec);
    return result;
}

bool IsAscii(const std::string& text) {
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

} // namespace

CZipper::~CZipper() {
    if (archive_) zipClose(static_cast<zipFile>(archive_), nullptr);
}

bool CZipper::Failed(std::string reason) {
    lastError_ = std::move(reason);
    return false;
}

bool CZipper::OpenZip(const std::string& path, const std::string& rootFolder, bool append) {
    if (archive_) return Failed("An archive is open already");
    if (path.empty()) return Failed("No archive path given");
    int mode = APPEND_STATUS_CREATE;
    std::error_code ignored;
    if (append && std::filesystem::exists(path, ignored)) mode = APPEND_STATUS_ADDINZIP;
    archive_ = zipOpen64(path.c_str(), mode);
    if (!archive_) return Failed("Cannot open the archive " + path + " for writing");
    rootFolder_ = rootFolder;
    if (rootFolder_.empty()) {
        rootFolder_ = std::filesystem::path(path).parent_path().string();
        if (rootFolder_.empty()) rootFolder_ = ".";
    }
    while (rootFolder_.size() > 1 && rootFolder_.back() == '/')
        rootFolder_.pop_back();
    filesAdded_ = 0;
    bytesRead_ = 0;
    lastError_.clear();
    return true;
}

bool CZipper::ResolveEntry(const std::string& path, bool ignoreFolders, std::string* entryName,
                           std::string* filePath) {
    const bool absolute = !path.empty() && path.front() == '/';
    *filePath = absolute ? path : rootFolder_ + "/" + path;
    if (ignoreFolders) {
        const size_t slash = path.find_last_of("/\\");
        *entryName = slash == std::string::npos ? path : path.substr(slash + 1);
    } else {
        std::string relative = path;
        if (absolute) {
            const std::string prefix = rootFolder_ == "/" ? "/" : rootFolder_ + "/";
            if (relative.compare(0, prefix.size(), prefix) != 0)
                return Failed(path + " does not lie under " + rootFolder_);
            relative.erase(0, prefix.size());
        }
        while (relative.compare(0, 2, "./") == 0 || relative.compare(0, 2, ".\\") == 0)
            relative.erase(0, 2);
        if (HasDotDotPart(relative)) return Failed(path + " leaves the root folder");
        for (char& c : relative)
            if (c == '\\') c = '/';
        *entryName = relative;
    }
    if (entryName->empty() || *entryName == "." || *entryName == "..")
        return Failed(path + " names no file");
    return true;
}

bool CZipper::AddFileToZip(const std::string& path, bool ignoreFolders) {
    if (!archive_) return Failed("No archive is open");
    if (!ignoreFolders && (path.compare(0, 3, "..\\") == 0 || path.compare(0, 3, "../") == 0))
        return Failed(path + " leaves the root folder");
    std::string entryName;
    std::string filePath;
    if (!ResolveEntry(path, ignoreFolders, &entryName, &filePath)) return false;

    FileDescriptor file(::open(filePath.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) return Failed("Cannot open " + filePath + ": " + std::strerror(errno));
    struct stat status {};
    if (fstat(file.get(), &status) != 0)
        return Failed("Cannot read the status of " + filePath + ": " + std::strerror(errno));
    if (!S_ISREG(status.st_mode)) return Failed(filePath + " is not a regular file");

    zip_fileinfo info{};
    info.tmz_date = EntryTime(status.st_mtime);
    info.dosDate = 0;
    info.internal_fa = 0;
    info.external_fa = (static_cast<uLong>(status.st_mode) << 16) |
                       ((status.st_mode & S_IWUSR) ? 0 : kDosReadOnly);
    const bool zip64 = static_cast<uint64_t>(status.st_size) >= 0xffffffffu;
    const uLong madeBy = kMadeByUnix | (zip64 ? kSpecVersionZip64 : kSpecVersion);
    const uLong flags = IsAscii(entryName) ? 0 : kUtf8NamesFlag;

    zipFile archive = static_cast<zipFile>(archive_);
    if (zipOpenNewFileInZip4_64(archive, entryName.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                Z_DEFLATED, Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS, 8,
                                Z_DEFAULT_STRATEGY, nullptr, 0, madeBy, flags,
                                zip64 ? 1 : 0) != ZIP_OK)
        return Failed("Cannot add the entry " + entryName + " to the archive");

    std::vector<unsigned char> piece(kReadPiece);
    std::string failure;
    uint64_t read = 0;
    for (;;) {
        const ssize_t got = ::read(file.get(), piece.data(), piece.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            failure = "Cannot read " + filePath + ": " + std::strerror(errno);
            break;
        }
        if (got == 0) break;
        if (zipWriteInFileInZip(archive, piece.data(), static_cast<unsigned>(got)) != ZIP_OK) {
            failure = "Cannot write to the archive";
            break;
        }
        read += static_cast<uint64_t>(got);
    }
    const int closed = zipCloseFileInZip(archive);
    bytesRead_ += read;
    if (!failure.empty()) return Failed(failure);
    if (closed != ZIP_OK) return Failed("Cannot finish the entry " + entryName);
    ++filesAdded_;
    return true;
}

bool CZipper::CloseZip() {
    if (!archive_) return Failed("No archive is open");
    const int result = zipClose(static_cast<zipFile>(archive_), nullptr);
    archive_ = nullptr;
    if (result != ZIP_OK) return Failed("Cannot finish the archive");
    return true;
}

} // namespace velmora::engine
