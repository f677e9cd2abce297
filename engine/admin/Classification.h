#pragma once
// A classification: a named category inside one product. The object holds the row of
// tClassification; the set it belongs to tells it its product.
#include <string>

#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

struct ClassificationData {
    LONG id = 0; // ClassificationID; 0 until stored
    std::string name;
    LONG productId = 0; // set by the classification set; 0 otherwise
};

class CClassification : public CoClass<IClassificationStub, classes::Classification> {
  public:
    // Engine side: the fields as stored, for the row mapping and the set.
    ClassificationData& Data() { return data_; }
    const ClassificationData& Data() const { return data_; }
    void SetProductID(LONG productId) { data_.productId = productId; }

    HRESULT STDMETHODCALLTYPE get_Name(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Name(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_ID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ID(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ProductID(LONG* pVal) override;

  private:
    ClassificationData data_;
};

} // namespace velmora::engine
