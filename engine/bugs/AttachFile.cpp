#include "engine/bugs/AttachFile.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "engine/bugs/TempDirectory.h"
#include "engine/bugs/Unzipper.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/OutParams.h"
#include "engine/db/ConnectionString.h"
#include "engine/db/Database.h"
#include "engine/log/Log.h"
#include "engine/mapping/FieldConversion.h"

extern char** environ;

namespace velmora::engine {
namespace {

constexpr const char* kDefaultOpenProgram = "xdg-open";
constexpr LONG kContentPiece = 1024 * 1024;
constexpr size_t kCopyPiece = 64 * 1024;
constexpr LONG kContentColumn = 5;
constexpr LONG kFileNameColumn = 2;

std::string& OpenProgram() {
    static std::string program = kDefaultOpenProgram;
    return program;
}

// Copies source to a new file at target, keeping the source's modification time. Fails when
// target exists already, and then leaves it untouched; a partial copy is removed.
bool CopyToNewFile(const std::string& source, const std::string& target) {
    FileDescriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) return false;
    struct stat status {};
    if (fstat(in.get(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
    FileDescriptor out(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (out.get() < 0) return false;
    std::vector<uint8_t> piece(kCopyPiece);
    bool ok = true;
    for (;;) {
        const ssize_t got = ::read(in.get(), piece.data(), piece.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) ok = false;
        if (got <= 0) break;
        if (!WriteAll(out.get(), piece.data(), static_cast<size_t>(got))) {
            ok = false;
            break;
        }
    }
    if (ok) {
        const timespec times[2] = {status.st_atim, status.st_mtim};
        ok = futimens(out.get(), times) == 0;
    }
    if (!out.Close()) ok = false;
    if (!ok) ::unlink(target.c_str());
    return ok;
}

// Starts `program path` in `folder` without a shell and without waiting for it; a thread of its
// own collects the child when it ends. Returns the system's message when it cannot be started.
std::string StartProgram(const std::string& program, const std::string& path,
                         const std::string& folder) {
    std::vector<char> programText(program.begin(), program.end());
    programText.push_back('\0');
    std::vector<char> pathText(path.begin(), path.end());
    pathText.push_back('\0');
    char* argv[] = {programText.data(), pathText.data(), nullptr};
    posix_spawn_file_actions_t actions;
    if (const int error = posix_spawn_file_actions_init(&actions); error != 0)
        return std::strerror(error);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t child = 0;
    const int error = posix_spawnp(&child, programText.data(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) return std::strerror(error);
    try {
        std::thread([child] {
            int status = 0;
            while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        // Without a thread the child is collected when this process ends.
    }
    return "";
}

// A name part that can stand as a file inside a folder.
bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != "..";
}

} // namespace

std::string FileNamePart(std::string_view path) {
    const size_t slash = path.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string FileNameStem(std::string_view name) {
    const size_t dot = name.find_last_of('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

void CAttachFile::SetOpenProgramForTesting(const std::string& program) {
    OpenProgram() = program.empty() ? kDefaultOpenProgram : program;
}

void CAttachFile::SetFullName(std::string fullName) {
    data_.fileName = FileNamePart(fullName);
    data_.fullName = std::move(fullName);
}

HRESULT CAttachFile::get_FileName(BSTR* pVal) {
    return ReturnText(data_.fileName, pVal);
}
HRESULT CAttachFile::put_FileName(BSTR newVal) {
    return StoreText(newVal, data_.fileName);
}

HRESULT CAttachFile::get_FullName(BSTR* pVal) {
    return ReturnText(data_.fullName, pVal);
}
HRESULT CAttachFile::put_FullName(BSTR newVal) {
    return Guard([&] {
        SetFullName(TextOf(newVal));
        return S_OK;
    });
}

HRESULT CAttachFile::get_ID(LONG* pVal) {
    return ReturnValue(data_.id, pVal);
}

HRESULT CAttachFile::get_FileSize(LONG* pVal) {
    return ReturnValue(data_.fileSize, pVal);
}
HRESULT CAttachFile::put_FileSize(LONG newVal) {
    data_.fileSize = newVal;
    return S_OK;
}

HRESULT CAttachFile::get_FileDate(DATE* pVal) {
    return ReturnValue(data_.fileDate, pVal);
}
HRESULT CAttachFile::put_FileDate(DATE newVal) {
    data_.fileDate = newVal;
    return S_OK;
}

HRESULT CAttachFile::GetFile(BSTR bstrFileName) {
    constexpr const char* kFailed = "Get File Failed!";
    constexpr const char* kSource = "CAttachFile::GetFile";
    return Guard([&]() -> HRESULT {
        if (data_.id == 0) return Fail(Info(), kFailed, 0, kSource, "File id is 0");
        const std::string target = TextOf(bstrFileName);
        auto folder = TempDirectory::Create(nullptr);
        if (!folder) return Fail(Info(), kFailed, 0, kSource, "GetTempPath API failed");
        std::string storedName;
        if (!GenFile(*folder, FileNamePart(target), &storedName)) return Fail(Info(), kFailed);
        // The stored name only ever names a file inside the private folder.
        const std::string extracted = FileNamePart(storedName);
        if (!IsPlainName(extracted) || !CopyToNewFile(folder->Child(extracted), target))
            return Fail(Info(), kFailed, 0, kSource, "CopyFile failed!");
        return S_OK; // the folder and the extracted file go with `folder`
    });
}

HRESULT CAttachFile::OpenFile() {
    constexpr const char* kFailed = "Open File Failed";
    constexpr const char* kSource = "CAttachFile::OpenFile";
    return Guard([&]() -> HRESULT {
        auto folder = TempDirectory::Create(nullptr);
        if (!folder) return Fail(Info(), kFailed, 0, kSource, "GetTempPath API failed");
        const std::string name = FileNamePart(data_.fileName);
        if (!IsPlainName(name))
            return Fail(Info(), kFailed, 0, kSource, "File Name is not specified");
        if (!GenFile(*folder, name, nullptr)) return Fail(Info(), kFailed);
        const std::string path = folder->Child(name);
        const std::string problem = StartProgram(OpenProgram(), path, folder->Path());
        if (!problem.empty())
            return Fail(Info(), kFailed, 0, kSource,
                        "Cannot run " + OpenProgram() + " for " + path + ": " + problem);
        // The program reads the file after this call returns: it stays in its private folder.
        folder->Keep();
        return S_OK;
    });
}

bool CAttachFile::GenFile(const TempDirectory& folder, const std::string& archiveName,
                          std::string* storedName) {
    constexpr const char* kSource = "CAttachFile::GenFile";
    // The archive gets a private folder of its own, so that extracting an attachment that is
    // itself named like the archive cannot overwrite the archive while it is read.
    std::string problem;
    auto archiveFolder = TempDirectory::Create(&problem);
    if (!archiveFolder) {
        log::LogError(4, kSource, problem);
        return false;
    }
    std::string stem = FileNameStem(archiveName);
    if (!IsPlainName(stem)) stem = "attachment";
    const std::string archive = archiveFolder->Child(stem + ".zip");
    const bool stored = GuardStep(2, kSource, [&] {
        db::Recordset row;
        row.Open("SELECT * FROM tAttachment WHERE AttachmentID = ?", {db::Value::Int(data_.id)},
                 db::ProcessConnectionString(), db::CursorType::Static, db::LockType::ReadOnly);
        if (row.IsEOF()) {
            row.Close();
            log::LogError(2, kSource, "File(ID=" + std::to_string(data_.id) + ") does not exist");
            return false;
        }
        if (storedName) {
            *storedName = VariantToString(row.GetValue(kFileNameColumn));
            if (storedName->empty()) return false;
        }
        FileDescriptor out(
            ::open(archive.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600));
        if (out.get() < 0) {
            log::LogError(4, kSource, "Cannot create " + archive + ": " + std::strerror(errno));
            return false;
        }
        const std::string content = row.FieldName(kContentColumn);
        while (auto piece = row.GetChunk(content, kContentPiece)) {
            if (piece->empty()) break;
            if (!WriteAll(out.get(), piece->data(), piece->size())) {
                log::LogError(4, kSource, "Cannot write " + archive + ": " + std::strerror(errno));
                return false;
            }
        }
        row.Close();
        if (!out.Close()) {
            log::LogError(4, kSource, "Cannot write " + archive + ": " + std::strerror(errno));
            return false;
        }
        return true;
    });
    if (!stored) return false;

    CUnzipper unzipper;
    const bool extracted = unzipper.OpenZip(archive) && unzipper.SetOutputFolder(folder.Path()) &&
                           unzipper.UnzipAll(true);
    if (unzipper.IsOpen()) unzipper.CloseZip();
    if (!extracted) {
        log::LogError(0, kSource,
                      "Failed to unzip file " + archive + " to folder " + folder.Path() + "/.");
        return false;
    }
    return true;
}

} // namespace velmora::engine
