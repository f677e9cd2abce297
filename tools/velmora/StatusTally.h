#pragma once
// Counts bugs or features by status, and prints the counts in the order of the status list.
#include <map>
#include <string>
#include <vector>

#include <velmora/Velmora.h>

namespace velmora::tool {

class StatusTally {
  public:
    void Add(const std::string& status, int count = 1);
    // Adds every row of the open list (walked from the first row to the end).
    void AddRows(IBugSet* set);
    void AddAll(const StatusTally& other);

    int Total() const { return total_; }
    // "New 3, Fixed 1": the statuses in the given order, then any others by name; statuses
    // with no items are left out unless withZeros.
    std::string Describe(const std::vector<std::string>& order, bool withZeros) const;

  private:
    std::map<std::string, int> counts_;
    int total_ = 0;
};

} // namespace velmora::tool
