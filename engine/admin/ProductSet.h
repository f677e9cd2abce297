#pragma once
// A list of products through which products are added, changed and deleted. A product is
// written together with its whole version list in one transaction; the sets the session hands
// out carry the session, whose current right guards every change.
#include <optional>
#include <string>
#include <vector>

#include <velmora/ComSupport.h>

#include "engine/admin/Product.h"
#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

class CProductSet : public CoClass<IProductSetStub, classes::ProductSet> {
  public:
    // Engine side: how the session binds and fills the set.
    void SetContext(IExeContext* context) { context_ = com::ComPtr<IExeContext>(context); }
    // Appends without looking for a product with the same ID. Throws std::bad_alloc.
    void AppendProduct(com::ComPtr<CProduct> product) { items_.push_back(std::move(product)); }
    const std::vector<com::ComPtr<CProduct>>& Items() const { return items_; }

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
    bool HoldsIndex(LONG index) const {
        return index >= 0 && static_cast<size_t>(index) < items_.size();
    }

    // Each runs in one transaction of a connection of its own. On failure (RealAddProduct:
    // the caller's description; the others: false) the database is left as it was and the
    // identifiers written into the product and its versions are restored.
    static std::optional<std::string> RealAddProduct(CProduct& product);
    static bool RealUpdateProduct(CProduct* product);
    static bool RealDeleteProduct(LONG productId);
    // Deletes the product once the permission check passed; removes it from the set.
    HRESULT DeleteAt(size_t index);

    com::ComPtr<IExeContext> context_;
    std::vector<com::ComPtr<CProduct>> items_;
    com::ComPtr<CProduct> current_;
};

} // namespace velmora::engine
