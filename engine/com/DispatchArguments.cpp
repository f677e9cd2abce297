#include "engine/com/DispatchArguments.h"

#include "engine/com/MemberGuard.h"

namespace velmora::engine::dispatch {

namespace {

// A reference to a VARIANT is followed to the VARIANT it names (a short chain at most); null
// when a reference is null or the chain does not end.
const VARIANT* FollowVariantReferences(const VARIANT& argument) {
    const VARIANT* current = &argument;
    for (int depth = 0; current->vt == (VT_BYREF | VT_VARIANT); ++depth) {
        if (depth == 4 || !current->pvarVal) return nullptr;
        current = current->pvarVal;
    }
    return current;
}

// Every failure to convert a value is reported as a type mismatch of its argument.
HRESULT AsConversionResult(HRESULT hr) {
    if (SUCCEEDED(hr) || hr == E_OUTOFMEMORY) return hr;
    return DISP_E_TYPEMISMATCH;
}

VARTYPE TargetType(ValueKind kind) {
    switch (kind) {
    case ValueKind::kText:
        return VT_BSTR;
    case ValueKind::kDate:
        return VT_DATE;
    default: // long, int and enumerations
        return VT_I4;
    }
}

// Holds the array's data open for the life of the object.
class ArrayAccess {
  public:
    explicit ArrayAccess(SAFEARRAY* array) : array_(array) {
        if (FAILED(SafeArrayAccessData(array_, &data_))) array_ = nullptr;
    }
    ~ArrayAccess() {
        if (array_) SafeArrayUnaccessData(array_);
    }
    ArrayAccess(const ArrayAccess&) = delete;
    ArrayAccess& operator=(const ArrayAccess&) = delete;

    bool Ok() const { return array_ != nullptr; }
    template <class T> const T* Elements() const { return static_cast<const T*>(data_); }

  private:
    SAFEARRAY* array_;
    void* data_ = nullptr;
};

// The elements of a one-dimensional array of VT_I4, or of VT_VARIANT holding numbers.
HRESULT ReadLongArray(SAFEARRAY* array, VARTYPE declaredElement, std::vector<LONG>* longs) {
    if (!array) return S_OK; // a null array is an empty one
    VARTYPE element = VT_EMPTY;
    if (array->cDims != 1 || FAILED(SafeArrayGetVartype(array, &element)) ||
        element != declaredElement || (element != VT_I4 && element != VT_VARIANT))
        return DISP_E_TYPEMISMATCH;
    const ULONG count = array->rgsabound[0].cElements;
    ArrayAccess access(array);
    if (!access.Ok()) return DISP_E_TYPEMISMATCH;
    longs->reserve(count);
    for (ULONG i = 0; i < count; ++i) {
        if (element == VT_I4) {
            longs->push_back(access.Elements<LONG>()[i]);
            continue;
        }
        com::Variant number;
        const HRESULT hr = VariantChangeType(&number, &access.Elements<VARIANT>()[i], 0, VT_I4);
        if (FAILED(hr)) return AsConversionResult(hr);
        longs->push_back(number.lVal);
    }
    return S_OK;
}

} // namespace

HRESULT Arguments::Take(const Member& member, const DISPPARAMS& params, UINT* argError) {
    const size_t count = member.parameters.size();
    if (params.cNamedArgs > params.cArgs || (params.cArgs && !params.rgvarg) ||
        (params.cNamedArgs && !params.rgdispidNamedArgs))
        return E_INVALIDARG;
    if (params.cArgs != count) return DISP_E_BADPARAMCOUNT;

    // Which DISPPARAMS entry holds each parameter: positional ones fill the first parameters,
    // the last entry being the first parameter; named ones name their position. The value of a
    // property put may be named DISPID_PROPERTYPUT.
    std::vector<int> source(count, -1);
    const UINT positional = params.cArgs - params.cNamedArgs;
    for (UINT position = 0; position < positional; ++position)
        source[position] = static_cast<int>(params.cArgs - 1 - position);
    for (UINT named = 0; named < params.cNamedArgs; ++named) {
        DISPID position = params.rgdispidNamedArgs[named];
        if (position == DISPID_PROPERTYPUT && member.kind == MemberKind::kPut)
            position = static_cast<DISPID>(count) - 1;
        if (position < 0 || static_cast<size_t>(position) >= count || source[position] != -1) {
            if (argError) *argError = named;
            return DISP_E_PARAMNOTFOUND;
        }
        source[position] = static_cast<int>(named);
    }

    const HRESULT converted = Guard([&] {
        slots_.clear();
        slots_.resize(count);
        for (size_t position = 0; position < count; ++position) {
            const int index = source[position];
            const HRESULT hr =
                Convert(params.rgvarg[index], member.parameters[position].type, &slots_[position]);
            if (FAILED(hr)) {
                if (argError) *argError = static_cast<UINT>(index);
                return hr;
            }
        }
        return S_OK;
    });
    if (FAILED(converted)) return converted;
    if (const int bad = FindBadArrayCount(member); bad >= 0) {
        if (argError) *argError = static_cast<UINT>(source[bad]);
        return E_INVALIDARG;
    }
    return S_OK;
}

HRESULT Arguments::Convert(const VARIANT& argument, const ValueType& type, Slot* slot) {
    const VARIANT* value = FollowVariantReferences(argument);
    if (!value) return DISP_E_TYPEMISMATCH;
    const VARTYPE vt = value->vt;
    switch (type.kind) {
    case ValueKind::kVariant:
        // A reference to a value becomes the value; anything else is copied as it is.
        if (vt & VT_BYREF)
            return AsConversionResult(VariantChangeType(&slot->value, value, 0, vt & ~VT_BYREF));
        return AsConversionResult(VariantCopy(&slot->value, value));

    case ValueKind::kInterface: {
        IUnknown* object = nullptr;
        if (vt == VT_DISPATCH || vt == VT_UNKNOWN)
            object = value->punkVal;
        else if (vt == (VT_BYREF | VT_DISPATCH) || vt == (VT_BYREF | VT_UNKNOWN))
            object = value->ppunkVal ? *value->ppunkVal : nullptr;
        else if (vt != VT_EMPTY) // VT_EMPTY stands for no object
            return DISP_E_TYPEMISMATCH;
        slot->value.vt = VT_UNKNOWN;
        slot->value.punkVal = nullptr;
        if (!object) return S_OK;
        void* needed = nullptr;
        if (FAILED(object->QueryInterface(*type.iid, &needed)) || !needed)
            return DISP_E_TYPEMISMATCH;
        slot->value.punkVal = static_cast<IUnknown*>(needed);
        return S_OK;
    }

    case ValueKind::kLongArray: {
        if (vt == VT_EMPTY) return S_OK; // no array: no elements
        SAFEARRAY* array = nullptr;
        if ((vt & VT_ARRAY) && (vt & VT_BYREF))
            array = value->pparray ? *value->pparray : nullptr;
        else if (vt & VT_ARRAY)
            array = value->parray;
        else
            return DISP_E_TYPEMISMATCH;
        return ReadLongArray(array, vt & VT_TYPEMASK, &slot->longs);
    }

    default:
        return AsConversionResult(VariantChangeType(&slot->value, value, 0, TargetType(type.kind)));
    }
}

int Arguments::FindBadArrayCount(const Member& member) const {
    for (size_t position = 0; position + 1 < member.parameters.size(); ++position) {
        if (member.parameters[position].type.kind != ValueKind::kLongArray) continue;
        const LONG requested = Long(position + 1);
        if (requested < 0 || static_cast<size_t>(requested) > slots_[position].longs.size())
            return static_cast<int>(position + 1);
    }
    return -1;
}

} // namespace velmora::engine::dispatch
