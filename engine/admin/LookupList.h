#pragma once
// The common form of the four lookup lists (priorities, severities, reproducibility, statuses):
// an ordered list of texts, no two equal under exact, case-sensitive comparison, held in memory
// only. The session fills a list with Add; only a status list is ever written back (as a role's
// available statuses).
#include <algorithm>
#include <string>
#include <vector>

#include "engine/com/CoClass.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/OutParams.h"

namespace velmora::engine {

template <class Stub, const ClassInfo& kClass> class CLookupList : public CoClass<Stub, kClass> {
  public:
    // Engine side: the entries in order, and adding one as Add does.
    const std::vector<std::string>& Entries() const { return entries_; }
    void AddEntry(const std::string& entry) {
        if (std::find(entries_.begin(), entries_.end(), entry) == entries_.end())
            entries_.push_back(entry);
    }

    // An index outside the list gives the empty text, with success.
    HRESULT STDMETHODCALLTYPE get_Item(LONG iIndex, BSTR* pVal) override {
        const bool inside = iIndex >= 0 && static_cast<size_t>(iIndex) < entries_.size();
        return ReturnText(inside ? entries_[static_cast<size_t>(iIndex)] : std::string(), pVal);
    }
    HRESULT STDMETHODCALLTYPE get_Count(LONG* pVal) override {
        return ReturnValue(static_cast<LONG>(entries_.size()), pVal);
    }
    // Appends the name unless an equal entry exists.
    HRESULT STDMETHODCALLTYPE Add(BSTR bstrName) override {
        return Guard([&]() -> HRESULT {
            AddEntry(TextOf(bstrName));
            return S_OK;
        });
    }
    // Removes the entry equal to the name, if there is one.
    HRESULT STDMETHODCALLTYPE Remove(BSTR bstrName) override {
        return Guard([&]() -> HRESULT {
            auto found = std::find(entries_.begin(), entries_.end(), TextOf(bstrName));
            if (found != entries_.end()) entries_.erase(found);
            return S_OK;
        });
    }

  protected:
    std::vector<std::string> entries_;
};

} // namespace velmora::engine
