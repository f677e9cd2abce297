#pragma once
// A list of users through which users are added, changed and removed. The administrator account
// (UserID 1) cannot be removed by ID; removing a user takes its system information,
// classification and role assignments with it in one transaction.
#include <velmora/ComSupport.h>

#include "engine/admin/AdminSet.h"
#include "engine/admin/User.h"
#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

class CUserSet : public CoClass<IUserSetStub, classes::UserSet>,
                 public AdminSet<CUser, classes::UserSet> {
  public:
    HRESULT STDMETHODCALLTYPE get_Count(LONG* pVal) override;
    // Also makes the user the target of Update.
    HRESULT STDMETHODCALLTYPE get_Item(LONG iIndex, IUser** pVal) override;
    HRESULT STDMETHODCALLTYPE get_ExeContext(IExeContext** pVal) override;
    // Stores the user as a new row (login names are unique), then appends it.
    HRESULT STDMETHODCALLTYPE Add(IUser* pUser) override;
    HRESULT STDMETHODCALLTYPE RemoveByID(LONG ID) override;
    HRESULT STDMETHODCALLTYPE RemoveByIndex(LONG iIndex) override;
    HRESULT STDMETHODCALLTYPE Update() override;

    // In memory only.
    HRESULT STDMETHODCALLTYPE Append(IUser* pUser) override;
    HRESULT STDMETHODCALLTYPE DeleteByID(LONG ID) override;
    HRESULT STDMETHODCALLTYPE DeleteByIndex(LONG iIndex) override;

  private:
    // The database work behind the members above. RealRemove and RealUpdate log why they failed
    // and return E_FAIL without giving the caller a description; the member gives its own.
    static HRESULT RealRemove(LONG userId);
    static HRESULT RealUpdate(CUser* user);
    // Reports its failure whole, description included: a duplicated login name with its own
    // text, anything else as "Add user failed". A user that could not be stored keeps its old ID.
    static HRESULT RealAddUser(CUser& user);
};

} // namespace velmora::engine
