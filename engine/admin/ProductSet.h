#pragma once
// A list of products through which products are added, changed and deleted. A product is
// written together with its whole version list in one transaction; the sets the session hands
// out carry the session, whose current right guards every change.
#include <velmora/ComSupport.h>

#include "engine/admin/AdminSet.h"
#include "engine/admin/Product.h"
#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

class CProductSet : public CoClass<IProductSetStub, classes::ProductSet>,
                    public AdminSet<CProduct, classes::ProductSet> {
  public:
    HRESULT STDMETHODCALLTYPE get_Count(LONG* pVal) override;
    // Also makes the product the target of Update.
    HRESULT STDMETHODCALLTYPE get_Item(LONG iIndex, IProduct** pVal) override;
    HRESULT STDMETHODCALLTYPE get_ExeContext(IExeContext** pVal) override;
    // Stores the product with its versions as new rows, then appends it.
    HRESULT STDMETHODCALLTYPE Add(IProduct* pProduct) override;
    // Rewrites the current product and its versions; versions no longer in its list are deleted
    // with the bugs reported in them.
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE Refresh() override;
    // Deletes the product with its versions, their bugs and its classifications; its roles stay,
    // bound to no product.
    HRESULT STDMETHODCALLTYPE DeleteByID(LONG ID) override;
    HRESULT STDMETHODCALLTYPE DeleteByIndex(LONG iIndex) override;

    // In memory only.
    HRESULT STDMETHODCALLTYPE Remove(LONG iIndex) override;
    HRESULT STDMETHODCALLTYPE Append(IProduct* pProduct) override;

  private:
    // Each runs in one transaction of a connection of its own. On failure the database is left
    // as it was and the identifiers written into the product and its versions are restored.
    // RealAddProduct reports its failure whole, description included; the others log why they
    // failed and return E_FAIL, leaving the description to the member.
    static HRESULT RealAddProduct(CProduct& product);
    static HRESULT RealUpdateProduct(CProduct* product);
    static HRESULT RealDeleteProduct(LONG productId);
    // Deletes the product once the permission check passed; removes it from the set.
    HRESULT DeleteAt(size_t index);
};

} // namespace velmora::engine
