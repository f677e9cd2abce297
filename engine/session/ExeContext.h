#pragma once
// The session object: opens the database, logs the user in, holds the current user, role, right
// and active version, and hands out the other engine objects.
#include <string>

#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"
#include "engine/db/ConnectionSource.h"
#include "engine/db/Database.h"

namespace velmora::engine {

class CExeContext : public CoClass<IExeContextStub, classes::ExeContext>,
                    public db::ConnectionSource {
  public:
    CExeContext();
    ~CExeContext() override;

    // Engine side: what the objects bound to this session ask it for.
    db::Connection& Connection() override { return connection_; }
    bool IsAdmin() const { return isAdmin_; }

    HRESULT STDMETHODCALLTYPE OpenAccessDB(BSTR strFileName) override;
    HRESULT STDMETHODCALLTYPE Login(BSTR bstrLoginName, BSTR bstrPassword) override;
    HRESULT STDMETHODCALLTYPE SetCurRole(LONG lRoleID) override;
    HRESULT STDMETHODCALLTYPE Close() override;
    HRESULT STDMETHODCALLTYPE get_Admin(IAdmin** pVal) override;

    HRESULT STDMETHODCALLTYPE get_CurUserID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_CurRoleID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_CurRightID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_ActiveProductID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE get_ActiveVersionID(LONG* pVal) override;

    // The active product version, chosen through the roles the user holds in its product
    // (ExeContextActiveProduct.cpp).
    HRESULT STDMETHODCALLTYPE SetActiveProduct(LONG iVersionID) override;

    // The current objects, read afresh on every call (ExeContextCurrent.cpp).
    HRESULT STDMETHODCALLTYPE get_CurUser(IUser** pVal) override;
    HRESULT STDMETHODCALLTYPE get_CurRole(IRole** pVal) override;
    HRESULT STDMETHODCALLTYPE get_CurRight(IRight** pVal) override;
    HRESULT STDMETHODCALLTYPE get_ActiveProduct(IProduct** pVal) override;
    HRESULT STDMETHODCALLTYPE get_ActiveVersion(IVersion** pVal) override;

    // The lookup lists (ExeContextLists.cpp).
    HRESULT STDMETHODCALLTYPE get_BugStatus(IBugStatus** pVal) override;
    HRESULT STDMETHODCALLTYPE get_AllBugStatus(IBugStatus** pVal) override;
    HRESULT STDMETHODCALLTYPE get_BugSeverity(IBugSeverity** pVal) override;
    HRESULT STDMETHODCALLTYPE get_BugPriority(IBugPriority** pVal) override;
    HRESULT STDMETHODCALLTYPE get_BugReproductive(IBugReproductive** pVal) override;

    // The product lists, bound to this session (ExeContextProducts.cpp).
    HRESULT STDMETHODCALLTYPE get_ProductSet(IProductSet** pVal) override;
    HRESULT STDMETHODCALLTYPE get_CurUserProductSet(IProductSet** pVal) override;

    // Every user and every role, read on a connection of their own into sets without a
    // session, and the current user's password change (ExeContextAdmin.cpp).
    HRESULT STDMETHODCALLTYPE get_AllUser(IUserSet** pVal) override;
    HRESULT STDMETHODCALLTYPE get_AllRole(IRoleSet** pVal) override;
    HRESULT STDMETHODCALLTYPE ChangePsw(BSTR bstrOldPsw, BSTR bstrNewPsw) override;

    // The bug and feature lists of the active version (ExeContextBugSets.cpp).
    HRESULT STDMETHODCALLTYPE OpenBugSet(IBugFilterSet* pFilterSet, IBugSet** ppBugSet) override;
    HRESULT STDMETHODCALLTYPE OpenFeatureSet(IBugFilterSet* pFilterSet,
                                             IBugSet** ppBugSet) override;

    // A user's classifications and a product's roles (ExeContextAssignments.cpp).
    HRESULT STDMETHODCALLTYPE GetUserClassification(LONG lUserID, LONG lProductID,
                                                    IClassificationSet** ppClassSet) override;
    HRESULT STDMETHODCALLTYPE AssignUserClassification(LONG lUserID, LONG* ClassIDs,
                                                       LONG ClassCount) override;
    HRESULT STDMETHODCALLTYPE AssignRolesToApp(LONG* RoleIDs, int nNum, LONG AppID) override;
    HRESULT STDMETHODCALLTYPE FreeRoleIDsFromApp(LONG* RoleIDs, int nNum, LONG AppID) override;

    // Rewrites the names copied into tBugReport from the current user, version and
    // classification names (Synchronization.cpp).
    HRESULT STDMETHODCALLTYPE Synchronize() override;

  private:
    void ResetIdentifiers();
    // Whether the user holds a role in the product; a data-access error gives false.
    bool IsUserProduct(LONG userID, LONG productID);
    // The three steps of Synchronize; each logs its own failure.
    bool SynUser();
    bool SynVersion();
    bool SynClass();

    db::Connection connection_;
    LONG curUserID_ = 0;
    LONG curRoleID_ = 0;
    LONG activeProductID_ = 0;
    LONG activeVersionID_ = 0;
    LONG curRightID_ = 0;
    bool isAdmin_ = false;
};

} // namespace velmora::engine
