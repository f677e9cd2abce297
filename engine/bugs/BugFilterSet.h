#pragma once
// An ordered list of bug filters, optionally split into two groups, and its SQL condition.
//
// The filters are shared: Add keeps the caller's filter itself, so changing it later changes the
// set's text. AddBatch appends copies instead.
#include <string>
#include <vector>

#include <velmora/ComSupport.h>

#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

class CBugFilterSet : public CoClass<IBugFilterSetStub, classes::BugFilterSet> {
  public:
    // Engine side: the index of the first filter of the second group (-1 in a new set).
    LONG GroupStart() const { return groupStart_; }

    HRESULT STDMETHODCALLTYPE get_Name(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Name(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Count(LONG* pVal) override;
    // Appends the filter itself (a new counted reference). A null filter is refused.
    HRESULT STDMETHODCALLTYPE Add(IBugFilter* p) override;
    // Releases the filter at index and closes the gap; the group start stays where it was.
    HRESULT STDMETHODCALLTYPE Remove(LONG index) override;
    // The filters' conditions joined by their And/Or operators, the two groups in parentheses
    // when NewGroup is set. A filter without a text makes the whole call fail.
    HRESULT STDMETHODCALLTYPE GetSQL(BSTR* pVal) override;
    // The stored filter itself, with a new counted reference.
    HRESULT STDMETHODCALLTYPE get_Item(LONG iIndex, IBugFilter** pVal) override;
    // Appends copies of the other set's filters (the first one joined with And); its name and
    // grouping are not copied. A null set appends nothing.
    HRESULT STDMETHODCALLTYPE AddBatch(IBugFilterSet* pFilterSet) override;
    HRESULT STDMETHODCALLTYPE get_NewGroup(LONG* pVal) override;
    // Non-zero starts the second group at the current count; zero removes the grouping.
    HRESULT STDMETHODCALLTYPE put_NewGroup(LONG newVal) override;

  private:
    HRESULT AppendCopyOf(IBugFilter* source, bool first);

    std::string name_;
    LONG newGroup_ = 0;
    LONG groupStart_ = -1;
    std::vector<com::ComPtr<IBugFilter>> filters_;
};

} // namespace velmora::engine
