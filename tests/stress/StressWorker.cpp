// The worker's loop: choose an operation, run it, journal it; until the plan's count or deadline.
#include "StressWorker.h"

#include <chrono>
#include <exception>
#include <iostream>

#include "Fingerprint.h"
#include "JournalFile.h"
#include "StressWorkerOps.h"
#include "WorkerSeed.h"
#include "engine/log/Log.h"

namespace velmora::stress {
namespace {

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Operations and their shares of a run, in percent.
struct Share {
    const char* name;
    int percent;
};
constexpr Share kShares[] = {
    {op::kAddBug, 20},    {op::kUpdateBug, 25},  {op::kDeleteBug, 7},     {op::kAddFile, 10},
    {op::kRemoveFile, 5}, {op::kAddProduct, 4},  {op::kUpdateProduct, 9}, {op::kDeleteProduct, 2},
    {op::kAddClass, 6},   {op::kUpdateClass, 6}, {op::kRename, 4},        {op::kSynchronize, 2},
};
static_assert([] {
    int total = 0;
    for (const Share& share : kShares)
        total += share.percent;
    return total == 100;
}());

} // namespace

StressOperations::StressOperations(const StressPlan& plan, WorkerSession& session)
    : plan_(plan), session_(session),
      random_(plan.seed * 0x100000001B3ull + static_cast<uint64_t>(plan.worker) + 1) {}

uint64_t StressOperations::Random() {
    return NextRandom(random_);
}

size_t StressOperations::Pick(size_t count) {
    return static_cast<size_t>(Random() % count);
}

std::string StressOperations::Tag() const {
    return "w" + std::to_string(plan_.worker + 1) + "-op" + std::to_string(sequence_);
}

JournalRecord StressOperations::Begin(const char* name) const {
    JournalRecord record;
    record.Set("op", name).Set("n", sequence_);
    return record;
}

JournalRecord StressOperations::Finish(JournalRecord record, const Outcome& outcome) {
    record.Set("ok", outcome.ok ? 1 : 0);
    if (!outcome.ok) record.Set("msg", outcome.message);
    return record;
}

JournalRecord StressOperations::RunOne(int64_t sequence) {
    sequence_ = sequence;
    int roll = static_cast<int>(Pick(100));
    const char* chosen = kShares[0].name;
    for (const Share& share : kShares) {
        if (roll < share.percent) {
            chosen = share.name;
            break;
        }
        roll -= share.percent;
    }
    const std::string name = chosen;
    if (name == op::kUpdateBug) return UpdateBug();
    if (name == op::kDeleteBug) return DeleteBug();
    if (name == op::kAddFile) return AttachFile();
    if (name == op::kRemoveFile) return RemoveFile();
    if (name == op::kAddProduct) return AddProduct();
    if (name == op::kUpdateProduct) return UpdateProduct();
    if (name == op::kDeleteProduct) return DeleteProduct();
    if (name == op::kAddClass) return AddClass();
    if (name == op::kUpdateClass) return UpdateClass();
    if (name == op::kRename) return RenameUser();
    if (name == op::kSynchronize) return Synchronize();
    return AddBug();
}

int RunStressWorker(const StressPlan& plan) {
    try {
        log::SetLogDirectoryForTesting(plan.scratch + "/");
        JournalWriter journal(plan.journal, false);
        WorkerSession session(plan.database, WorkerLogin(plan.worker), WorkerPassword(plan.worker),
                              plan.versionId);
        StressOperations operations(plan, session);
        for (int64_t sequence = 1;; ++sequence) {
            if (plan.operations > 0 && sequence > plan.operations) break;
            if (plan.deadlineMs > 0 && NowMs() >= plan.deadlineMs) break;
            const auto started = std::chrono::steady_clock::now();
            JournalRecord record = operations.RunOne(sequence);
            record.Set("us", std::chrono::duration_cast<std::chrono::microseconds>(
                                 std::chrono::steady_clock::now() - started)
                                 .count());
            journal.Append(record);
        }
        return 0;
    } catch (const std::exception& error) {
        std::cerr << "worker " << plan.worker + 1 << ": " << error.what() << "\n";
        return 2;
    }
}

} // namespace velmora::stress
