#pragma once
// The out-value of a member called through named dispatch: received through a typed
// out-pointer, then handed over as the VARIANT result (text as VT_BSTR, long and enumerations as
// VT_I4, a date as VT_DATE, a variant as it is, an object as VT_DISPATCH, null included). What
// is never handed over is freed.
#include <type_traits>

#include <velmora/Com.h>

namespace velmora::engine::dispatch {

template <class T> class OutValue {
  public:
    OutValue() { Reset(); }
    ~OutValue() { Free(); }
    OutValue(const OutValue&) = delete;
    OutValue& operator=(const OutValue&) = delete;

    T* Put() { return &value_; }

    // Moves the value into `result` (treated as uninitialised); the caller owns it from then on.
    void MoveTo(VARIANT* result) {
        VariantInit(result);
        if constexpr (std::is_same_v<T, VARIANT>) {
            *result = value_;
        } else if constexpr (std::is_same_v<T, BSTR>) {
            result->vt = VT_BSTR;
            result->bstrVal = value_;
        } else if constexpr (std::is_same_v<T, DATE>) {
            result->vt = VT_DATE;
            result->date = value_;
        } else if constexpr (std::is_same_v<T, LONG> || std::is_enum_v<T>) {
            result->vt = VT_I4;
            result->lVal = static_cast<LONG>(value_);
        } else {
            static_assert(std::is_base_of_v<IDispatch, std::remove_pointer_t<T>>,
                          "objects cross named dispatch as dual interfaces");
            result->vt = VT_DISPATCH;
            result->pdispVal = value_;
        }
        Reset();
    }

  private:
    void Reset() {
        if constexpr (std::is_same_v<T, VARIANT>)
            VariantInit(&value_);
        else
            value_ = T{};
    }
    void Free() {
        if constexpr (std::is_same_v<T, VARIANT>)
            VariantClear(&value_);
        else if constexpr (std::is_same_v<T, BSTR>)
            SysFreeString(value_);
        else if constexpr (std::is_pointer_v<T>) {
            if (value_) value_->Release();
        }
    }

    T value_;
};

} // namespace velmora::engine::dispatch
