#pragma once
// A version of a product. The object holds the version's row of tVersion; it is written to the
// database together with its product by the product set.
#include <string>

#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"
#include "engine/mapping/Rows.h"

namespace velmora::engine {

class CVersion : public CoClass<IVersionStub, classes::Version>, public MappedRow<VersionData> {
  public:
    // Engine side: the fields as stored, for the row mapping and the product.
    void SetID(LONG id) { data_.id = id; }

    HRESULT STDMETHODCALLTYPE get_ID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Name(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Description(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Description(BSTR newVal) override;
    // Every date is stored as given.
    HRESULT STDMETHODCALLTYPE get_ReleaseDate(DATE* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ReleaseDate(DATE newVal) override;
};

} // namespace velmora::engine
