#include "StressSummary.h"

#include <iomanip>

namespace velmora::stress {
namespace {

constexpr size_t kViolationsShown = 40;

} // namespace

StressCounts CountOperations(const std::vector<WorkerJournal>& journals) {
    StressCounts counts;
    for (const WorkerJournal& journal : journals) {
        for (const JournalRecord& record : journal.records) {
            const std::string name = record.Text("op");
            ++counts.operations;
            counts.secondsByOperation[name] += static_cast<double>(record.Number("us")) / 1e6;
            if (record.Number("ok") == 1) {
                ++counts.succeeded;
                ++counts.byOperation[name].first;
            } else {
                ++counts.failed;
                ++counts.byOperation[name].second;
                ++counts.failuresByMessage[name + ": " + record.Text("msg")];
            }
        }
    }
    return counts;
}

void PrintSummary(std::ostream& out, int workers, double seconds, const StressCounts& counts,
                  const std::vector<std::string>& violations) {
    out << "clients:      " << workers << "\n"
        << "operations:   " << counts.operations << " (" << counts.succeeded << " succeeded, "
        << counts.failed << " failed)\n"
        << "elapsed:      " << std::fixed << std::setprecision(1) << seconds << " s, "
        << std::setprecision(0) << (seconds > 0 ? counts.operations / seconds : 0)
        << " operations/s\n";
    out << "by operation (succeeded / failed, mean time):\n";
    for (const auto& [name, tally] : counts.byOperation) {
        const long total = tally.first + tally.second;
        const double spent = counts.secondsByOperation.at(name);
        out << "  " << std::left << std::setw(10) << name << std::right << std::setw(7)
            << tally.first << " / " << std::setw(4) << tally.second << std::setw(8)
            << std::setprecision(1) << (total > 0 ? 1000 * spent / total : 0) << " ms\n";
    }
    out << "failures by message:" << (counts.failuresByMessage.empty() ? " none" : "") << "\n";
    for (const auto& [message, count] : counts.failuresByMessage)
        out << "  " << std::setw(6) << count << "  " << message << "\n";
    out << "violations:   " << violations.size() << "\n";
    for (size_t i = 0; i < violations.size() && i < kViolationsShown; ++i)
        out << "  " << violations[i] << "\n";
    if (violations.size() > kViolationsShown)
        out << "  ... and " << violations.size() - kViolationsShown << " more\n";
}

} // namespace velmora::stress
