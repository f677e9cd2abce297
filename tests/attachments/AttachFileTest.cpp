// One attachment file: its properties, and getting or opening its stored content, with every
// way that fails.
#include <chrono>
#include <thread>

#include "AttachmentTestSupport.h"

namespace velmora::test {
namespace {

using engine::CAttachFile;

TEST(AttachFileProperties, FullNameSetsTheFileNameSplitOnEitherSlash) {
    auto file = engine::CreateObject<CAttachFile>();
    auto fileNameAfter = [&](const std::string& fullName) {
        EXPECT_EQ(file->put_FullName(Bstr(fullName).Get()), S_OK);
        Bstr text;
        file->get_FullName(text.Put());
        EXPECT_EQ(text.Utf8(), fullName);
        file->get_FileName(text.Put());
        return text.Utf8();
    };
    EXPECT_EQ(fileNameAfter("D:\\docs\\notes.txt"), "notes.txt");
    EXPECT_EQ(fileNameAfter("/home/ann/notes.md"), "notes.md");
    EXPECT_EQ(fileNameAfter("mixed/path\\last.log"), "last.log");
    EXPECT_EQ(fileNameAfter("plain.txt"), "plain.txt");
    EXPECT_EQ(fileNameAfter("folder/"), "");
    LONG id = -1;
    file->get_ID(&id);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(file->get_FileName(nullptr), E_POINTER);
}

class AttachFile : public AttachmentTest {
  protected:
    void SetUp() override {
        AttachmentTest::SetUp();
        content = RandomBytes(70000, 20);
        WriteFile(files_ / "screen shot.png", content);
        file = Attach(files_ / "screen shot.png");
        ASSERT_TRUE(file) << ErrorDescription();
    }
    HRESULT GetFile(IFile* from, const fs::path& target) {
        return from->GetFile(Bstr(target.string()).Get());
    }
    // A script standing in for xdg-open that records its argument and working folder.
    void UseRecordingOpener() {
        const fs::path script = dir_ / "opener.sh";
        std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n%s\\n' \"$1\" \"$(pwd)\" > '"
                              << dir_.string() << "/opened.tmp'\nmv '" << dir_.string()
                              << "/opened.tmp' '" << dir_.string() << "/opened.txt'\n";
        fs::permissions(script, fs::perms::owner_all);
        CAttachFile::SetOpenProgramForTesting(script.string());
    }
    // The argument and working folder the recording opener saw, once it has run.
    std::vector<std::string> Opened() {
        const fs::path record = dir_ / "opened.txt";
        for (int i = 0; i < 400 && !fs::exists(record); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        std::ifstream in(record);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        fs::remove(record);
        return lines;
    }

    Bytes content;
    ComPtr<IFile> file;
};

TEST_F(AttachFile, GetFileOfANewOrVanishedFileFails) {
    auto stray = engine::CreateObject<CAttachFile>();
    EXPECT_EQ(GetFile(stray.Get(), dir_ / "x"), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Get File Failed!");
    EXPECT_TRUE(Logged(0, "CAttachFile::GetFile", "File id is 0"));
    stray->SetID(99);
    EXPECT_EQ(GetFile(stray.Get(), dir_ / "x"), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Get File Failed!");
    EXPECT_TRUE(Logged(2, "CAttachFile::GenFile", "File(ID=99) does not exist"));
    EXPECT_FALSE(fs::exists(dir_ / "x"));
}

TEST_F(AttachFile, GetFileNeverOverwritesAnExistingFile) {
    WriteFile(dir_ / "existing.png", {'k', 'e', 'e', 'p'});
    EXPECT_EQ(GetFile(file.Get(), dir_ / "existing.png"), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Get File Failed!");
    EXPECT_TRUE(Logged(0, "CAttachFile::GetFile", "CopyFile failed!"));
    EXPECT_EQ(ReadFile(dir_ / "existing.png"), (Bytes{'k', 'e', 'e', 'p'}));
}

TEST_F(AttachFile, DamagedOrMissingStoredContentFailsCleanly) {
    const fs::path target = dir_ / "restored.png";
    const Bytes archive = ReadFile(StoredArchive(1));
    Bytes damaged = archive;
    for (size_t i = 500; i < 600; ++i)
        damaged[i] = static_cast<char>(damaged[i] ^ 0x33);
    for (const Bytes& stored : {RandomBytes(3000, 21), damaged, Bytes{}}) {
        StoreContent(1, stored);
        EXPECT_EQ(GetFile(file.Get(), target), E_FAIL);
        EXPECT_EQ(ErrorDescription(), "Get File Failed!");
        EXPECT_FALSE(fs::exists(target));
    }
    EXPECT_TRUE(LoggedStarting(0, "CAttachFile::GenFile", "Failed to unzip file "));
    Execute("UPDATE tAttachment SET FileContent = NULL");
    EXPECT_EQ(GetFile(file.Get(), target), E_FAIL);
    EXPECT_FALSE(fs::exists(target));
}

TEST_F(AttachFile, TheStoredNameOnlyEverNamesAFileInThePrivateFolder) {
    Execute("UPDATE tAttachment SET FileName = '../../screen shot.png'");
    ASSERT_EQ(GetFile(file.Get(), dir_ / "r.png"), S_OK) << ErrorDescription();
    EXPECT_TRUE(ReadFile(dir_ / "r.png") == content);
    Execute("UPDATE tAttachment SET FileName = NULL");
    EXPECT_EQ(GetFile(file.Get(), dir_ / "s.png"), E_FAIL);
    EXPECT_FALSE(fs::exists(dir_ / "s.png"));
}

TEST_F(AttachFile, WithoutATemporaryFolderNothingCanBeRestored) {
    const char* old = std::getenv("TMPDIR");
    const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
    setenv("TMPDIR", (dir_ / "no-such-folder").c_str(), 1);
    const HRESULT got = GetFile(file.Get(), dir_ / "r.png");
    const HRESULT opened = file->OpenFile();
    saved ? setenv("TMPDIR", saved->c_str(), 1) : unsetenv("TMPDIR");
    EXPECT_EQ(got, E_FAIL);
    EXPECT_TRUE(Logged(0, "CAttachFile::GetFile", "GetTempPath API failed"));
    EXPECT_EQ(opened, E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Open File Failed");
    EXPECT_TRUE(Logged(0, "CAttachFile::OpenFile", "GetTempPath API failed"));
}

TEST_F(AttachFile, OpenFileHandsTheExtractedPathToTheOpenerInAPrivateFolder) {
    UseRecordingOpener();
    ASSERT_EQ(file->OpenFile(), S_OK) << ErrorDescription();
    const std::vector<std::string> first = Opened();
    ASSERT_EQ(first.size(), 2u);
    const fs::path opened = first[0];
    EXPECT_EQ(opened.filename(), "screen shot.png"); // one argument, spaces and all
    EXPECT_EQ(fs::path(first[1]), opened.parent_path());
    EXPECT_TRUE(ReadFile(opened) == content); // it stays for the program that opened it
    EXPECT_EQ(fs::status(opened.parent_path()).permissions(), fs::perms::owner_all);

    ASSERT_EQ(file->OpenFile(), S_OK); // again: never meets the first copy
    const std::vector<std::string> second = Opened();
    ASSERT_EQ(second.size(), 2u);
    EXPECT_NE(fs::path(second[0]).parent_path(), opened.parent_path());
    fs::remove_all(opened.parent_path());
    fs::remove_all(fs::path(second[0]).parent_path());
}

TEST_F(AttachFile, OpenFileFailures) {
    file->put_FileName(Bstr("").Get());
    EXPECT_EQ(file->OpenFile(), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Open File Failed");
    EXPECT_TRUE(Logged(0, "CAttachFile::OpenFile", "File Name is not specified"));

    file->put_FileName(Bstr("screen shot.png").Get());
    CAttachFile::SetOpenProgramForTesting((dir_ / "no-such-opener").string());
    EXPECT_EQ(file->OpenFile(), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Open File Failed");
    EXPECT_TRUE(LoggedStarting(0, "CAttachFile::OpenFile", "Cannot run "));

    Execute("DELETE FROM tAttachment");
    EXPECT_EQ(file->OpenFile(), E_FAIL);
    EXPECT_EQ(ErrorDescription(), "Open File Failed");
    EXPECT_TRUE(Logged(2, "CAttachFile::GenFile", "File(ID=1) does not exist"));
}

} // namespace
} // namespace velmora::test
