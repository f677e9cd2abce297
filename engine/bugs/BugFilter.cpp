#include "engine/bugs/BugFilter.h"

#include <variant>

#include "engine/bugs/FilterFieldTypes.h"
#include "engine/bugs/FilterSql.h"
#include "engine/com/Failure.h"
#include "engine/com/MemberGuard.h"
#include "engine/com/OutParams.h"

namespace velmora::engine {

HRESULT CBugFilter::get_Field(BSTR* pVal) {
    return ReturnText(data_.field, pVal);
}
HRESULT CBugFilter::put_Field(BSTR newVal) {
    return StoreText(newVal, data_.field);
}

HRESULT CBugFilter::get_Condition(eLogCondition* pVal) {
    return ReturnValue(data_.condition, pVal);
}
HRESULT CBugFilter::put_Condition(eLogCondition newVal) {
    data_.condition = newVal;
    return S_OK;
}

HRESULT CBugFilter::get_Value(VARIANT* pVal) {
    return ReturnVariant(data_.value, pVal);
}

HRESULT CBugFilter::put_Value(VARIANT newVal) {
    if (newVal.vt != FilterValueType(data_.field))
        return FailLogOnly(0, "CBugFilter::put_Value", "Type mismatch");
    // Copy first, so that a failed copy leaves the stored value as it was.
    com::Variant copy;
    HRESULT hr = VariantCopy(&copy, &newVal);
    if (FAILED(hr)) return hr;
    return VariantCopy(&data_.value, &copy);
}

HRESULT CBugFilter::get_AndOr(eLogOperation* pVal) {
    return ReturnValue(data_.andOr, pVal);
}
HRESULT CBugFilter::put_AndOr(eLogOperation newVal) {
    data_.andOr = newVal;
    return S_OK;
}

HRESULT CBugFilter::GetSQL(BSTR* pVal) {
    if (!pVal) return E_POINTER;
    *pVal = nullptr;
    return Guard([&] {
        auto sql = FilterConditionSql(data_);
        if (const auto* failure = std::get_if<FilterSqlFailure>(&sql))
            return FailLogOnly(0, "CBugFilter::GetSQL", failure->message);
        return ReturnText(std::get<std::string>(sql), pVal);
    });
}

HRESULT CBugFilter::GetAndOrStr(BSTR* pVal) {
    return ReturnText(data_.andOr == LogAnd ? "And" : "Or", pVal);
}

HRESULT CBugFilter::GetConditionStr(BSTR* pVal) {
    return ReturnText("", pVal);
}

} // namespace velmora::engine
