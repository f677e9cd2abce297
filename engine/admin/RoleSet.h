#pragma once
// A list of roles through which roles are added, changed and removed. Removing a role takes its
// available statuses, its right and its holders with it in one transaction.
#include <velmora/ComSupport.h>

#include "engine/admin/AdminSet.h"
#include "engine/admin/Role.h"
#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

class CRoleSet : public CoClass<IRoleSetStub, classes::RoleSet>,
                 public AdminSet<CRole, classes::RoleSet> {
  public:
    HRESULT STDMETHODCALLTYPE get_Count(LONG* pVal) override;
    // Also makes the role the target of Update.
    HRESULT STDMETHODCALLTYPE get_Item(LONG iIndex, IRole** pVal) override;
    HRESULT STDMETHODCALLTYPE get_ExeContext(IExeContext** pVal) override;
    // Stores the role as a new row bound to no product, then appends it.
    HRESULT STDMETHODCALLTYPE Add(IRole* pRole) override;
    HRESULT STDMETHODCALLTYPE RemoveByID(LONG ID) override;
    HRESULT STDMETHODCALLTYPE RemoveByIndex(LONG iIndex) override;
    HRESULT STDMETHODCALLTYPE Update() override;

    // In memory only.
    HRESULT STDMETHODCALLTYPE Append(IRole* pRole) override;
    HRESULT STDMETHODCALLTYPE DeleteByID(LONG ID) override;
    HRESULT STDMETHODCALLTYPE DeleteByIndex(LONG iIndex) override;

  private:
    // The database work behind the members above. Each logs why it failed and returns E_FAIL
    // without giving the caller a description; the member gives its own.
    // Deletes the role's row with its statuses, right and holders; all or nothing.
    static HRESULT RealRemove(LONG roleId);
    // A role that could not be stored keeps its old ID.
    static HRESULT RealAddRole(CRole& role);
    static HRESULT RealUpdateRole(CRole* role);
};

} // namespace velmora::engine
