#pragma once
// The classifications of one product, added, changed and removed through it. The set is filled
// by its product; changes to the database are guarded by the session's current right, which the
// caller hands in with put_ExeContext.
#include <velmora/ComSupport.h>

#include "engine/admin/AdminSet.h"
#include "engine/admin/Classification.h"
#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

class CClassificationSet : public CoClass<IClassificationSetStub, classes::ClassificationSet>,
                           public AdminSet<CClassification, classes::ClassificationSet> {
  public:
    // Engine side: how the product fills the set (with AppendItem).
    void SetProductID(LONG productId) { productId_ = productId; }

    // Stores the classification as a new row of the set's product, then appends it.
    HRESULT STDMETHODCALLTYPE Add(IClassification* pClass) override;
    // Removes the first classification with exactly that name from the database and the set.
    HRESULT STDMETHODCALLTYPE Remove(BSTR bstrName) override;
    HRESULT STDMETHODCALLTYPE RemoveByID(LONG ID) override;
    // As RemoveByID, by position, and without asking for the right.
    HRESULT STDMETHODCALLTYPE RemoveByIndex(LONG nIndex) override;
    // Writes the name of the classification most recently returned by Item.
    HRESULT STDMETHODCALLTYPE Update() override;

    HRESULT STDMETHODCALLTYPE get_Item(LONG iIndex, IClassification** pVal) override;
    HRESULT STDMETHODCALLTYPE get_Count(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_ProductID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ExeContext(IExeContext* newVal) override;

    // In memory only.
    HRESULT STDMETHODCALLTYPE Append(IClassification* pClass) override;
    HRESULT STDMETHODCALLTYPE DeleteByID(LONG ID) override;
    HRESULT STDMETHODCALLTYPE DeleteByIndex(LONG iIndex) override;

  private:
    // Deletes the classification's row unless a bug or feature still uses it; E_FAIL when it was
    // refused or failed, with the reason logged and no description for the caller.
    static HRESULT RealRemoveClass(const CClassification& classification);
    // Removes the item at index from the database and then from the set.
    HRESULT RemoveAt(size_t index);

    LONG productId_ = 0;
};

} // namespace velmora::engine
