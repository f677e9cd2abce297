#include "VariantValue.h"

#include "ErrorCodes.h"

#include <cstring>

namespace velmora::db {
namespace {

[[noreturn]] void FailTypeMismatch(VARTYPE type) {
    Fail(DISP_E_TYPEMISMATCH, "Type mismatch: a value of variant type " + std::to_string(type) +
                                  " cannot be stored in a field.");
}

Value IntegerValue(int64_t value, VARTYPE type) {
    if (value < INT32_MIN || value > INT32_MAX) FailTypeMismatch(type);
    return Value::Int(static_cast<LONG>(value));
}

Value BytesOf(SAFEARRAY* array, VARTYPE type) {
    VARTYPE element = VT_EMPTY;
    if (array == nullptr) return Value::Binary({});
    if (array->cDims != 1 || FAILED(SafeArrayGetVartype(array, &element)) || element != VT_UI1) {
        FailTypeMismatch(type);
    }
    LONG lower = 0;
    LONG upper = -1;
    SafeArrayGetLBound(array, 1, &lower);
    SafeArrayGetUBound(array, 1, &upper);
    const int64_t count = static_cast<int64_t>(upper) - lower + 1;
    std::vector<uint8_t> bytes(count > 0 ? static_cast<size_t>(count) : 0);
    void* data = nullptr;
    if (!bytes.empty()) {
        if (FAILED(SafeArrayAccessData(array, &data))) FailTypeMismatch(type);
        std::memcpy(bytes.data(), data, bytes.size());
        SafeArrayUnaccessData(array);
    }
    return Value::Binary(std::move(bytes));
}

} // namespace

HRESULT ValueToVariant(const Value& value, VARIANT* out) {
    if (out == nullptr) return E_POINTER;
    VariantClear(out);
    switch (value.kind()) {
    case Value::Kind::Null:
        out->vt = VT_NULL;
        break;
    case Value::Kind::Int32:
        out->vt = VT_I4;
        out->lVal = value.asInt();
        break;
    case Value::Kind::Byte:
        out->vt = VT_UI1;
        out->bVal = value.asByte();
        break;
    case Value::Kind::Bool:
        out->vt = VT_BOOL;
        out->boolVal = value.asBool() ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case Value::Kind::Double:
        out->vt = VT_R8;
        out->dblVal = value.asDouble();
        break;
    case Value::Kind::Date:
        out->vt = VT_DATE;
        out->date = value.asDouble();
        break;
    case Value::Kind::Text: {
        BSTR text = com::AllocBstr(value.asText());
        if (text == nullptr) return E_OUTOFMEMORY;
        out->vt = VT_BSTR;
        out->bstrVal = text;
        break;
    }
    case Value::Kind::Binary: {
        const auto& bytes = value.asBinary();
        SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
        if (array == nullptr) return E_OUTOFMEMORY;
        void* data = nullptr;
        if (!bytes.empty()) {
            if (FAILED(SafeArrayAccessData(array, &data))) {
                SafeArrayDestroy(array);
                return E_OUTOFMEMORY;
            }
            std::memcpy(data, bytes.data(), bytes.size());
            SafeArrayUnaccessData(array);
        }
        out->vt = VT_ARRAY | VT_UI1;
        out->parray = array;
        break;
    }
    }
    return S_OK;
}

com::Variant ToVariant(const Value& value) {
    com::Variant variant;
    if (FAILED(ValueToVariant(value, &variant))) {
        Fail(static_cast<int32_t>(E_OUTOFMEMORY), "Out of memory.");
    }
    return variant;
}

Value VariantToValue(const VARIANT& variant) {
    const VARTYPE type = variant.vt;
    if (type & VT_BYREF) {
        if (variant.byref == nullptr) FailTypeMismatch(type);
        switch (type & ~VT_BYREF) {
        case VT_VARIANT:
            return VariantToValue(*variant.pvarVal);
        case VT_I2:
            return Value::Int(*variant.piVal);
        case VT_I4:
            return Value::Int(*variant.plVal);
        case VT_UI1:
            return Value::Byte(*variant.pbVal);
        case VT_BOOL:
            return Value::Bool(*variant.pboolVal != VARIANT_FALSE);
        case VT_R8:
            return Value::Double(*variant.pdblVal);
        case VT_DATE:
            return Value::Date(*variant.pdate);
        case VT_BSTR:
            return Value::Text(com::ToUtf8(*variant.pbstrVal));
        case VT_ARRAY | VT_UI1:
            return BytesOf(*variant.pparray, type);
        default:
            FailTypeMismatch(type);
        }
    }
    switch (type) {
    case VT_EMPTY:
    case VT_NULL:
        return Value::Null();
    case VT_I1:
        return Value::Int(variant.cVal);
    case VT_I2:
        return Value::Int(variant.iVal);
    case VT_I4:
        return Value::Int(variant.lVal);
    case VT_INT:
        return Value::Int(variant.intVal);
    case VT_UI2:
        return Value::Int(variant.uiVal);
    case VT_UI4:
        return IntegerValue(variant.ulVal, type);
    case VT_UINT:
        return IntegerValue(variant.uintVal, type);
    case VT_I8:
        return IntegerValue(variant.llVal, type);
    case VT_UI1:
        return Value::Byte(variant.bVal);
    case VT_BOOL:
        return Value::Bool(variant.boolVal != VARIANT_FALSE);
    case VT_R4:
        return Value::Double(variant.fltVal);
    case VT_R8:
        return Value::Double(variant.dblVal);
    case VT_DATE:
        return Value::Date(variant.date);
    case VT_BSTR:
        return Value::Text(com::ToUtf8(variant.bstrVal));
    case VT_ARRAY | VT_UI1:
        return BytesOf(variant.parray, type);
    default:
        FailTypeMismatch(type);
    }
}

} // namespace velmora::db
