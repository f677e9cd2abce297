#include "CrashRound.h"

#include <optional>

#include "CrashModel.h"

namespace velmora::stress {
namespace {

constexpr size_t kDifferencesShown = 8;

std::string Describe(const JournalRecord& record) {
    return record.Text("op") + " #" + record.Text("n");
}

} // namespace

RoundVerdict JudgeRound(const CrashState& before, const std::vector<JournalRecord>& log,
                        const CrashState& found) {
    RoundVerdict verdict;
    CrashState expected = before;
    std::optional<JournalRecord> pending;
    std::string lastSuccess = "none";
    for (const JournalRecord& record : log) {
        const std::string event = record.Text("ev");
        if (event == "begin") {
            if (pending)
                verdict.violations.push_back(Describe(*pending) + " began but never ended");
            pending = record;
        } else if (event == "end") {
            if (!pending || pending->Text("n") != record.Text("n")) {
                verdict.violations.push_back(Describe(record) + " ended but never began");
                pending.reset();
                continue;
            }
            pending.reset();
            if (record.Number("ok") != 1) {
                ++verdict.failed;
                continue;
            }
            ++verdict.succeeded;
            lastSuccess = Describe(record);
            if (!ApplyDone(expected, record))
                verdict.violations.push_back(Describe(record) + ": unknown operation");
        }
    }
    if (found == expected) {
        if (pending) verdict.inFlight = Describe(*pending);
        return verdict;
    }
    std::optional<CrashState> committed;
    if (pending) {
        verdict.inFlight = Describe(*pending);
        committed = ApplyInFlight(expected, *pending, found);
        if (committed && found == *committed) {
            verdict.inFlightCommitted = true;
            return verdict;
        }
    }
    std::string text = "after " + std::to_string(verdict.succeeded) +
                       " reported successes (the last " + lastSuccess + ")";
    text += pending ? " and " + Describe(*pending) + " under way" : std::string(", none under way");
    text += ", the database differs from the state before it:";
    for (const std::string& line : Differences(expected, found, kDifferencesShown))
        text += "\n    " + line;
    if (pending) {
        text += "\n  and from the state after it:";
        if (!committed) committed = ApplyInFlight(expected, *pending, expected);
        if (committed) {
            for (const std::string& line : Differences(*committed, found, kDifferencesShown))
                text += "\n    " + line;
        } else {
            text += " no complete set of its rows is there";
        }
    }
    verdict.violations.push_back(text);
    return verdict;
}

} // namespace velmora::stress
