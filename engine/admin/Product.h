#pragma once
// A product with its ordered list of versions. The list is edited in memory; the product set
// writes a product and its whole version list to the database together.
#include <string>
#include <vector>

#include <velmora/ComSupport.h>

#include "engine/admin/ClassificationSet.h"
#include "engine/admin/RoleSet.h"
#include "engine/admin/Version.h"
#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"
#include "engine/mapping/Rows.h"

namespace velmora::engine {

class CProduct : public CoClass<IProductStub, classes::Product>, public ProductRow {
  public:
    // Engine side: the fields as stored and the version list, for the row mapping and the set.
    void SetID(LONG id) { data_.id = id; }
    const std::vector<com::ComPtr<CVersion>>& Versions() const { return versions_; }
    // Appends a new version with ID 0 and returns it. Throws std::bad_alloc.
    com::ComPtr<CVersion> AppendVersion(std::string name, std::string description,
                                        DATE releaseDate);
    // The same for a version the row mapping reads with the product.
    VersionData& AppendVersionRow(std::string name, std::string description,
                                  DATE releaseDate) override;

    HRESULT STDMETHODCALLTYPE get_ID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_Version(LONG iIndex, IVersion** pVal) override;
    HRESULT STDMETHODCALLTYPE get_VersionCount(LONG* pVal) override;
    // In memory only: nothing is written until the product set adds or updates the product.
    HRESULT STDMETHODCALLTYPE AddVersion(BSTR bstrVerName, BSTR bstrVerDesp, DATE ReleaseDate,
                                         IVersion** ppVersion) override;
    // Removes the first version whose name matches exactly (letter case and blanks count).
    HRESULT STDMETHODCALLTYPE RemoveVersion(BSTR bstrVerName) override;
    HRESULT STDMETHODCALLTYPE RemoveVersionAt(LONG iIndex) override;
    // The product's classifications, read on the first call and kept for the product's lifetime.
    HRESULT STDMETHODCALLTYPE get_ClassificationSet(IClassificationSet** pVal) override;
    // The roles bound to the product, read afresh into a new set without a session on every call.
    HRESULT STDMETHODCALLTYPE get_RoleSet(IRoleSet** pVal) override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Name(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Description(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Description(BSTR newVal) override;

  private:
    bool HoldsIndex(LONG index) const {
        return index >= 0 && static_cast<size_t>(index) < versions_.size();
    }

    std::vector<com::ComPtr<CVersion>> versions_;
    com::ComPtr<CClassificationSet> classificationSet_;
};

} // namespace velmora::engine
