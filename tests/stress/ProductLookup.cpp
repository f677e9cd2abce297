#include "ProductLookup.h"

namespace velmora::stress {

using com::Bstr;
using com::ComPtr;

ComPtr<IProduct> FindProduct(IProductSet* products, LONG id) {
    LONG count = 0;
    products->get_Count(&count);
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IProduct> product;
        LONG productId = 0;
        if (SUCCEEDED(products->get_Item(i, product.Put())) &&
            SUCCEEDED(product->get_ID(&productId)) && productId == id)
            return product;
    }
    return nullptr;
}

std::string VersionList(IProduct* product) {
    std::string list;
    LONG count = 0;
    product->get_VersionCount(&count);
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IVersion> version;
        if (FAILED(product->get_Version(i, version.Put()))) continue;
        LONG id = 0;
        Bstr name;
        version->get_ID(&id);
        version->get_Name(name.Put());
        if (!list.empty()) list += ';';
        list += std::to_string(id) + ":" + name.Utf8();
    }
    return list;
}

} // namespace velmora::stress
