#include "engine/bugs/FileSet.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <optional>

#include "engine/admin/Permission.h"
#include "engine/bugs/AttachFile.h"
#include "engine/bugs/TempDirectory.h"
#include "engine/bugs/Zipper.h"
#include "engine/com/EngineObjects.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/OutParams.h"
#include "engine/db/ConnectionString.h"
#include "engine/db/Database.h"
#include "engine/db/NextId.h"
#include "engine/db/OleDate.h"
#include "engine/log/Log.h"
#include "engine/mapping/FieldConversion.h"

namespace velmora::engine {
namespace {

constexpr size_t kContentPiece = 1024 * 1024;
constexpr LONG kContentColumn = 5;

constexpr GuardedAction kAddAttachment = {RightFlag::EditAttachment, "add attachment",
                                          "CFileSet::Add", "No right to perform this action"};
constexpr GuardedAction kRemoveByID = {RightFlag::EditAttachment, "delete attachment",
                                       "CFileSet::RemoveByID",
                                       "Has no right to perform this action"};
constexpr GuardedAction kRemoveByIndex = {RightFlag::EditAttachment, "delete attachment",
                                          "CFileSet::RemoveByIndex",
                                          "Has no right to perform this action"};

int64_t largestStoredArchive = CFileSet::kLargestStoredArchive;

std::string NotInSet(LONG id) {
    return "File(ID=" + std::to_string(id) + ") is not in this set";
}

// A file's last modification as an OLE date in local time, whole seconds.
DATE LocalFileDate(time_t modified) {
    tm local{};
    if (!localtime_r(&modified, &local)) return 0.0;
    const db::CivilDateTime when{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                 local.tm_hour,        local.tm_min,     local.tm_sec};
    return db::ToOleDate(when).value_or(0.0);
}

// Packs `path` as the one entry of a new archive in a private folder; the archive's path, or
// std::nullopt.
std::optional<std::string> Pack(const std::string& path, const std::string& fileName,
                                const TempDirectory& folder) {
    std::string stem = FileNameStem(fileName);
    if (stem.empty() || stem == "." || stem == "..") stem = "attachment";
    const std::string archive = folder.Child(stem + ".zip");
    std::error_code error;
    // A relative name means the caller's current folder, not the archive's.
    const std::string absolute = std::filesystem::absolute(path, error).string();
    if (error) return std::nullopt;
    CZipper zipper;
    bool packed = zipper.OpenZip(archive) && zipper.AddFileToZip(absolute, true);
    if (zipper.IsOpen()) packed = zipper.CloseZip() && packed;
    if (!packed) return std::nullopt;
    return archive;
}

bool BugStored(db::Connection& connection, LONG bugID) {
    db::Recordset bug;
    bug.Open("SELECT BugID FROM tBugReport WHERE BugID = ?", {db::Value::Int(bugID)}, connection,
             db::CursorType::ForwardOnly, db::LockType::ReadOnly);
    return !bug.IsEOF();
}

} // namespace

void CFileSet::SetLargestStoredArchiveForTesting(int64_t bytes) {
    largestStoredArchive = bytes > 0 ? bytes : kLargestStoredArchive;
}

HRESULT CFileSet::get_Count(LONG* pVal) {
    return ReturnValue(static_cast<LONG>(files_.size()), pVal);
}

HRESULT CFileSet::get_Item(LONG index, IFile** pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    if (!InRange(index)) return Fail(Info(), kSeeErrorLog, 1, "CFileSet::get_Item", "");
    return ReturnObject<IFile>(files_[static_cast<size_t>(index)], pVal);
}

HRESULT CFileSet::get_BugID(LONG* pVal) {
    return ReturnValue(bugID_, pVal);
}

HRESULT CFileSet::get_ExeContext(IExeContext** pVal) {
    return ReturnObject<IExeContext>(context_, pVal);
}

HRESULT CFileSet::Append(IFile* pFile) {
    // A null entry would stand in the list where every member expects a file.
    if (!pFile) return E_POINTER;
    return Guard([&] {
        files_.emplace_back(pFile);
        return S_OK;
    });
}

LONG CFileSet::IndexOfID(LONG id) const {
    for (size_t i = 0; i < files_.size(); ++i) {
        LONG fileID = 0;
        if (SUCCEEDED(files_[i]->get_ID(&fileID)) && fileID == id) return static_cast<LONG>(i);
    }
    return -1;
}

HRESULT CFileSet::DeleteByID(LONG ID) {
    const LONG index = IndexOfID(ID);
    if (index < 0)
        return Fail(Info(), "Remove file failed!", 0, "CFileSet::DeleteByID", NotInSet(ID));
    files_.erase(files_.begin() + index);
    return S_OK;
}

HRESULT CFileSet::DeleteByIndex(LONG index) {
    if (!InRange(index)) return Fail(Info(), kSeeErrorLog, 1, "CFileSet::DeleteByIndex", "");
    files_.erase(files_.begin() + index);
    return S_OK;
}

HRESULT CFileSet::RemoveByID(LONG ID) {
    return Guard([&]() -> HRESULT {
        if (FAILED(CheckPermission(context_.Get(), Info(), kRemoveByID))) return E_FAIL;
        const LONG index = IndexOfID(ID);
        if (index < 0)
            return Fail(Info(), "Delelte file failed!", 0, "CFileSet::RemoveByID", NotInSet(ID));
        if (!RealDeleteFile(ID)) return Fail(Info(), "Delete file failed!");
        files_.erase(files_.begin() + index);
        return S_OK;
    });
}

HRESULT CFileSet::RemoveByIndex(LONG index) {
    return Guard([&]() -> HRESULT {
        if (FAILED(CheckPermission(context_.Get(), Info(), kRemoveByIndex))) return E_FAIL;
        if (!InRange(index)) return Fail(Info(), kSeeErrorLog, 1, "CFileSet::RemoveByIndex", "");
        LONG id = 0;
        files_[static_cast<size_t>(index)]->get_ID(&id);
        if (!RealDeleteFile(id)) return Fail(Info(), "Delelte file failed");
        files_.erase(files_.begin() + index);
        return S_OK;
    });
}

bool CFileSet::RealDeleteFile(LONG id) {
    constexpr const char* kSource = "CFileSet::RealDeleteFile";
    return GuardStep(2, kSource, [&] {
        db::Recordset row;
        row.Open("SELECT AttachmentID FROM tAttachment WHERE AttachmentID = ?",
                 {db::Value::Int(id)}, db::ProcessConnectionString(), db::CursorType::Keyset,
                 db::LockType::Optimistic);
        if (row.IsEOF()) {
            row.Close();
            log::LogError(0, kSource, "File(ID=" + std::to_string(id) + ") does not exist");
            return false;
        }
        row.Delete();
        row.Close();
        return true;
    });
}

HRESULT CFileSet::Add(BSTR bstrFileName, IFile** ppFile) {
    if (!ppFile) return E_POINTER;
    *ppFile = nullptr;
    constexpr const char* kFailed = "Add file to database failed!";
    constexpr const char* kSource = "CFileSet::Add";
    return Guard([&]() -> HRESULT {
        if (bugID_ == 0) return Fail(Info(), kFailed, 0, kSource, "BugID is 0, can not continue!");
        if (FAILED(CheckPermission(context_.Get(), Info(), kAddAttachment))) return E_FAIL;
        const LONG id = db::GetNextID("NextAttachmentID");
        if (id == 0) return Fail(Info(), kFailed, 0, kSource, "GetNextID return 0");

        auto file = CreateObject<CAttachFile>();
        file->SetID(id);
        file->SetFullName(TextOf(bstrFileName));
        AttachFileData& data = file->Data();
        struct stat status {};
        if (!data.fullName.empty() && ::stat(data.fullName.c_str(), &status) == 0) {
            // The size is a 32-bit property: a larger file reads as the largest it can hold.
            data.fileSize = static_cast<LONG>(std::min<int64_t>(status.st_size, INT32_MAX));
            data.fileDate = LocalFileDate(status.st_mtime);
        }
        if (!SaveFileData(*file.Get())) return Fail(Info(), kFailed);
        // The list is not extended: the bug's next AttachedFiles lists the new file.
        return ReturnObject<IFile>(file, ppFile);
    });
}

bool CFileSet::SaveFileData(const CAttachFile& file) {
    constexpr const char* kSource = "CFileSet::SaveFileData";
    const AttachFileData& data = file.Data();

    std::optional<TempDirectory> folder;
    std::optional<std::string> archive;
    if (!data.fullName.empty()) folder = TempDirectory::Create(nullptr);
    if (folder) archive = Pack(data.fullName, data.fileName, *folder);
    if (!archive) {
        log::LogError(4, kSource, "Zip file failed");
        return false;
    }

    FileDescriptor in(::open(archive->c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (in.get() < 0 || fstat(in.get(), &status) != 0) {
        log::LogError(4, kSource, "Cannot read " + *archive + ": " + std::strerror(errno));
        return false;
    }
    if (status.st_size > largestStoredArchive) {
        log::LogError(4, kSource,
                      "The packed file takes " + std::to_string(status.st_size) +
                          " bytes, more than the " + std::to_string(largestStoredArchive) +
                          " bytes the database stores in one value");
        return false;
    }

    return GuardStep(2, kSource, [&] {
        db::Recordset rows;
        rows.Open("SELECT * FROM tAttachment", db::ProcessConnectionString(),
                  db::CursorType::Keyset, db::LockType::Optimistic);
        rows.AddNew();
        rows.SetValue(0, db::Value::Int(data.id));
        rows.SetValue(1, db::Value::Int(bugID_));
        rows.SetValue(2, TextToField(data.fileName));
        rows.SetValue(3, db::Value::Int(data.fileSize));
        rows.SetValue(4, db::Value::Double(data.fileDate));
        const std::string content = rows.FieldName(kContentColumn);
        // A buffer no larger than the archive: most archives are small, and clearing a whole
        // piece for each of them costs more than storing them.
        struct stat info {};
        const bool sized = ::fstat(in.get(), &info) == 0 && info.st_size > 0;
        std::vector<uint8_t> piece(
            sized ? std::min(static_cast<size_t>(info.st_size), kContentPiece) : kContentPiece);
        for (;;) {
            const ssize_t got = ::read(in.get(), piece.data(), piece.size());
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                log::LogError(4, kSource, "Cannot read " + *archive + ": " + std::strerror(errno));
                return false; // the pending row is discarded with the cursor
            }
            if (got == 0) break;
            rows.AppendChunk(content, piece.data(), static_cast<size_t>(got));
        }
        // The bug may have been deleted since its list was read, by another client too: the
        // check and the new row are one transaction, so that no attachment outlives its bug.
        db::Transaction transaction(rows.ActiveConnection());
        if (!BugStored(rows.ActiveConnection(), bugID_)) {
            log::LogError(0, kSource, "Bug(ID=" + std::to_string(bugID_) + ") does not exist");
            return false; // the pending row is discarded with the cursor
        }
        rows.Update();
        transaction.Commit();
        rows.Close();
        return true; // the archive goes with its folder
    });
}

} // namespace velmora::engine
