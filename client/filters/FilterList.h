#pragma once
// The filter sets the user can pick for a bug list: the predefined ones first, then the saved
// ones. No two entries have the same name (compared exactly, letter case included). Names are
// read from the sets themselves each time, so a set renamed in place is compared by its new name.
// Every engine call that fails raises EngineFailure.
#include <QString>

#include <vector>

#include "client/adapter/EngineCall.h"

namespace tarnwick {

class FilterList {
  public:
    // Releases every entry; the predefined count becomes 0.
    void Clear();
    // Appends set, or returns false (nothing added) when an entry of that name exists already.
    bool Add(ComPtr<IBugFilterSet> set);
    // The entry at index, or none when index is out of range.
    ComPtr<IBugFilterSet> GetAt(int index) const;
    // Returns false when index is out of range. Removing a predefined entry lowers the count of
    // predefined entries, so the saved ones stay the ones after it.
    bool RemoveAt(int index);
    // Returns false when no entry has that name.
    bool RemoveByName(const QString& name);
    // The entry of that name, or none.
    ComPtr<IBugFilterSet> FindByName(const QString& name) const;
    int Count() const { return static_cast<int>(entries_.size()); }

    // Replaces the entries by copies of other's: every set a new BugFilterSet of the same name,
    // every condition a new BugFilter with the same AndOr, Condition, Field and Value. The
    // predefined count is copied too. On an engine failure this list is left unchanged.
    void Copy(const FilterList& other);

    // The number of leading entries that are rebuilt per session and never saved.
    int PredefinedCount() const { return predefinedCount_; }
    void SetPredefinedCount(int count);

  private:
    int IndexOf(const QString& name) const;

    std::vector<ComPtr<IBugFilterSet>> entries_;
    int predefinedCount_ = 0;
};

// A new filter set holding new copies of source's name and conditions.
ComPtr<IBugFilterSet> CopyFilterSet(IBugFilterSet* source);

} // namespace tarnwick
