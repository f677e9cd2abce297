#pragma once
// Helpers for files on disk and archives, and a fixture: the session fixture's fresh seed database
// with one bug (ID 5) and the session logged in as Admin in a role that may edit attachments
// (role 8 may not).
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>
#include <minizip/unzip.h>

#include <velmora/ComSupport.h>

#include "../session/SessionTestSupport.h"
#include "engine/bugs/AttachFile.h"
#include "engine/bugs/Bug.h"
#include "engine/bugs/FileSet.h"

namespace velmora::test {

using Bytes = std::string;
namespace fs = std::filesystem;

inline Bytes RandomBytes(size_t count, unsigned seed) {
    std::mt19937 generator(seed);
    Bytes bytes(count, '\0');
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
inline time_t Modified(const fs::path& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? status.st_mtime : -1;
}
// Sets a file's modification time to a local time ("2004-07-15 13:45") and gives that moment.
inline time_t SetModified(const fs::path& path, const std::string& localTime) {
    const std::string touch = "touch -d '" + localTime + "' '" + path.string() + "'";
    if (std::system(touch.c_str()) != 0) throw std::runtime_error(touch);
    return Modified(path);
}
// `unzip -t` accepts the archive (true when the tool is not installed).
inline bool UnzipToolAccepts(const fs::path& archive) {
    if (std::system("command -v unzip >/dev/null 2>&1") != 0) return true;
    return std::system(("unzip -tqq '" + archive.string() + "' >/dev/null 2>&1").c_str()) == 0;
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
    // Adds the file at `path` to a list (bug 5's when none is given): the call's result.
    HRESULT AddResult(const fs::path& path, IFileSet* files = nullptr) {
        ComPtr<IFile> file;
        const HRESULT hr =
            (files ? files : AttachedFiles().Get())->Add(Bstr(path.string()).Get(), file.Put());
        EXPECT_EQ(file.Get() != nullptr, SUCCEEDED(hr));
        return hr;
    }
    static LONG IdOf(IFile* file) {
        LONG id = -1;
        file->get_ID(&id);
        return id;
    }
    static HRESULT GetFile(IFile* file, const fs::path& target) {
        return file->GetFile(Bstr(target.string()).Get());
    }

    // The first column of the first row as bytes (empty for no row or NULL); `bytes` is bound to
    // the statement's parameter ?1 when given. A query that fails fails the test.
    Bytes Query(const std::string& sql, const Bytes* bytes = nullptr) {
        try {
            return TestDataSource::QueryBytes(database_, sql, bytes);
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
            return "";
        }
    }
    // The stored archive of an attachment, written to a file.
    fs::path StoredArchive(LONG id) {
        const fs::path path = dir_ / ("stored-" + std::to_string(id) + ".zip");
        WriteFile(path, Query("SELECT FileContent FROM tAttachment WHERE AttachmentID = " +
                              std::to_string(id)));
        return path;
    }
    // A call failed with E_FAIL, left `description` for its caller and logged an entry that
    // starts with code, source and `logged` (the whole entry when `whole`).
    ::testing::AssertionResult Refused(HRESULT hr, const std::string& description, int code,
                                       const std::string& source, const std::string& logged,
                                       bool whole = true) {
        const std::string entry = whole ? Entry(code, source, logged)
                                        : "[ErrCode]: " + std::to_string(code) +
                                              "\r\n[Source]: " + source +
                                              "\r\n[Description]: " + logged;
        if (hr != E_FAIL) return ::testing::AssertionFailure() << "the call gave " << hr;
        if (ErrorDescription() != description)
            return ::testing::AssertionFailure() << "the caller was told " << ErrorDescription();
        if (ErrLog().find(entry) == std::string::npos)
            return ::testing::AssertionFailure() << "no entry " << entry << " in " << ErrLog();
        return ::testing::AssertionSuccess();
    }

    fs::path files_;
};

} // namespace velmora::test
