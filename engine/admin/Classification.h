#pragma once
// A classification: a named category inside one product. The object holds the row of
// tClassification; the set it belongs to tells it its product.
#include <string>

#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"
#include "engine/mapping/Rows.h"

namespace velmora::engine {

class CClassification : public CoClass<IClassificationStub, classes::Classification>,
                        public MappedRow<ClassificationData> {
  public:
    // Engine side: the fields as stored, for the row mapping and the set.
    void SetProductID(LONG productId) { data_.productId = productId; }

    HRESULT STDMETHODCALLTYPE get_Name(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Name(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_ID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ID(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ProductID(LONG* pVal) override;
};

} // namespace velmora::engine
