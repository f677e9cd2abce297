#pragma once
// Field values as the component world's VARIANTs, for the engine's members that hand values to
// and take values from callers.
#include "engine/db/Database.h"

#include <velmora/ComSupport.h>

namespace velmora::db {

// Writes value into out (whatever out held is cleared first): Null as VT_NULL, Int32 VT_I4,
// Byte VT_UI1, Bool VT_BOOL, Double VT_R8, Date VT_DATE, Text VT_BSTR, Binary a VT_ARRAY|VT_UI1
// array. Returns S_OK, E_POINTER or E_OUTOFMEMORY.
HRESULT ValueToVariant(const Value& value, VARIANT* out);
com::Variant ToVariant(const Value& value);

// The value a VARIANT carries (by reference too): VT_EMPTY and VT_NULL are Null, VT_I1/I2/I4/INT
// and the unsigned kinds that fit are Int32, VT_UI1 is Byte, VT_BOOL Bool, VT_R4/R8 Double,
// VT_DATE Date, VT_BSTR Text, a one-dimensional VT_UI1 array Binary. Any other type throws
// DbError with DISP_E_TYPEMISMATCH.
Value VariantToValue(const VARIANT& variant);

} // namespace velmora::db
