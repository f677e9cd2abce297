#pragma once
// A list of users through which users are added, changed and removed. The administrator account
// (UserID 1) cannot be removed by ID; removing a user takes its system information,
// classification and role assignments with it in one transaction.
#include <string>
#include <vector>

#include <velmora/ComSupport.h>

#include "engine/admin/User.h"
#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

class CUserSet : public CoClass<IUserSetStub, classes::UserSet> {
  public:
    // Engine side: how the engine binds and fills the set.
    void SetContext(IExeContext* context) { context_ = com::ComPtr<IExeContext>(context); }
    // Throws std::bad_alloc.
    void AppendUser(com::ComPtr<CUser> user) { items_.push_back(std::move(user)); }
    const std::vector<com::ComPtr<CUser>>& Items() const { return items_; }

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
    bool HoldsIndex(LONG index) const {
        return index >= 0 && static_cast<size_t>(index) < items_.size();
    }
    static bool RealRemove(LONG userId);
    // The caller's description of a failed store, or "" on success.
    static std::string RealAddUser(CUser& user);
    static bool RealUpdate(CUser* user);

    com::ComPtr<IExeContext> context_;
    std::vector<com::ComPtr<CUser>> items_;
    com::ComPtr<CUser> current_;
};

} // namespace velmora::engine
