// Conversion of a VARIANT to another type, following the automation rules for the scalar types:
// numbers round half to even and fail with DISP_E_OVERFLOW outside the target's range, text is
// read and written without regard to locale, Null converts to nothing but itself.
#include <velmora/ComSupport.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>

#include "VariantText.h"
#include "VariantTypes.h"

namespace velmora::com {
namespace {

using Wide = __int128;

// The source value reduced to what a conversion needs.
struct Value {
    enum class Kind { kEmpty, kNull, kInteger, kReal, kDate, kBool, kText, kOther };
    Kind kind = Kind::kOther;
    Wide integer = 0;
    double real = 0;     // kReal and kDate
    bool single = false; // a kReal that came from VT_R4
    bool flag = false;   // kBool
    BSTR text = nullptr; // kText; borrowed from the source
};

Value Classify(const VARIANT& v) {
    Value value;
    using K = Value::Kind;
    auto integer = [&](Wide i) {
        value.kind = K::kInteger;
        value.integer = i;
    };
    switch (v.vt) {
    case VT_EMPTY:
        value.kind = K::kEmpty;
        break;
    case VT_NULL:
        value.kind = K::kNull;
        break;
    case VT_I1:
        integer(static_cast<signed char>(v.cVal));
        break;
    case VT_UI1:
        integer(v.bVal);
        break;
    case VT_I2:
        integer(v.iVal);
        break;
    case VT_UI2:
        integer(v.uiVal);
        break;
    case VT_I4:
        integer(v.lVal);
        break;
    case VT_UI4:
        integer(v.ulVal);
        break;
    case VT_INT:
        integer(v.intVal);
        break;
    case VT_UINT:
        integer(v.uintVal);
        break;
    case VT_I8:
        integer(v.llVal);
        break;
    case VT_UI8:
        integer(v.ullVal);
        break;
    case VT_R4:
        value.kind = K::kReal;
        value.real = v.fltVal;
        value.single = true;
        break;
    case VT_R8:
        value.kind = K::kReal;
        value.real = v.dblVal;
        break;
    case VT_CY: // currency: a 64-bit count of ten-thousandths
        value.kind = K::kReal;
        value.real = static_cast<double>(v.llVal) / 10000.0;
        break;
    case VT_DATE:
        value.kind = K::kDate;
        value.real = v.date;
        break;
    case VT_BOOL:
        value.kind = K::kBool;
        value.flag = v.boolVal != VARIANT_FALSE;
        break;
    case VT_BSTR:
        value.kind = K::kText;
        value.text = v.bstrVal;
        break;
    default:
        break;
    }
    return value;
}

// A non-owning VARIANT holding the value a reference points at.
HRESULT Dereference(const VARIANT& source, VARIANT* plain) {
    const VARIANT* current = &source;
    for (int depth = 0; current->vt & VT_BYREF; ++depth) {
        if (!current->byref || depth > 4) return E_INVALIDARG;
        const VARTYPE target = current->vt & ~VT_BYREF;
        if (target == VT_VARIANT) {
            current = current->pvarVal;
            if (!IsValidVariantType(current->vt)) return DISP_E_BADVARTYPE;
            continue;
        }
        VariantInit(plain);
        plain->vt = target;
        const size_t size =
            (target & VT_ARRAY) ? sizeof(SAFEARRAY*) : ArrayElementSize(target & VT_TYPEMASK);
        std::memcpy(&plain->llVal, current->byref, size);
        return S_OK;
    }
    *plain = *current;
    return S_OK;
}

double RoundHalfToEven(double x) {
    double rounded = std::floor(x);
    const double fraction = x - rounded;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0)) rounded += 1;
    return rounded;
}

HRESULT TextToNumber(BSTR text, ParsedNumber* number) {
    switch (ParseNumber(ToUtf8(text), number)) {
    case NumberParse::kOk:
        return S_OK;
    case NumberParse::kOutOfRange:
        return DISP_E_OVERFLOW;
    default:
        return DISP_E_TYPEMISMATCH;
    }
}

HRESULT ToReal(const Value& v, double* out) {
    using K = Value::Kind;
    switch (v.kind) {
    case K::kEmpty:
        *out = 0;
        return S_OK;
    case K::kInteger:
        *out = static_cast<double>(v.integer);
        return S_OK;
    case K::kReal:
    case K::kDate:
        *out = v.real;
        return S_OK;
    case K::kBool:
        *out = v.flag ? -1.0 : 0.0;
        return S_OK;
    case K::kText: {
        ParsedNumber number;
        const HRESULT hr = TextToNumber(v.text, &number);
        if (FAILED(hr)) return hr;
        *out = number.real;
        return S_OK;
    }
    default:
        return DISP_E_TYPEMISMATCH;
    }
}

HRESULT ToInteger(const Value& v, Wide min, Wide max, Wide* out) {
    using K = Value::Kind;
    Wide whole = 0;
    double real = 0;
    bool fromReal = false;
    switch (v.kind) {
    case K::kEmpty:
        break;
    case K::kInteger:
        whole = v.integer;
        break;
    case K::kBool:
        whole = v.flag ? -1 : 0;
        break;
    case K::kReal:
    case K::kDate:
        real = v.real;
        fromReal = true;
        break;
    case K::kText: {
        ParsedNumber number;
        const HRESULT hr = TextToNumber(v.text, &number);
        if (FAILED(hr)) return hr;
        if (number.integral) {
            whole = number.integer;
        } else {
            real = number.real;
            fromReal = true;
        }
        break;
    }
    default:
        return DISP_E_TYPEMISMATCH;
    }
    if (fromReal) {
        const double rounded = RoundHalfToEven(real);
        // The bounds are powers of two or small, so these comparisons are exact; NaN fails them.
        if (!(rounded >= static_cast<double>(min) && rounded < static_cast<double>(max) + 1.0))
            return DISP_E_OVERFLOW;
        whole = static_cast<Wide>(rounded);
    }
    if (whole < min || whole > max) return DISP_E_OVERFLOW;
    *out = whole;
    return S_OK;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

HRESULT ToBool(const Value& v, bool* out) {
    if (v.kind == Value::Kind::kText) {
        std::string text = ToUtf8(v.text);
        const size_t first = text.find_first_not_of(" \t");
        const size_t last = text.find_last_not_of(" \t");
        const std::string_view trimmed =
            first == std::string::npos ? std::string_view()
                                       : std::string_view(text).substr(first, last - first + 1);
        if (EqualsIgnoringCase(trimmed, "true")) {
            *out = true;
            return S_OK;
        }
        if (EqualsIgnoringCase(trimmed, "false")) {
            *out = false;
            return S_OK;
        }
    }
    if (v.kind == Value::Kind::kBool) {
        *out = v.flag;
        return S_OK;
    }
    if (v.kind == Value::Kind::kInteger) {
        *out = v.integer != 0;
        return S_OK;
    }
    double real = 0;
    const HRESULT hr = ToReal(v, &real);
    if (FAILED(hr)) return hr;
    *out = real != 0;
    return S_OK;
}

HRESULT ToDate(const Value& v, DATE* out) {
    if (v.kind == Value::Kind::kText) {
        if (ParseDate(ToUtf8(v.text), out)) return S_OK;
        // A plain number is also accepted as a date.
    }
    double real = 0;
    const HRESULT hr = ToReal(v, &real);
    if (FAILED(hr)) return hr;
    if (!IsDateInRange(real)) return DISP_E_OVERFLOW;
    *out = real;
    return S_OK;
}

HRESULT ToText(const Value& v, USHORT flags, std::string* out) {
    using K = Value::Kind;
    switch (v.kind) {
    case K::kEmpty:
        out->clear();
        return S_OK;
    case K::kInteger:
        *out = v.integer < 0 ? std::to_string(static_cast<int64_t>(v.integer))
                             : std::to_string(static_cast<uint64_t>(v.integer));
        return S_OK;
    case K::kReal:
        *out = FormatReal(v.real, v.single ? 7 : 15);
        return S_OK;
    case K::kDate:
        *out = FormatDate(v.real);
        return S_OK;
    case K::kBool:
        if (flags & VARIANT_ALPHABOOL)
            *out = v.flag ? "True" : "False";
        else
            *out = v.flag ? "-1" : "0";
        return S_OK;
    default:
        return DISP_E_TYPEMISMATCH;
    }
}

struct IntegerRange {
    Wide min;
    Wide max;
};

bool IntegerRangeOf(VARTYPE vt, IntegerRange* range) {
    switch (vt) {
    case VT_I1:
        *range = {-128, 127};
        return true;
    case VT_UI1:
        *range = {0, 255};
        return true;
    case VT_I2:
        *range = {-32768, 32767};
        return true;
    case VT_UI2:
        *range = {0, 65535};
        return true;
    case VT_I4:
    case VT_INT:
        *range = {INT32_MIN, INT32_MAX};
        return true;
    case VT_UI4:
    case VT_UINT:
        *range = {0, UINT32_MAX};
        return true;
    case VT_I8:
        *range = {INT64_MIN, INT64_MAX};
        return true;
    case VT_UI8:
        *range = {0, UINT64_MAX};
        return true;
    default:
        return false;
    }
}

void StoreInteger(VARIANT* v, VARTYPE vt, Wide value) {
    v->vt = vt;
    switch (vt) {
    case VT_I1:
        v->cVal = static_cast<char>(value);
        break;
    case VT_UI1:
        v->bVal = static_cast<BYTE>(value);
        break;
    case VT_I2:
        v->iVal = static_cast<SHORT>(value);
        break;
    case VT_UI2:
        v->uiVal = static_cast<USHORT>(value);
        break;
    case VT_I4:
        v->lVal = static_cast<LONG>(value);
        break;
    case VT_INT:
        v->intVal = static_cast<INT>(value);
        break;
    case VT_UI4:
        v->ulVal = static_cast<ULONG>(value);
        break;
    case VT_UINT:
        v->uintVal = static_cast<UINT>(value);
        break;
    case VT_I8:
        v->llVal = static_cast<LONGLONG>(value);
        break;
    default:
        v->ullVal = static_cast<ULONGLONG>(value);
        break;
    }
}

// Between the two interface kinds: asks the object for the other interface.
HRESULT ConvertInterface(const VARIANT& source, VARTYPE vt, VARIANT* result) {
    result->vt = vt;
    result->punkVal = nullptr;
    if (!source.punkVal) return S_OK;
    void* object = nullptr;
    const HRESULT hr =
        source.punkVal->QueryInterface(vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown, &object);
    if (FAILED(hr) || !object) return DISP_E_TYPEMISMATCH;
    result->punkVal = static_cast<IUnknown*>(object);
    return S_OK;
}

HRESULT Convert(const VARIANT& source, USHORT flags, VARTYPE vt, VARIANT* result) {
    if (source.vt == vt) return VariantCopy(result, &source);
    if ((vt & ~VT_TYPEMASK) || !IsValidVariantType(vt)) return DISP_E_BADVARTYPE;
    if ((source.vt == VT_UNKNOWN || source.vt == VT_DISPATCH) &&
        (vt == VT_UNKNOWN || vt == VT_DISPATCH))
        return ConvertInterface(source, vt, result);

    const Value value = Classify(source);
    using K = Value::Kind;
    if (vt == VT_EMPTY || vt == VT_NULL) {
        if (value.kind != K::kEmpty && value.kind != K::kNull) return DISP_E_TYPEMISMATCH;
        result->vt = vt;
        return S_OK;
    }
    if (value.kind == K::kNull || value.kind == K::kOther) return DISP_E_TYPEMISMATCH;

    IntegerRange range;
    if (IntegerRangeOf(vt, &range)) {
        Wide whole = 0;
        const HRESULT hr = ToInteger(value, range.min, range.max, &whole);
        if (SUCCEEDED(hr)) StoreInteger(result, vt, whole);
        return hr;
    }
    switch (vt) {
    case VT_R8: {
        const HRESULT hr = ToReal(value, &result->dblVal);
        if (SUCCEEDED(hr)) result->vt = VT_R8;
        return hr;
    }
    case VT_R4: {
        double real = 0;
        const HRESULT hr = ToReal(value, &real);
        if (FAILED(hr)) return hr;
        if (std::isfinite(real) && std::fabs(real) > FLT_MAX) return DISP_E_OVERFLOW;
        result->vt = VT_R4;
        result->fltVal = static_cast<float>(real);
        return S_OK;
    }
    case VT_DATE: {
        const HRESULT hr = ToDate(value, &result->date);
        if (SUCCEEDED(hr)) result->vt = VT_DATE;
        return hr;
    }
    case VT_BOOL: {
        bool flag = false;
        const HRESULT hr = ToBool(value, &flag);
        if (FAILED(hr)) return hr;
        result->vt = VT_BOOL;
        result->boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    case VT_BSTR: {
        std::string text;
        const HRESULT hr = ToText(value, flags, &text);
        if (FAILED(hr)) return hr;
        const std::u16string wide = ToUtf16(text);
        result->bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
        if (!result->bstrVal) return E_OUTOFMEMORY;
        result->vt = VT_BSTR;
        return S_OK;
    }
    default:
        return DISP_E_TYPEMISMATCH;
    }
}

} // namespace
} // namespace velmora::com

extern "C" HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc,
                                     USHORT wFlags, VARTYPE vt) {
    using namespace velmora::com;
    if (!pvargDest || !pvarSrc) return E_INVALIDARG;
    if (!IsValidVariantType(pvarSrc->vt)) return DISP_E_BADVARTYPE;
    VARIANT plain;
    HRESULT hr = Dereference(*pvarSrc, &plain);
    if (FAILED(hr)) return hr;

    // The result is complete before the destination, which may be the source, is cleared.
    VARIANT result;
    VariantInit(&result);
    try {
        hr = Convert(plain, wFlags, vt, &result);
    } catch (const std::bad_alloc&) {
        hr = E_OUTOFMEMORY;
    }
    if (FAILED(hr)) {
        VariantClear(&result);
        return hr;
    }
    hr = VariantClear(pvargDest);
    if (FAILED(hr)) {
        VariantClear(&result);
        return hr;
    }
    *pvargDest = result;
    return S_OK;
}
