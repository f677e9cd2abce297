// The stress checks find what they are for: each case plants one fault of the kind a broken
// engine would leave, in a database made as the stress run makes it, and expects it reported.
#include <gtest/gtest.h>

#include "DatabaseProbe.h"
#include "Fingerprint.h"
#include "Invariants.h"
#include "OperationNames.h"
#include "StressChecker.h"
#include "WorkerSeed.h"
#include "Workspace.h"
#include "engine/log/Log.h"
#include "tests/support/TestDataSource.h"

namespace velmora::stress {
namespace {

class StressCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        log::SetLogDirectoryForTesting(folder_.Path() + "/");
        layout_ = CreateWorkerDatabase(database_, 2);
        seed_ = ReadSeedRows(DatabaseProbe(database_));
    }
    void TearDown() override { log::SetLogDirectoryForTesting(""); }

    // Changes the database as another client would, beside the engine.
    void Execute(const std::string& sql) {
        ASSERT_EQ(test::TestDataSource::Execute(database_, sql), "");
    }

    // A bug row as a worker's add would leave it; the counter moves past it.
    void StoreBug(LONG id, const std::string& description, const std::string& report = "") {
        Execute("INSERT INTO tBugReport (BugID, BugType, Description, Report, PriorityName, "
                "ReportedInVersionID) VALUES (" +
                std::to_string(id) + ", 0, '" + description + "', '" + report + "', 'High', " +
                std::to_string(layout_.versionId) +
                "); UPDATE tNextID SET NextBugID = " + std::to_string(id + 1));
    }

    static JournalRecord AddBug(LONG id, const std::string& description, bool ok = true) {
        JournalRecord record;
        record.Set("op", op::kAddBug).Set("n", id).Set("ok", ok ? 1 : 0);
        record.Set("id", id).Set("type", 0).Set("desc", description);
        record.Set("rep", Fingerprint("")).Set("pri", "High");
        return record;
    }
    static JournalRecord UpdateBug(LONG id, const std::string& description, bool ok) {
        JournalRecord record = AddBug(id, description, ok);
        record.Set("op", op::kUpdateBug);
        return record;
    }

    std::vector<std::string> Check(const std::vector<WorkerJournal>& journals) {
        const StressExpectation expected = BuildExpectation(journals);
        std::vector<std::string> found = expected.violations;
        for (auto& violation : CompareWithDatabase(expected, seed_, DatabaseProbe(database_)))
            found.push_back(std::move(violation));
        return found;
    }

    static bool Mentions(const std::vector<std::string>& violations, const std::string& text) {
        for (const auto& violation : violations) {
            if (violation.find(text) != std::string::npos) return true;
        }
        return false;
    }

    Workspace folder_{"", "velmora-stress-check"};
    test::TestDataSource sources_;
    std::string database_ = sources_.Create(folder_.Path(), "check.mdb");
    SeedLayout layout_;
    SeedRows seed_;
};

TEST_F(StressCheckTest, AFreshWorkerDatabaseKeepsEveryRule) {
    EXPECT_EQ(CheckInvariants(DatabaseProbe(database_)), std::vector<std::string>{});
    EXPECT_EQ(layout_.userIds.size(), 2u);
    EXPECT_EQ(Check({}), std::vector<std::string>{});
}

TEST_F(StressCheckTest, ReportedAddsAndTheLastReportedUpdateMatch) {
    StoreBug(1, "second");
    StoreBug(2, "kept");
    const auto found = Check({{0,
                               {AddBug(1, "first"), UpdateBug(1, "refused", false),
                                UpdateBug(1, "second", true), AddBug(2, "kept")}}});
    EXPECT_EQ(found, std::vector<std::string>{});
}

TEST_F(StressCheckTest, LostAndWronglyRefusedUpdatesAreToldApart) {
    StoreBug(1, "first");
    StoreBug(2, "refused");
    const auto found = Check({{0,
                               {AddBug(1, "first"), UpdateBug(1, "second", true), AddBug(2, "kept"),
                                UpdateBug(2, "refused", false)}}});
    ASSERT_EQ(found.size(), 2u);
    EXPECT_TRUE(Mentions(found, "bug 1 of worker 1: lost update"));
    EXPECT_TRUE(Mentions(found, "bug 2 of worker 1: an update reported as failed took effect"));
}

TEST_F(StressCheckTest, MissingPhantomAndUndeletedBugsAreViolations) {
    StoreBug(2, "deleted");
    StoreBug(3, "unclaimed");
    JournalRecord remove;
    remove.Set("op", op::kDeleteBug).Set("n", 9).Set("ok", 1).Set("id", 2);
    const auto found = Check({{0, {AddBug(1, "lost"), AddBug(2, "deleted")}}, {1, {remove}}});
    EXPECT_TRUE(Mentions(found, "bug 1 of worker 1: its add reported success, but it is missing"));
    EXPECT_TRUE(Mentions(found, "bug 2 of worker 1: a delete reported success"));
    EXPECT_TRUE(Mentions(found, "tBugReport row 3 is in the database, but no reported add"));
}

TEST_F(StressCheckTest, AnIdentifierHandedOutTwiceIsAViolation) {
    StoreBug(1, "same");
    const auto found = Check({{0, {AddBug(1, "same")}}, {1, {AddBug(1, "same")}}});
    EXPECT_TRUE(Mentions(found, "identifier 1 of tBugReport handed out twice: worker 1 addbug #1 "
                                "and worker 2 addbug #1"));
}

TEST_F(StressCheckTest, AttachmentsFollowTheirBugsDeletion) {
    StoreBug(1, "with files");
    Execute("INSERT INTO tAttachment (AttachmentID, BugID, FileName, FileSize) VALUES "
            "(1, 1, 'a.bin', 10), (2, 1, 'b.bin', 20);"
            "UPDATE tNextID SET NextAttachmentID = 3");
    auto attach = [](LONG id, const std::string& name, LONG size) {
        JournalRecord record;
        record.Set("op", op::kAddFile).Set("n", id).Set("ok", 1).Set("id", id).Set("bug", 1);
        record.Set("name", name).Set("size", size).Set("hash", "");
        return record;
    };
    JournalRecord remove;
    remove.Set("op", op::kRemoveFile).Set("n", 5).Set("ok", 1).Set("id", 2).Set("bug", 1);
    EXPECT_TRUE(Mentions(Check({{0,
                                 {AddBug(1, "with files"), attach(1, "a.bin", 10),
                                  attach(2, "b.bin", 20), remove}}}),
                         "attachment 2 of bug 1: removed by a reported success"));
    EXPECT_TRUE(Mentions(
        Check({{0, {AddBug(1, "with files"), attach(1, "a.bin", 11), attach(2, "b.bin", 20)}}}),
        "attachment 1 of bug 1: holds bug 1, 'a.bin', 10 bytes; expected"));
}

TEST_F(StressCheckTest, AProductMustHoldExactlyItsReportedVersions) {
    Execute("INSERT INTO tProduct VALUES (10, 'p', 'second');"
            "INSERT INTO tVersion VALUES (20, 10, 'v1', '', 0), (22, 10, 'extra', '', 0);"
            "UPDATE tNextID SET NextProductID = 11, NextVersionID = 23");
    JournalRecord add;
    add.Set("op", op::kAddProduct).Set("n", 1).Set("ok", 1).Set("id", 10).Set("name", "p");
    add.Set("desc", "first").Set("vers", "20:v1");
    JournalRecord update;
    update.Set("op", op::kUpdateProduct).Set("n", 2).Set("ok", 1).Set("id", 10);
    update.Set("desc", "second").Set("vers", "20:v1;21:v2");
    const auto found = Check({{0, {add, update}}});
    EXPECT_TRUE(Mentions(found, "version 21 'v2' is missing"));
    EXPECT_TRUE(Mentions(found, "version 22 'extra' of product 10 is in the database, but no "
                                "reported change accounts for it"));
    EXPECT_FALSE(Mentions(found, "lost update"));
}

TEST_F(StressCheckTest, InvariantsCatchOrphansAndACounterBehindItsTable) {
    Execute("INSERT INTO tBugReport (BugID, ReportedInVersionID) VALUES (5, 999);"
            "INSERT INTO tAttachment (AttachmentID, BugID) VALUES (1, 77);"
            "INSERT INTO tVersion VALUES (50, 404, 'stray', '', 0);"
            "UPDATE tNextID SET NextBugID = 5, NextAttachmentID = 2, NextVersionID = 51");
    const auto broken = CheckInvariants(DatabaseProbe(database_));
    EXPECT_TRUE(Mentions(broken, "NextBugID is 5, not above the largest BugID 5"));
    EXPECT_TRUE(Mentions(broken, "attachment without its bug: 1"));
    EXPECT_TRUE(Mentions(broken, "version without its product: 50"));
    EXPECT_TRUE(Mentions(broken, "bug reported in a missing version: 5"));
    EXPECT_EQ(broken.size(), 4u);
}

} // namespace
} // namespace velmora::stress
