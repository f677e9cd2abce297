#pragma once
// Moving values across the interface: results handed out through out-parameters (a null
// out-pointer is refused with E_POINTER) and incoming texts taken into UTF-8 fields.
#include <new>
#include <string>
#include <string_view>

#include <velmora/Com.h>
#include <velmora/ComSupport.h>

namespace velmora::engine {

// A new BSTR holding the text.
inline HRESULT ReturnText(std::string_view text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = com::AllocBstr(text);
    return *out || text.empty() ? S_OK : E_OUTOFMEMORY;
}

// A plain value: LONG, DATE, an enumeration.
template <class T> HRESULT ReturnValue(T value, T* out) {
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}

// An interface pointer with a new reference (null stays null). T is the interface itself or an
// engine class implementing it.
template <class I, class T> HRESULT ReturnObject(T* object, I** out) {
    if (!out) return E_POINTER;
    I* result = object;
    if (result) result->AddRef();
    *out = result;
    return S_OK;
}
template <class I, class T> HRESULT ReturnObject(const com::ComPtr<T>& object, I** out) {
    return ReturnObject<I>(object.Get(), out);
}

// A copy of a VARIANT; the out-variant is treated as uninitialised.
inline HRESULT ReturnVariant(const VARIANT& value, VARIANT* out) {
    if (!out) return E_POINTER;
    VariantInit(out);
    return VariantCopy(out, &value);
}

// The UTF-8 text of an incoming BSTR (null is the empty text).
inline std::string TextOf(BSTR text) {
    return com::ToUtf8(text);
}

// Stores the UTF-8 text of an incoming BSTR into a field.
inline HRESULT StoreText(BSTR text, std::string& field) {
    try {
        field = com::ToUtf8(text);
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

} // namespace velmora::engine
