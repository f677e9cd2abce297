// The crash judgement: completed operations must all be there, the one under way at the kill
// wholly or not at all.
#include <gtest/gtest.h>

#include "CrashModel.h"
#include "CrashRound.h"
#include "OperationNames.h"

namespace velmora::stress {
namespace {

// A worker's user 2, a product 1 with version 10 holding bug 100 and its attachment 1000, and a
// role bound to the product.
CrashState Before() {
    CrashState state;
    state.userNames = {{1, "Admin"}, {2, "Worker"}};
    state.products[1] = {"Stress", "seed"};
    state.versions[10] = {1, "1.0"};
    state.bugs[100] = {10, "op1", 2, "Worker"};
    state.files[1000] = {100, "op2.txt", 5};
    state.roleProducts[7] = 1;
    return state;
}

JournalRecord Begin(const char* name, int n) {
    JournalRecord record;
    record.Set("op", name).Set("n", n).Set("ev", "begin");
    return record;
}

JournalRecord End(JournalRecord begin, bool ok = true) {
    begin.Set("ev", "end").Set("ok", ok ? 1 : 0);
    return begin;
}

bool Mentions(const RoundVerdict& verdict, const std::string& text) {
    for (const auto& violation : verdict.violations) {
        if (violation.find(text) != std::string::npos) return true;
    }
    return false;
}

TEST(CrashRoundTest, CompletedOperationsThatArePresentPass) {
    JournalRecord add = Begin(op::kAddBug, 1).Set("ver", 10).Set("desc", "op3").Set("by", 2);
    JournalRecord remove = Begin(op::kRemoveFile, 2).Set("id", 1000);
    CrashState found = Before();
    found.bugs[101] = {10, "op3", 2, "Worker"};
    found.files.erase(1000);
    const RoundVerdict verdict =
        JudgeRound(Before(), {add, End(add).Set("id", 101), remove, End(remove)}, found);
    EXPECT_TRUE(verdict.violations.empty()) << verdict.violations.front();
    EXPECT_EQ(verdict.succeeded, 2);
    EXPECT_TRUE(verdict.inFlight.empty());
}

TEST(CrashRoundTest, ALostCommittedChangeOrAFailedOneThatTookEffectIsAViolation) {
    JournalRecord add = Begin(op::kAddBug, 1).Set("ver", 10).Set("desc", "op3").Set("by", 2);
    const RoundVerdict lost = JudgeRound(Before(), {add, End(add).Set("id", 101)}, Before());
    EXPECT_TRUE(Mentions(lost, "bug 101: expected version 10, 'op3', by 2 'Worker', missing"));

    JournalRecord remove = Begin(op::kDeleteBug, 1).Set("id", 100);
    CrashState found = Before();
    RemoveBug(found, 100);
    const RoundVerdict refused = JudgeRound(Before(), {remove, End(remove, false)}, found);
    EXPECT_EQ(refused.failed, 1);
    EXPECT_TRUE(Mentions(refused, "bug 100: expected"));
}

TEST(CrashRoundTest, ADeletionUnderWayCountsWhenWholeAndFailsWhenHalfDone) {
    JournalRecord remove = Begin(op::kDeleteBug, 1).Set("id", 100);
    CrashState whole = Before();
    whole.bugs.erase(100);
    whole.files.erase(1000);
    const RoundVerdict committed = JudgeRound(Before(), {remove}, whole);
    EXPECT_TRUE(committed.violations.empty());
    EXPECT_TRUE(committed.inFlightCommitted);

    const RoundVerdict undone = JudgeRound(Before(), {remove}, Before());
    EXPECT_TRUE(undone.violations.empty());
    EXPECT_FALSE(undone.inFlightCommitted);
    EXPECT_EQ(undone.inFlight, "delbug #1");

    CrashState half = Before();
    half.bugs.erase(100); // its attachment left behind
    EXPECT_TRUE(Mentions(JudgeRound(Before(), {remove}, half), "attachment 1000: not expected"));
}

TEST(CrashRoundTest, AProductAddUnderWayNeedsEveryVersion) {
    JournalRecord add =
        Begin(op::kAddProduct, 1).Set("name", "p1").Set("desc", "op1").Set("vernames", "a;b");
    CrashState whole = Before();
    whole.products[2] = {"p1", "op1"};
    whole.versions[11] = {2, "a"};
    whole.versions[12] = {2, "b"};
    EXPECT_TRUE(JudgeRound(Before(), {add}, whole).inFlightCommitted);

    CrashState half = whole;
    half.versions.erase(12);
    const RoundVerdict verdict = JudgeRound(Before(), {add}, half);
    EXPECT_FALSE(verdict.inFlightCommitted);
    EXPECT_TRUE(Mentions(verdict, "product 2: not expected"));
}

TEST(CrashRoundTest, ProductDeletionAndVersionDropsCascadeAsTheEngineDoes) {
    JournalRecord remove = Begin(op::kDeleteProduct, 1).Set("id", 1);
    CrashState gone = Before();
    gone.products.clear();
    gone.versions.clear();
    gone.bugs.clear();
    gone.files.clear();
    gone.roleProducts[7] = 0;
    EXPECT_TRUE(JudgeRound(Before(), {remove, End(remove)}, gone).violations.empty());
    CrashState versionsLeft = gone;
    versionsLeft.versions[10] = {1, "1.0"};
    EXPECT_TRUE(Mentions(JudgeRound(Before(), {remove, End(remove)}, versionsLeft),
                         "version 10: not expected"));

    JournalRecord drop = Begin(op::kUpdateProduct, 1).Set("id", 1).Set("desc", "new");
    drop.Set("vers", "0:2.0");
    CrashState dropped = gone;
    dropped.products[1] = {"Stress", "new"};
    dropped.roleProducts[7] = 1;
    dropped.versions[11] = {1, "2.0"};
    const RoundVerdict verdict = JudgeRound(Before(), {drop}, dropped);
    EXPECT_TRUE(verdict.violations.empty()) << verdict.violations.front();
    EXPECT_TRUE(verdict.inFlightCommitted);
}

TEST(CrashRoundTest, ASynchronizeUnderWayRewritesEveryCopyOrNone) {
    CrashState before = Before();
    before.userNames[2] = "Renamed";
    before.bugs[101] = {10, "op5", 2, "Worker"};
    JournalRecord sync = Begin(op::kSynchronize, 1);
    CrashState all = before;
    Synchronize(all);
    EXPECT_TRUE(JudgeRound(before, {sync}, all).inFlightCommitted);
    CrashState some = before;
    some.bugs[101].reportedBy = "Renamed";
    EXPECT_FALSE(JudgeRound(before, {sync}, some).violations.empty());
}

TEST(CrashRoundTest, AnEndWithoutItsBeginIsReported) {
    JournalRecord add = Begin(op::kAddClass, 2).Set("prod", 1).Set("name", "op2");
    const RoundVerdict verdict = JudgeRound(Before(), {End(add).Set("id", 3)}, Before());
    EXPECT_TRUE(Mentions(verdict, "addclass #2 ended but never began"));
}

} // namespace
} // namespace velmora::stress
