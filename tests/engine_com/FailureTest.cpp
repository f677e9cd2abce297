// The failure helper (the caller's description and the log entry) and the out-parameter helpers.
#include <gtest/gtest.h>

#include <string>

#include <velmora/ComSupport.h>
#include <velmora/Velmora.h>

#include "TestSupport.h"
#include "engine/com/Failure.h"
#include "engine/com/OutParams.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/db/DbError.h"
#include "engine/log/Log.h"

namespace velmora::engine {
namespace {

class Failure : public ::testing::Test {
  protected:
    void SetUp() override {
        log::SetLogDirectoryForTesting(dir_.Path().string() + "/");
        test::ClearCallerError();
    }
    void TearDown() override { log::SetLogDirectoryForTesting(""); }
    std::string Log() { return test::ReadFile(dir_.File("Err.log")); }

    test::TempDir dir_;
};

// The caller gets the description under the class's ProgID; a later failure replaces an earlier
// one, and reading clears it. Nothing is logged.
TEST_F(Failure, GivesTheCallerTheLatestDescriptionUnderTheClassProgId) {
    EXPECT_EQ(Fail(classes::Bug, "first"), E_FAIL);
    EXPECT_EQ(Fail(classes::ExeContext, "Login failed"), E_FAIL);
    const auto error = test::TakeCallerError();
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->description, "Login failed");
    EXPECT_EQ(error->source, "Velmora.ExeContext.1");
    EXPECT_EQ(error->guid, GUID_NULL);
    EXPECT_EQ(test::TakeCallerError(), std::nullopt);
    EXPECT_EQ(Log(), "");
}

TEST_F(Failure, LogsTheGivenEntryOrACaughtDataAccessErrorToo) {
    EXPECT_EQ(Fail(classes::ProductSet, "Update product failed!\n", 3, "IProductSet::Update",
                   "No right to perform this action"),
              E_FAIL);
    EXPECT_EQ(test::TakeCallerError()->description, "Update product failed!\n");
    EXPECT_NE(Log().find("[ErrCode]: 3\r\n[Source]: IProductSet::Update\r\n"
                         "[Description]: No right to perform this action\r\n"),
              std::string::npos);

    const db::DbError error(static_cast<int32_t>(0x80004005), "Disk full", "Velmora.SQLite");
    EXPECT_EQ(FailWithError(classes::UserSet, "Add user failed", 2, "CUserSet::RealAddUser", error),
              E_FAIL);
    EXPECT_EQ(test::TakeCallerError()->source, "Velmora.UserSet.1");
    EXPECT_NE(Log().find("[Source]: CUserSet::RealAddUser\r\n[Description]: Disk full\t"),
              std::string::npos);
}

TEST(OutParams, RefuseNullOutPointers) {
    EXPECT_EQ(ReturnText("x", nullptr), E_POINTER);
    EXPECT_EQ(ReturnValue<LONG>(1, nullptr), E_POINTER);
    EXPECT_EQ((ReturnObject<IBug, IBug>(nullptr, nullptr)), E_POINTER);
    EXPECT_EQ(ReturnVariant(com::Variant(), nullptr), E_POINTER);
}

} // namespace
} // namespace velmora::engine
