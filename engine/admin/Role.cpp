#include "engine/admin/Role.h"

#include "engine/com/OutParams.h"

namespace velmora::engine {

HRESULT CRole::get_ID(LONG* pVal) {
    return ReturnValue(data_.id, pVal);
}

HRESULT CRole::get_Name(BSTR* pVal) {
    return ReturnText(data_.name, pVal);
}
HRESULT CRole::put_Name(BSTR newVal) {
    return StoreText(newVal, data_.name);
}

HRESULT CRole::get_Description(BSTR* pVal) {
    return ReturnText(data_.description, pVal);
}
HRESULT CRole::put_Description(BSTR newVal) {
    return StoreText(newVal, data_.description);
}

} // namespace velmora::engine
