#pragma once
// Helpers for files on disk and archives, and a fixture: the session fixture's fresh seed database
// with one bug (ID 5) and the session logged in as Admin in a role that may edit attachments
// (role 8 may not).
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <minizip/unzip.h>

#include <velmora/ComSupport.h>

#include "../session/SessionTestSupport.h"
#include "engine/bugs/AttachFile.h"
#include "engine/bugs/Bug.h"
#include "engine/bugs/FileSet.h"

namespace velmora::test {

using Bytes = std::vector<char>;
namespace fs = std::filesystem;

inline Bytes RandomBytes(size_t count, unsigned seed) {
    std::mt19937 generator(seed);
    Bytes bytes(count);
    for (char& b : bytes)
        b = static_cast<char>(generator() & 0xff);
    return bytes;
}
inline void WriteFile(const fs::path& path, const Bytes& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}
inline Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
// A moment given in local time.
inline time_t LocalMoment(int year, int month, int day, int hour, int minute, int second) {
    tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return mktime(&local);
}
inline void SetModified(const fs::path& path, time_t moment) {
    const timespec times[2] = {{moment, 0}, {moment, 0}};
    if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) throw std::runtime_error("utimensat");
}
inline time_t Modified(const fs::path& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? status.st_mtime : -1;
}
// `unzip -t` rejects the archive (false when the tool is not installed).
inline bool UnzipToolRejects(const fs::path& archive) {
    if (std::system("command -v unzip >/dev/null 2>&1") != 0) return false;
    return std::system(("unzip -tqq '" + archive.string() + "' >/dev/null 2>&1").c_str()) != 0;
}

// What a standard reader sees of the first entry of an archive.
struct EntryInfo {
    int entries = 0;
    std::string name;
    unz_file_info64 info{};
};
inline EntryInfo ReadFirstEntry(const fs::path& archive) {
    EntryInfo result;
    unzFile zip = unzOpen64(archive.c_str());
    if (!zip) return result;
    unz_global_info64 global{};
    unzGetGlobalInfo64(zip, &global);
    result.entries = static_cast<int>(global.number_entry);
    char name[1024] = {};
    if (unzGoToFirstFile(zip) == UNZ_OK &&
        unzGetCurrentFileInfo64(zip, &result.info, name, sizeof name - 1, nullptr, 0, nullptr, 0) ==
            UNZ_OK)
        result.name = name;
    unzClose(zip);
    return result;
}

// A fixed local time zone away from UTC for the life of the object, so that local and universal
// times differ.
class LocalZone {
  public:
    LocalZone() {
        if (const char* old = std::getenv("TZ")) old_ = old;
        setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        tzset();
    }
    ~LocalZone() {
        if (old_)
            setenv("TZ", old_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

  private:
    std::optional<std::string> old_;
};

class AttachmentTest : public SessionTest {
  protected:
    void SetUp() override {
        SessionTest::SetUp();
        files_ = dir_ / "files";
        Execute("INSERT INTO tRole VALUES (7, 'Tester', '', 0), (8, 'Reader', '', 0);"
                "INSERT INTO tRight (RightID, RoleID, \"Read\", EditAttachment) "
                "VALUES (3, 7, 1, 1), (4, 8, 1, 0);"
                "INSERT INTO tBugReport (BugID, BugType, Description) VALUES (5, 0, 'crash')");
        ASSERT_EQ(Open(), S_OK);
        ASSERT_EQ(Login("Admin", ""), S_OK);
        ASSERT_EQ(session_->SetCurRole(7), S_OK);
    }
    void TearDown() override {
        engine::CFileSet::SetLargestStoredArchiveForTesting(0);
        engine::CAttachFile::SetOpenProgramForTesting("");
        SessionTest::TearDown();
    }

    // The bug's attachment list, as the client obtains it.
    ComPtr<IFileSet> AttachedFiles(LONG bugID = 5) {
        auto bug = engine::CreateObject<engine::CBug>();
        bug->Data().id = bugID;
        bug->SetContext(session_.Get());
        ComPtr<IFileSet> files;
        EXPECT_EQ(bug->get_AttachedFiles(files.Put()), S_OK);
        return files;
    }
    // Attaches the file at `path` to bug 5; the new file object, or null.
    ComPtr<IFile> Attach(const fs::path& path) {
        ComPtr<IFile> file;
        AttachedFiles()->Add(Bstr(path.string()).Get(), file.Put());
        return file;
    }
    static LONG IdOf(IFile* file) {
        LONG id = -1;
        file->get_ID(&id);
        return id;
    }
    static std::string NameOf(IFile* file) {
        Bstr name;
        file->get_FileName(name.Put());
        return name.Utf8();
    }

    // The first column of the first row as bytes (empty for no row or NULL).
    Bytes Query(const std::string& sql) {
        sqlite3* db = nullptr;
        sqlite3_open(database_.c_str(), &db);
        sqlite3_stmt* statement = nullptr;
        Bytes result;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW) {
            const char* data = static_cast<const char*>(sqlite3_column_blob(statement, 0));
            if (data) result.assign(data, data + sqlite3_column_bytes(statement, 0));
        }
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return result;
    }
    std::string QueryText(const std::string& sql) {
        const Bytes bytes = Query(sql);
        return std::string(bytes.begin(), bytes.end());
    }
    int AttachmentRows() { return std::stoi(QueryText("SELECT COUNT(*) FROM tAttachment")); }
    // The stored archive of an attachment, written to a file.
    fs::path StoredArchive(LONG id) {
        const fs::path path = dir_ / ("stored-" + std::to_string(id) + ".zip");
        WriteFile(path, Query("SELECT FileContent FROM tAttachment WHERE AttachmentID = " +
                              std::to_string(id)));
        return path;
    }
    // Replaces the stored archive of an attachment with other bytes.
    void StoreContent(LONG id, const Bytes& bytes) {
        static const char digits[] = "0123456789ABCDEF";
        std::string hex;
        for (char c : bytes)
            hex += std::string{digits[(c >> 4) & 0xf], digits[c & 0xf]};
        Execute("UPDATE tAttachment SET FileContent = X'" + hex +
                "' WHERE AttachmentID = " + std::to_string(id));
    }
    // An entry of the error log whose description begins with `start`.
    bool LoggedStarting(int code, const std::string& source, const std::string& start) const {
        return ErrLog().find("[ErrCode]: " + std::to_string(code) + "\r\n[Source]: " + source +
                             "\r\n[Description]: " + start) != std::string::npos;
    }

    fs::path files_;
};

} // namespace velmora::test
