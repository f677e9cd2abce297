#pragma once
// The value type of a bug filter, taken from the column it filters. Both the value check of a
// filter and its SQL text go by it.
#include <string_view>

#include <velmora/Com.h>

namespace velmora::engine {

// VT_I4, VT_UI1, VT_BSTR or VT_DATE for a known column of tBugReport (the name compared without
// regard to case); VT_NULL for any other name, the empty name included.
VARTYPE FilterValueType(std::string_view fieldName);

} // namespace velmora::engine
