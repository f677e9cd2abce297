#include "engine/admin/Version.h"

#include "engine/com/OutParams.h"

namespace velmora::engine {

HRESULT CVersion::get_ID(LONG* pVal) {
    return ReturnValue(data_.id, pVal);
}

HRESULT CVersion::get_Name(BSTR* pVal) {
    return ReturnText(data_.name, pVal);
}
HRESULT CVersion::put_Name(BSTR newVal) {
    return StoreText(newVal, data_.name);
}

HRESULT CVersion::get_Description(BSTR* pVal) {
    return ReturnText(data_.description, pVal);
}
HRESULT CVersion::put_Description(BSTR newVal) {
    return StoreText(newVal, data_.description);
}

HRESULT CVersion::get_ReleaseDate(DATE* pVal) {
    return ReturnValue(data_.releaseDate, pVal);
}
HRESULT CVersion::put_ReleaseDate(DATE newVal) {
    data_.releaseDate = newVal;
    return S_OK;
}

} // namespace velmora::engine
