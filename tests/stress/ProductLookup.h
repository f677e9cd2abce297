#pragma once
// Finding a product in a product set and naming its versions, for the programs that change
// products through the object model.
#include <string>

#include <velmora/ComSupport.h>
#include <velmora/Velmora.h>

namespace velmora::stress {

// The product with that ID in the set, made the set's current product; null when none has it.
com::ComPtr<IProduct> FindProduct(IProductSet* products, LONG id);

// The product's versions in list order as "id:name;id:name" (id 0 for one not stored yet).
std::string VersionList(IProduct* product);

} // namespace velmora::stress
