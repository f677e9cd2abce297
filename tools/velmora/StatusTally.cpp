#include "StatusTally.h"

#include <algorithm>

#include "EngineCall.h"

namespace velmora::tool {

void StatusTally::Add(const std::string& status, int count) {
    counts_[status] += count;
    total_ += count;
}

void StatusTally::AddRows(IBugSet* set) {
    Require(set->First(), "moving to the first bug");
    for (;;) {
        LONG end = 0;
        Require(set->IsEnd(&end), "walking the bugs");
        if (end) break;
        com::ComPtr<IBug> bug;
        Require(set->get_CurItem(bug.Put()), "reading a bug");
        com::Bstr status;
        Require(RequireObject(bug, "reading a bug")->get_Status(status.Put()),
                "reading a bug's status");
        Add(status.Utf8());
        Require(set->Next(), "moving to the next bug");
    }
}

void StatusTally::AddAll(const StatusTally& other) {
    for (const auto& [status, count] : other.counts_)
        Add(status, count);
}

std::string StatusTally::Describe(const std::vector<std::string>& order, bool withZeros) const {
    std::string text;
    const auto append = [&text](const std::string& status, int count) {
        text += (text.empty() ? "" : ", ") + (status.empty() ? "(no status)" : status) + " " +
                std::to_string(count);
    };
    for (const std::string& status : order) {
        const auto found = counts_.find(status);
        const int count = found == counts_.end() ? 0 : found->second;
        if (count || withZeros) append(status, count);
    }
    for (const auto& [status, count] : counts_)
        if (std::find(order.begin(), order.end(), status) == order.end()) append(status, count);
    return text;
}

} // namespace velmora::tool
