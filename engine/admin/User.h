#pragma once
// A user: the person who logs in, reports and fixes bugs. The object holds the user's row of
// tUser (the password in clear); its roles and system information are read when asked.
#include <string>

#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"
#include "engine/db/Database.h"
#include "engine/mapping/Rows.h"

namespace velmora::engine {

class CUser : public CoClass<IUserStub, classes::User>, public MappedRow<UserData> {
  public:
    // Engine side: the fields as stored, for the row mapping and the sets.
    void SetID(LONG id) { data_.id = id; }

    HRESULT STDMETHODCALLTYPE get_ID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_LoginName(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_LoginName(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_UserName(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_UserName(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Description(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Description(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Password(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Password(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_EMail(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_EMail(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Position(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Position(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Address(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Address(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Phone(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Phone(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Department(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Department(BSTR newVal) override;
    // A user's classifications are reached through the session: the getter gives null and the
    // setter ignores its argument.
    HRESULT STDMETHODCALLTYPE get_ClassSet(IClassificationSet** pVal) override;
    HRESULT STDMETHODCALLTYPE put_ClassSet(IClassificationSet* newVal) override;

    // The roles the user holds, in a new set without a session.
    HRESULT STDMETHODCALLTYPE get_RoleSet(IRoleSet** pVal) override;
    // The user's system information; null when none is on record.
    HRESULT STDMETHODCALLTYPE get_SysInfo(IUserSysInfo** pVal) override;
    // Creates the user's system-information row on the first call and rewrites it afterwards;
    // the identifiers are written into the passed object.
    HRESULT STDMETHODCALLTYPE put_SysInfo(IUserSysInfo* newVal) override;

  private:
    // The user's tUserSystemInfo identifier (0 for none), on the connection given; false when
    // the user row is missing (logged).
    static bool ReadSysInfoID(db::Connection& connection, LONG userId, LONG& sysInfoId);
};

} // namespace velmora::engine
