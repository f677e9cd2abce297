#pragma once
// The type information of an engine interface, read from its dispatch table: the interface as
// a dual dispatch interface (TKIND_DISPATCH) with one function description per member in slot
// order, the names of members and parameters, and named dispatch on an instance.
#include <velmora/Com.h>

#include "engine/com/DispatchTable.h"

namespace velmora::engine::dispatch {

// IDispatch::GetTypeInfo: a new ITypeInfo for index 0, DISP_E_BADINDEX for any other index.
HRESULT GetTypeInfo(const InterfaceTable& table, UINT index, ITypeInfo** typeInfo);

} // namespace velmora::engine::dispatch
