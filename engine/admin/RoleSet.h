#pragma once
// A list of roles through which roles are added, changed and removed. Removing a role takes its
// available statuses, its right and its holders with it in one transaction.
#include <string>
#include <vector>

#include <velmora/ComSupport.h>

#include "engine/admin/Role.h"
#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

class CRoleSet : public CoClass<IRoleSetStub, classes::RoleSet> {
  public:
    // Engine side: how the engine binds and fills the set.
    void SetContext(IExeContext* context) { context_ = com::ComPtr<IExeContext>(context); }
    // Appends without looking for a role with the same ID. Throws std::bad_alloc.
    void AppendRole(com::ComPtr<CRole> role) { items_.push_back(std::move(role)); }
    const std::vector<com::ComPtr<CRole>>& Items() const { return items_; }

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
    bool HoldsIndex(LONG index) const {
        return index >= 0 && static_cast<size_t>(index) < items_.size();
    }
    // Deletes the role's row with its statuses, right and holders; all or nothing.
    static bool RealRemove(LONG roleId);
    // The log text of a failed store, or "" on success.
    static std::string RealAddRole(CRole& role);
    static bool RealUpdateRole(CRole* role);

    com::ComPtr<IExeContext> context_;
    std::vector<com::ComPtr<CRole>> items_;
    com::ComPtr<CRole> current_;
};

} // namespace velmora::engine
