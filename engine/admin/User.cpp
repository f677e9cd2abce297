#include "engine/admin/User.h"

#include "engine/com/OutParams.h"

namespace velmora::engine {

HRESULT CUser::get_ID(LONG* pVal) {
    return ReturnValue(data_.id, pVal);
}

HRESULT CUser::get_LoginName(BSTR* pVal) {
    return ReturnText(data_.loginName, pVal);
}
HRESULT CUser::put_LoginName(BSTR newVal) {
    return StoreText(newVal, data_.loginName);
}

HRESULT CUser::get_UserName(BSTR* pVal) {
    return ReturnText(data_.userName, pVal);
}
HRESULT CUser::put_UserName(BSTR newVal) {
    return StoreText(newVal, data_.userName);
}

HRESULT CUser::get_Description(BSTR* pVal) {
    return ReturnText(data_.description, pVal);
}
HRESULT CUser::put_Description(BSTR newVal) {
    return StoreText(newVal, data_.description);
}

HRESULT CUser::get_Password(BSTR* pVal) {
    return ReturnText(data_.password, pVal);
}
HRESULT CUser::put_Password(BSTR newVal) {
    return StoreText(newVal, data_.password);
}

HRESULT CUser::get_EMail(BSTR* pVal) {
    return ReturnText(data_.email, pVal);
}
HRESULT CUser::put_EMail(BSTR newVal) {
    return StoreText(newVal, data_.email);
}

HRESULT CUser::get_Position(BSTR* pVal) {
    return ReturnText(data_.position, pVal);
}
HRESULT CUser::put_Position(BSTR newVal) {
    return StoreText(newVal, data_.position);
}

HRESULT CUser::get_Address(BSTR* pVal) {
    return ReturnText(data_.address, pVal);
}
HRESULT CUser::put_Address(BSTR newVal) {
    return StoreText(newVal, data_.address);
}

HRESULT CUser::get_Phone(BSTR* pVal) {
    return ReturnText(data_.phone, pVal);
}
HRESULT CUser::put_Phone(BSTR newVal) {
    return StoreText(newVal, data_.phone);
}

HRESULT CUser::get_Department(BSTR* pVal) {
    return ReturnText(data_.department, pVal);
}
HRESULT CUser::put_Department(BSTR newVal) {
    return StoreText(newVal, data_.department);
}

HRESULT CUser::get_ClassSet(IClassificationSet** pVal) {
    return ReturnObject<IClassificationSet, IClassificationSet>(nullptr, pVal);
}

HRESULT CUser::put_ClassSet(IClassificationSet*) {
    return S_OK;
}

} // namespace velmora::engine
