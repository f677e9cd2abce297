#pragma once
// C++ conveniences over the component runtime: counted-reference and string owners, and the
// conversions between BSTR (UTF-16) and the UTF-8 text used everywhere else.
#include <string>
#include <string_view>
#include <utility>

#include <velmora/Com.h>

namespace velmora::com {

// Text conversions. A null BSTR is the empty text. Invalid sequences become U+FFFD.
VELMORA_RUNTIME_API std::string ToUtf8(const OLECHAR* text, size_t length);
VELMORA_RUNTIME_API std::string ToUtf8(BSTR text);
VELMORA_RUNTIME_API std::u16string ToUtf16(std::string_view utf8);
// A new BSTR holding the text (never null; the caller frees it).
VELMORA_RUNTIME_API BSTR AllocBstr(std::string_view utf8);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case, and back (braces required).
VELMORA_RUNTIME_API std::string GuidToString(const GUID& guid);
VELMORA_RUNTIME_API bool GuidFromString(std::string_view text, GUID* guid);

// Owns one counted reference.
template <class T> class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes an extra reference on p.
    explicit ComPtr(T* p) : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ~ComPtr() { Reset(); }
    ComPtr& operator=(const ComPtr& other) {
        ComPtr copy(other);
        Swap(copy);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        ComPtr moved(std::move(other));
        Swap(moved);
        return *this;
    }

    // Adopts a reference the caller already owns (as returned by an out-parameter).
    static ComPtr Adopt(T* p) {
        ComPtr result;
        result.p_ = p;
        return result;
    }
    void Reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    // For out-parameters: releases the current reference first.
    T** Put() {
        Reset();
        return &p_;
    }
    // Hands the reference to the caller.
    T* Detach() { return std::exchange(p_, nullptr); }
    // Copies a new reference into an out-parameter.
    HRESULT CopyTo(T** out) const {
        if (!out) return E_POINTER;
        *out = p_;
        if (p_) p_->AddRef();
        return S_OK;
    }
    template <class U> HRESULT As(REFIID iid, ComPtr<U>* out) const {
        if (!p_) return E_POINTER;
        return p_->QueryInterface(iid, reinterpret_cast<void**>(out->Put()));
    }
    void Swap(ComPtr& other) noexcept { std::swap(p_, other.p_); }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

  private:
    T* p_ = nullptr;
};

// Owns one BSTR.
class Bstr {
  public:
    Bstr() = default;
    explicit Bstr(std::string_view utf8) : text_(AllocBstr(utf8)) {}
    explicit Bstr(const OLECHAR* text) : text_(SysAllocString(text)) {}
    Bstr(const Bstr& other) : text_(other.text_ ? SysAllocStringLen(other.text_, other.Length()) : nullptr) {}
    Bstr(Bstr&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}
    ~Bstr() { SysFreeString(text_); }
    Bstr& operator=(Bstr other) noexcept {
        std::swap(text_, other.text_);
        return *this;
    }

    static Bstr Adopt(BSTR text) {
        Bstr result;
        result.text_ = text;
        return result;
    }
    BSTR* Put() {
        SysFreeString(std::exchange(text_, nullptr));
        return &text_;
    }
    BSTR Detach() { return std::exchange(text_, nullptr); }
    BSTR Get() const { return text_; }
    UINT Length() const { return SysStringLen(text_); }
    std::string Utf8() const { return ToUtf8(text_); }

  private:
    BSTR text_ = nullptr;
};

// Owns one VARIANT.
class Variant : public VARIANT {
  public:
    Variant() { VariantInit(this); }
    explicit Variant(LONG value) : Variant() {
        vt = VT_I4;
        lVal = value;
    }
    Variant(const Variant& other) : Variant() { VariantCopy(this, &other); }
    ~Variant() { VariantClear(this); }
    Variant& operator=(const Variant& other) {
        if (this != &other) VariantCopy(this, &other);
        return *this;
    }
};

} // namespace velmora::com
