#pragma once
// Named dispatch over an interface table: the IDispatch members every engine class answers
// (through CoClass) and the type information uses. Names match without regard to (ASCII) case.
#include <velmora/Com.h>

#include "engine/com/DispatchTable.h"

namespace velmora::engine::dispatch {

// The first member (in slot order) with that name, or with that DISPID; null when there is none.
const Member* FindMember(const InterfaceTable& table, const OLECHAR* name);
const Member* FindMember(const InterfaceTable& table, DISPID dispid);

// IDispatch::GetIDsOfNames: names[0] is a member, the further names are parameters of it (their
// DISPIDs are their zero-based positions). Every unknown name gets DISPID_UNKNOWN and the call
// DISP_E_UNKNOWNNAME; riid must be IID_NULL.
HRESULT GetIDsOfNames(const InterfaceTable& table, REFIID riid, LPOLESTR* names, UINT count,
                      DISPID* ids);

// IDispatch::Invoke on `object`, which implements the table's interface. A member that fails
// gives DISP_E_EXCEPTION with its status and description in *exception; other statuses of the
// member (S_FALSE) are returned as they are.
HRESULT Invoke(const InterfaceTable& table, IDispatch* object, DISPID dispid, REFIID riid,
               WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
               UINT* argError);

} // namespace velmora::engine::dispatch
