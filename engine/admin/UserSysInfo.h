#pragma once
// A description of one user's computer, as the user gave it at login. The object holds the row
// of tUserSystemInfo.
#include <string>

#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"
#include "engine/mapping/Rows.h"

namespace velmora::engine {

class CUserSysInfo : public CoClass<IUserSysInfoStub, classes::UserSysInfo>,
                     public MappedRow<UserSysInfoData> {
  public:
    // Engine side: the fields as stored, for the row mapping and the user.
    void SetID(LONG id) { data_.id = id; }
    void SetUserID(LONG userId) { data_.userId = userId; }

    HRESULT STDMETHODCALLTYPE get_ID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_OS(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_OS(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_ServicePack(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ServicePack(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_IEVersion(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_IEVersion(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_NetEnvironment(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_NetEnvironment(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_CPU(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_CPU(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Memory(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Memory(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_OSBuild(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_OSBuild(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_HardDisk(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_HardDisk(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Note(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Note(BSTR newVal) override;
};

} // namespace velmora::engine
