#include "engine/admin/UserSysInfo.h"

#include "engine/com/OutParams.h"

namespace velmora::engine {

HRESULT CUserSysInfo::get_ID(LONG* pVal) {
    return ReturnValue(data_.id, pVal);
}

HRESULT CUserSysInfo::get_OS(BSTR* pVal) {
    return ReturnText(data_.os, pVal);
}
HRESULT CUserSysInfo::put_OS(BSTR newVal) {
    return StoreText(newVal, data_.os);
}

HRESULT CUserSysInfo::get_ServicePack(BSTR* pVal) {
    return ReturnText(data_.servicePack, pVal);
}
HRESULT CUserSysInfo::put_ServicePack(BSTR newVal) {
    return StoreText(newVal, data_.servicePack);
}

HRESULT CUserSysInfo::get_IEVersion(BSTR* pVal) {
    return ReturnText(data_.ieVersion, pVal);
}
HRESULT CUserSysInfo::put_IEVersion(BSTR newVal) {
    return StoreText(newVal, data_.ieVersion);
}

HRESULT CUserSysInfo::get_NetEnvironment(BSTR* pVal) {
    return ReturnText(data_.netEnvironment, pVal);
}
HRESULT CUserSysInfo::put_NetEnvironment(BSTR newVal) {
    return StoreText(newVal, data_.netEnvironment);
}

HRESULT CUserSysInfo::get_CPU(BSTR* pVal) {
    return ReturnText(data_.cpu, pVal);
}
HRESULT CUserSysInfo::put_CPU(BSTR newVal) {
    return StoreText(newVal, data_.cpu);
}

HRESULT CUserSysInfo::get_Memory(BSTR* pVal) {
    return ReturnText(data_.memory, pVal);
}
HRESULT CUserSysInfo::put_Memory(BSTR newVal) {
    return StoreText(newVal, data_.memory);
}

HRESULT CUserSysInfo::get_OSBuild(BSTR* pVal) {
    return ReturnText(data_.osBuild, pVal);
}
HRESULT CUserSysInfo::put_OSBuild(BSTR newVal) {
    return StoreText(newVal, data_.osBuild);
}

HRESULT CUserSysInfo::get_HardDisk(BSTR* pVal) {
    return ReturnText(data_.hardDisk, pVal);
}
HRESULT CUserSysInfo::put_HardDisk(BSTR newVal) {
    return StoreText(newVal, data_.hardDisk);
}

HRESULT CUserSysInfo::get_Note(BSTR* pVal) {
    return ReturnText(data_.note, pVal);
}
HRESULT CUserSysInfo::put_Note(BSTR newVal) {
    return StoreText(newVal, data_.note);
}

} // namespace velmora::engine
