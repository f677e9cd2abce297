#include "engine/admin/Classification.h"

#include "engine/com/OutParams.h"

namespace velmora::engine {

HRESULT CClassification::get_Name(BSTR* pVal) {
    return ReturnText(data_.name, pVal);
}
HRESULT CClassification::put_Name(BSTR newVal) {
    return StoreText(newVal, data_.name);
}

HRESULT CClassification::get_ID(LONG* pVal) {
    return ReturnValue(data_.id, pVal);
}
HRESULT CClassification::put_ID(LONG newVal) {
    data_.id = newVal;
    return S_OK;
}

HRESULT CClassification::get_ProductID(LONG* pVal) {
    return ReturnValue(data_.productId, pVal);
}

} // namespace velmora::engine
