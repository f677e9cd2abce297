#pragma once
// Which type tags a VARIANT or an array may carry, and how large an array element is.
#include <velmora/Com.h>

namespace velmora::com {

// True for every tag a VARIANT may hold: a plain value, a reference (VT_BYREF) to one or to a
// VARIANT, or an array (optionally by reference) of a supported element type.
bool IsValidVariantType(VARTYPE vt);

// Size of one array element of type vt, or 0 when arrays of that type are not supported.
ULONG ArrayElementSize(VARTYPE vt);

} // namespace velmora::com
