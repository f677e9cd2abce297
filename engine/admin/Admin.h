#pragma once
// The administration object: lists users, roles and products and links them together. It holds
// no state; every call goes to the database through the process's connection string. The sets
// it hands out carry no session: they are meant for listing.
#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

class CAdmin : public CoClass<IAdminStub, classes::Admin> {
  public:
    HRESULT STDMETHODCALLTYPE get_UserSet(IUserSet** pVal) override;
    HRESULT STDMETHODCALLTYPE get_RoleSet(IRoleSet** pVal) override;
    HRESULT STDMETHODCALLTYPE get_ProductSet(IProductSet** pVal) override;
    // Binds the role to the product, rebinding a role bound elsewhere.
    HRESULT STDMETHODCALLTYPE AssignProductToRole(LONG ProductID, LONG RoleID) override;
    // Appends the pair even when it is already present.
    HRESULT STDMETHODCALLTYPE AssignUserToRole(LONG UserID, LONG RoleID) override;
    // Unbinds the role from whatever product it is bound to; ProductID only has to exist.
    HRESULT STDMETHODCALLTYPE FreeProductFromRole(LONG ProductID, LONG RoleID) override;
    // Removes one row of the pair; succeeds when there is none.
    HRESULT STDMETHODCALLTYPE FreeUserFromRole(LONG UserID, LONG RoleID) override;
    // Creates nothing.
    HRESULT STDMETHODCALLTYPE NewMDB(BSTR bstrFileName) override;
    // Rewrites the role's right row, or creates it with a new identifier written into pRight.
    HRESULT STDMETHODCALLTYPE SetRoleRight(LONG RoleID, IRight* pRight) override;
    // Replaces the role's available statuses; on any failure the old ones stay.
    HRESULT STDMETHODCALLTYPE SetStatusOfRole(LONG RoleID, IBugStatus* pStatus) override;
};

} // namespace velmora::engine
