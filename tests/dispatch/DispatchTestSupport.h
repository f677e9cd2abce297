#pragma once
// Calling an object by name only, as a script host does: names resolved through GetIDsOfNames,
// members called through Invoke with the arguments in DISPPARAMS (last argument first).
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <velmora/Com.h>
#include <velmora/ComSupport.h>

namespace velmora::test {

using com::Bstr;
using com::ComPtr;
using com::Variant;

inline Variant TextValue(const std::string& text) {
    Variant value;
    value.vt = VT_BSTR;
    value.bstrVal = com::AllocBstr(text);
    return value;
}
inline Variant ObjectValue(IDispatch* object) {
    Variant value;
    value.vt = VT_DISPATCH;
    value.pdispVal = object;
    if (object) object->AddRef();
    return value;
}
inline std::string TextOf(const VARIANT& value) {
    return value.vt == VT_BSTR ? com::ToUtf8(value.bstrVal) : "<not text>";
}

// The outcome of one Invoke.
struct Outcome {
    HRESULT hr = E_UNEXPECTED;
    Variant result;
    EXCEPINFO exception{};
    UINT argError = 99;

    Outcome() = default;
    Outcome(const Outcome&) = delete;
    Outcome& operator=(const Outcome&) = delete;
    ~Outcome() {
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
    }
};

class ByName {
  public:
    explicit ByName(IDispatch* object) : object_(object) {}
    explicit ByName(const ComPtr<IDispatch>& object) : object_(object) {}
    explicit ByName(const VARIANT& object)
        : object_(object.vt == VT_DISPATCH ? object.pdispVal : nullptr) {}

    IDispatch* Get() const { return object_.Get(); }

    DISPID Id(const std::string& name) const {
        const std::u16string wide = com::ToUtf16(name);
        LPOLESTR names[] = {const_cast<LPOLESTR>(wide.c_str())};
        DISPID id = DISPID_UNKNOWN;
        EXPECT_EQ(object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK)
            << name;
        return id;
    }

    // Invokes the member with the arguments in call order; named arguments (positions or
    // DISPID_PROPERTYPUT) name the last ones.
    void Invoke(DISPID id, WORD flags, const std::vector<Variant>& arguments, Outcome* outcome,
                const std::vector<DISPID>& named = {}) const {
        // DISPPARAMS holds the positional arguments last first, after the named ones.
        std::vector<VARIANT> reversed;
        const size_t positional = arguments.size() - named.size();
        for (size_t i = 0; i < named.size(); ++i)
            reversed.push_back(arguments[positional + i]);
        for (size_t i = positional; i-- > 0;)
            reversed.push_back(arguments[i]);
        std::vector<DISPID> namedIds = named;
        DISPPARAMS params{reversed.data(), namedIds.empty() ? nullptr : namedIds.data(),
                          static_cast<UINT>(reversed.size()), static_cast<UINT>(named.size())};
        outcome->hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                      &outcome->result, &outcome->exception, &outcome->argError);
    }

    // A method or getter as a script calls it; the call must succeed.
    Variant Call(const std::string& name, const std::vector<Variant>& arguments = {}) const {
        Outcome outcome;
        Invoke(Id(name), DISPATCH_METHOD | DISPATCH_PROPERTYGET, arguments, &outcome);
        EXPECT_EQ(outcome.hr, S_OK)
            << name << ": " << com::ToUtf8(outcome.exception.bstrDescription);
        return outcome.result;
    }
    void Put(const std::string& name, const Variant& value) const {
        Outcome outcome;
        Invoke(Id(name), DISPATCH_PROPERTYPUT, {value}, &outcome, {DISPID_PROPERTYPUT});
        EXPECT_EQ(outcome.hr, S_OK)
            << name << ": " << com::ToUtf8(outcome.exception.bstrDescription);
    }

  private:
    ComPtr<IDispatch> object_;
};

// The IDispatch of an engine object.
template <class T> ComPtr<IDispatch> DispatchOf(const ComPtr<T>& object) {
    return ComPtr<IDispatch>(static_cast<IDispatch*>(object.Get()));
}

} // namespace velmora::test
