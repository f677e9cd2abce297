#include "engine/bugs/Unzipper.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <vector>

#include <minizip/unzip.h>

#include "engine/bugs/TempDirectory.h"

namespace velmora::engine {
namespace {

constexpr size_t kWritePiece = 64 * 1024;
constexpr size_t kLongestName = 4096;

// A relative name whose every part is a plain name: no "", "." or ".." part, no leading '/'.
bool IsSafeRelativeName(const std::string& name) {
    if (name.empty() || name.front() == '/') return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string::npos) end = name.size();
        const std::string part = name.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") return false;
        start = end + 1;
    }
    return true;
}

// The entry's date and time as a moment, read as local time.
timespec EntryMoment(const tm_unz& entry) {
    tm local{};
    local.tm_year = static_cast<int>(entry.tm_year) - 1900;
    local.tm_mon = static_cast<int>(entry.tm_mon);
    local.tm_mday = static_cast<int>(entry.tm_mday);
    local.tm_hour = static_cast<int>(entry.tm_hour);
    local.tm_min = static_cast<int>(entry.tm_min);
    local.tm_sec = static_cast<int>(entry.tm_sec);
    local.tm_isdst = -1;
    return timespec{mktime(&local), 0};
}

} // namespace

CUnzipper::~CUnzipper() {
    if (archive_) unzClose(static_cast<unzFile>(archive_));
}

bool CUnzipper::Failed(std::string reason) {
    lastError_ = std::move(reason);
    return false;
}

bool CUnzipper::OpenZip(const std::string& path) {
    if (archive_) return Failed("An archive is open already");
    archive_ = unzOpen64(path.c_str());
    if (!archive_) return Failed(path + " is not a readable zip archive");
    archivePath_ = path;
    lastError_.clear();
    return true;
}

bool CUnzipper::SetOutputFolder(const std::string& folder) {
    std::error_code error;
    if (std::filesystem::exists(folder, error)) {
        if (!std::filesystem::is_directory(folder, error))
            return Failed(folder + " exists and is not a folder");
    } else if (!std::filesystem::create_directories(folder, error) && error) {
        return Failed("Cannot create the folder " + folder + ": " + error.message());
    }
    outputFolder_ = folder;
    while (outputFolder_.size() > 1 && outputFolder_.back() == '/')
        outputFolder_.pop_back();
    return true;
}

bool CUnzipper::UnzipAll(bool ignoreFolders) {
    if (!archive_) return Failed("No archive is open");
    if (outputFolder_.empty()) {
        std::filesystem::path folder(archivePath_);
        folder.replace_extension();
        if (!SetOutputFolder(folder.string())) return false;
    }
    unzFile archive = static_cast<unzFile>(archive_);
    int result = unzGoToFirstFile(archive);
    if (result == UNZ_END_OF_LIST_OF_FILE) return true; // no entries: nothing to do
    while (result == UNZ_OK) {
        if (!ExtractCurrent(ignoreFolders)) return false;
        result = unzGoToNextFile(archive);
    }
    if (result != UNZ_END_OF_LIST_OF_FILE) return Failed("The archive's directory is damaged");
    return true;
}

bool CUnzipper::ExtractCurrent(bool ignoreFolders) {
    unzFile archive = static_cast<unzFile>(archive_);
    unz_file_info64 info{};
    std::vector<char> nameBuffer(kLongestName + 1, '\0');
    if (unzGetCurrentFileInfo64(archive, &info, nameBuffer.data(), kLongestName, nullptr, 0,
                                nullptr, 0) != UNZ_OK)
        return Failed("Cannot read an entry of the archive");
    if (info.size_filename > kLongestName) return Failed("An entry's name is too long");
    std::string name(nameBuffer.data(), info.size_filename);
    for (char& c : name)
        if (c == '\\') c = '/';

    const bool isFolder = !name.empty() && name.back() == '/';
    if (isFolder) {
        if (ignoreFolders) return true; // its files land in the output folder anyway
        name.pop_back();
        if (!IsSafeRelativeName(name)) return Failed("Unsafe entry name " + name);
        std::error_code error;
        std::filesystem::create_directories(outputFolder_ + "/" + name, error);
        if (error) return Failed("Cannot create the folder " + name + ": " + error.message());
        return true;
    }
    if (ignoreFolders) name = name.substr(name.find_last_of('/') + 1);
    if (!IsSafeRelativeName(name)) return Failed("Unsafe entry name " + name);
    const std::string target = outputFolder_ + "/" + name;
    if (!ignoreFolders && name.find('/') != std::string::npos) {
        std::error_code error;
        std::filesystem::create_directories(std::filesystem::path(target).parent_path(), error);
        if (error) return Failed("Cannot create the folder for " + name + ": " + error.message());
    }
    if (!WriteCurrent(target, info.tmu_date)) {
        ::unlink(target.c_str());
        return false;
    }
    return true;
}

bool CUnzipper::WriteCurrent(const std::string& target, const tm_unz& entryTime) {
    unzFile archive = static_cast<unzFile>(archive_);
    if (unzOpenCurrentFile(archive) != UNZ_OK) return Failed("Cannot read the entry for " + target);
    FileDescriptor out(
        ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666));
    if (out.get() < 0) {
        unzCloseCurrentFile(archive);
        return Failed("Cannot create " + target + ": " + std::strerror(errno));
    }
    std::vector<unsigned char> piece(kWritePiece);
    std::string failure;
    for (;;) {
        const int got =
            unzReadCurrentFile(archive, piece.data(), static_cast<unsigned>(kWritePiece));
        if (got < 0) {
            failure = "The entry for " + target + " is damaged";
            break;
        }
        if (got == 0) break;
        if (!WriteAll(out.get(), piece.data(), static_cast<size_t>(got))) {
            failure = "Cannot write " + target + ": " + std::strerror(errno);
            break;
        }
    }
    // Closing the entry after reading it whole checks its CRC.
    const int closed = unzCloseCurrentFile(archive);
    if (failure.empty() && closed != UNZ_OK) failure = "The entry for " + target + " is damaged";
    if (failure.empty()) {
        const timespec moment = EntryMoment(entryTime);
        const timespec times[2] = {moment, moment};
        if (futimens(out.get(), times) != 0)
            failure = "Cannot set the time of " + target + ": " + std::strerror(errno);
    }
    if (!out.Close() && failure.empty())
        failure = "Cannot write " + target + ": " + std::strerror(errno);
    if (!failure.empty()) return Failed(failure);
    return true;
}

bool CUnzipper::CloseZip() {
    if (!archive_) return Failed("No archive is open");
    const int result = unzClose(static_cast<unzFile>(archive_));
    archive_ = nullptr;
    if (result != UNZ_OK) return Failed("Cannot close the archive");
    return true;
}

} // namespace velmora::engine
