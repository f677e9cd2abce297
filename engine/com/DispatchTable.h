#pragma once
// The description of one dual interface as named dispatch sees it: every member in slot order
// with its name, DISPID, kind, parameters and result, and the thunk that calls the member through
// the interface's function table. The tables themselves are generated from the object model
// (engine/com/generated/DispatchTables.h); named dispatch and the type information read them.
#include <span>
#include <string_view>

#include <velmora/Com.h>

namespace velmora::engine {
struct ClassInfo;
}

namespace velmora::engine::dispatch {

class Arguments;

enum class MemberKind { kGet, kPut, kMethod };

// How a value crosses named dispatch.
enum class ValueKind {
    kNone,        // no value (a member without a result)
    kText,        // BSTR, VT_BSTR
    kLong,        // LONG, VT_I4
    kInt,         // int, VT_I4 (described as VT_INT)
    kDate,        // DATE, VT_DATE
    kVariant,     // VARIANT, passed as it is
    kLongArray,   // LONG* followed by its count argument; an array of numbers on the dispatch side
    kEnumeration, // an enumeration, VT_I4
    kInterface,   // an interface pointer; VT_DISPATCH (or VT_UNKNOWN) on the dispatch side
};

struct ValueType {
    ValueKind kind;
    std::string_view name; // "text", "long", "eBugField", "IBugFilterSet", ...
    const IID* iid;        // the interface asked for, for kInterface; null otherwise
};

struct Parameter {
    std::string_view name;
    ValueType type;
};

// Calls the member on `object` (which implements the table's interface) with the converted
// arguments and leaves its out-value, if any, in `result` (owned by the caller from then on,
// whatever the member returned).
using Thunk = HRESULT (*)(IDispatch* object, Arguments& arguments, VARIANT* result);

struct Member {
    std::string_view name;
    DISPID dispid;
    MemberKind kind;
    std::span<const Parameter> parameters; // the in-arguments, in call order
    ValueType result;                      // kind kNone when the member returns nothing
    Thunk thunk;
};

struct InterfaceTable {
    std::string_view name;
    const IID* iid;
    const ClassInfo* owner; // the class whose interface this is
    std::span<const Member> members;
};

// The table of interface I (specialised for every interface of the object model).
template <class I> const InterfaceTable& TableOf();

} // namespace velmora::engine::dispatch
