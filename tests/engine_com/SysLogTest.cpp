// The SysLog object: its file name, appending entries and deleting the file, with the file
// system's message as the description when that fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <velmora/ComSupport.h>
#include <velmora/Velmora.h>

#include "TestSupport.h"
#include "engine/com/EngineObjects.h"
#include "engine/log/Log.h"
#include "engine/log/SysLog.h"

namespace velmora::engine {
namespace {

using test::Text;

class SysLog : public ::testing::Test {
  protected:
    void SetUp() override {
        log::SetLogDirectoryForTesting(dir_.Path().string() + "/");
        test::ClearCallerError();
    }
    void TearDown() override { log::SetLogDirectoryForTesting(""); }

    std::string LogFileName() {
        com::Bstr name;
        EXPECT_EQ(log_->get_LogFileName(name.Put()), S_OK);
        return name.Utf8();
    }

    test::TempDir dir_;
    com::ComPtr<CSysLog> log_ = CreateObject<CSysLog>();
};

TEST_F(SysLog, AppendsEntriesToTheNamedFileAndClearDeletesIt) {
    EXPECT_EQ(LogFileName(), "");
    EXPECT_EQ(log_->put_LogFileName(Text("Err.log").Get()), S_OK);
    EXPECT_EQ(LogFileName(), "Err.log");
    ASSERT_EQ(log_->Log(5, Text("Läufer::Run").Get(), Text("naïve ünïcode").Get()), S_OK);
    EXPECT_NE(
        test::ReadFile(dir_.File("Err.log"))
            .find("[ErrCode]: 5\r\n[Source]: Läufer::Run\r\n[Description]: naïve ünïcode\r\n"),
        std::string::npos);
    EXPECT_EQ(log_->Clear(), S_OK);
    EXPECT_FALSE(std::filesystem::exists(dir_.Path() / "Err.log"));
    EXPECT_EQ(test::TakeCallerError(), std::nullopt);

    EXPECT_EQ(log_->put_LogFileName(nullptr), S_OK); // a null text is the empty text
    EXPECT_EQ(LogFileName(), "");
}

// A failure gives the file system's message (or the missing file's path) as the description.
TEST_F(SysLog, ReportsAFileThatCannotBeWrittenOrCleared) {
    log_->put_LogFileName(Text("missing/Err.log").Get());
    EXPECT_EQ(log_->Log(0, Text("here").Get(), Text("text").Get()), E_FAIL);
    auto error = test::TakeCallerError();
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->description, "No such file or directory");
    EXPECT_EQ(error->source, "Velmora.SysLog.1");
    EXPECT_FALSE(std::filesystem::exists(dir_.Path() / "missing"));

    log_->put_LogFileName(Text("Err.log").Get());
    EXPECT_EQ(log_->Clear(), E_FAIL);
    error = test::TakeCallerError();
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->description, "Can't open " + dir_.File("Err.log"));
}

} // namespace
} // namespace velmora::engine
