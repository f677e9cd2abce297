// One attachment file: its names, and getting or opening its stored content, with every way that
// fails.
#include <chrono>
#include <thread>
#include <vector>

#include "AttachmentTestSupport.h"

namespace velmora::test {
namespace {

using engine::CAttachFile;

TEST(AttachFileProperties, FullNameSetsTheFileNameSplitOnEitherSlash) {
    auto file = engine::CreateObject<CAttachFile>();
    for (const auto& [fullName, fileName] : {std::pair{"D:\\docs\\notes.txt", "notes.txt"},
                                             {"mixed/path\\last.log", "last.log"},
                                             {"folder/", ""}}) {
        EXPECT_EQ(file->put_FullName(Bstr(fullName).Get()), S_OK);
        Bstr full, name;
        file->get_FullName(full.Put());
        file->get_FileName(name.Put());
        EXPECT_EQ(full.Utf8(), fullName);
        EXPECT_EQ(name.Utf8(), fileName);
    }
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
    // The argument and working folder a stand-in for xdg-open saw, once it has run.
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
    EXPECT_TRUE(Refused(GetFile(stray.Get(), dir_ / "x"), "Get File Failed!", 0,
                        "CAttachFile::GetFile", "File id is 0"));
    stray->SetID(99);
    EXPECT_TRUE(Refused(GetFile(stray.Get(), dir_ / "x"), "Get File Failed!", 2,
                        "CAttachFile::GenFile", "File(ID=99) does not exist"));
    EXPECT_FALSE(fs::exists(dir_ / "x"));
}

TEST_F(AttachFile, GetFileNeverOverwritesAnExistingFile) {
    WriteFile(dir_ / "existing.png", "keep");
    EXPECT_TRUE(Refused(GetFile(file.Get(), dir_ / "existing.png"), "Get File Failed!", 0,
                        "CAttachFile::GetFile", "CopyFile failed!"));
    EXPECT_EQ(ReadFile(dir_ / "existing.png"), "keep");
}

TEST_F(AttachFile, DamagedOrMissingStoredContentFailsCleanly) {
    const fs::path target = dir_ / "restored.png";
    Bytes damaged = ReadFile(StoredArchive(1));
    for (size_t i = 500; i < 600; ++i)
        damaged[i] = static_cast<char>(damaged[i] ^ 0x33);
    for (const Bytes& stored : {RandomBytes(3000, 21), damaged, Bytes{}}) {
        Query("UPDATE tAttachment SET FileContent = ?1", &stored);
        EXPECT_TRUE(Refused(GetFile(file.Get(), target), "Get File Failed!", 0,
                            "CAttachFile::GenFile", "Failed to unzip file ", false));
        EXPECT_FALSE(fs::exists(target));
    }
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

// The opener gets the extracted path as one argument, spaces and all, and runs in its folder; the
// copy stays for the program that opened it, in a private folder of its own for every call.
TEST_F(AttachFile, OpenFileHandsTheExtractedPathToTheOpenerInAPrivateFolder) {
    const fs::path script = dir_ / "opener.sh";
    std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n%s\\n' \"$1\" \"$(pwd)\" > '" << dir_.string()
                          << "/opened.tmp'\nmv '" << dir_.string() << "/opened.tmp' '"
                          << dir_.string() << "/opened.txt'\n";
    fs::permissions(script, fs::perms::owner_all);
    CAttachFile::SetOpenProgramForTesting(script.string());
    ASSERT_EQ(file->OpenFile(), S_OK) << ErrorDescription();
    const std::vector<std::string> first = Opened();
    ASSERT_EQ(first.size(), 2u);
    const fs::path opened = first[0];
    EXPECT_EQ(opened.filename(), "screen shot.png");
    EXPECT_EQ(fs::path(first[1]), opened.parent_path());
    EXPECT_TRUE(ReadFile(opened) == content);
    EXPECT_EQ(fs::status(opened.parent_path()).permissions(), fs::perms::owner_all);

    ASSERT_EQ(file->OpenFile(), S_OK);
    const std::vector<std::string> second = Opened();
    ASSERT_EQ(second.size(), 2u);
    EXPECT_NE(fs::path(second[0]).parent_path(), opened.parent_path());
    fs::remove_all(opened.parent_path());
    fs::remove_all(fs::path(second[0]).parent_path());
}

TEST_F(AttachFile, OpenFileFailures) {
    file->put_FileName(Bstr("").Get());
    EXPECT_TRUE(Refused(file->OpenFile(), "Open File Failed", 0, "CAttachFile::OpenFile",
                        "File Name is not specified"));

    file->put_FileName(Bstr("screen shot.png").Get());
    CAttachFile::SetOpenProgramForTesting((dir_ / "no-such-opener").string());
    EXPECT_TRUE(Refused(file->OpenFile(), "Open File Failed", 0, "CAttachFile::OpenFile",
                        "Cannot run ", false));
}

} // namespace
} // namespace velmora::test
