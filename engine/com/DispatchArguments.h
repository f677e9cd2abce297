#pragma once
// The arguments of one named-dispatch call, taken from DISPPARAMS and converted to what the
// member's parameters need, as automation converts them: positional arguments arrive last first,
// named ones carry their parameter position, references are followed, scalars change type
// through VariantChangeType, objects are asked for the needed interface and arrays of numbers
// become arrays of LONG. The generated thunks read them by parameter position.
#include <cstddef>
#include <vector>

#include <velmora/Com.h>
#include <velmora/ComSupport.h>

#include "engine/com/DispatchTable.h"

namespace velmora::engine::dispatch {

class Arguments {
  public:
    // Takes the arguments of a call of `member`. Failures: DISP_E_BADPARAMCOUNT (wrong count),
    // DISP_E_PARAMNOTFOUND (a named argument that is no parameter of the member, or one given
    // twice), DISP_E_TYPEMISMATCH (an argument that does not convert), E_INVALIDARG (malformed
    // DISPPARAMS, or an array count outside its array); *argError then names the argument's
    // index in DISPPARAMS order where there is one.
    HRESULT Take(const Member& member, const DISPPARAMS& params, UINT* argError);

    BSTR Text(size_t position) const { return slots_[position].value.bstrVal; }
    LONG Long(size_t position) const { return slots_[position].value.lVal; }
    DATE Date(size_t position) const { return slots_[position].value.date; }
    // A borrowed copy: the callee copies what it keeps.
    VARIANT Variant(size_t position) const { return slots_[position].value; }
    LONG* LongArray(size_t position) { return slots_[position].longs.data(); }
    template <class E> E Enumeration(size_t position) const {
        return static_cast<E>(Long(position));
    }
    // The needed interface of the object (null for a null object); the reference stays here.
    template <class I> I* Object(size_t position) const {
        return static_cast<I*>(slots_[position].value.punkVal);
    }

  private:
    struct Slot {
        com::Variant value;      // the converted scalar, variant or interface (VT_UNKNOWN)
        std::vector<LONG> longs; // the elements of an array argument
    };

    HRESULT Convert(const VARIANT& argument, const ValueType& type, Slot* slot);
    // An array count that is negative or larger than its array would let the member read past
    // the elements: refused. Returns the offending parameter's position, or -1.
    int FindBadArrayCount(const Member& member) const;

    std::vector<Slot> slots_;
};

} // namespace velmora::engine::dispatch
