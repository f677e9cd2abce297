#pragma once
// One condition on one column of tBugReport: field, comparison, value and the operator that
// joins it to the condition before it.
#include <string>

#include <velmora/ComSupport.h>

#include "engine/com/CoClass.h"
#include "engine/com/generated/ClassInfos.h"
#include "engine/com/generated/InterfaceStubs.h"

namespace velmora::engine {

struct BugFilterData {
    std::string field;
    eLogCondition condition = Equal;
    eLogOperation andOr = LogAnd;
    com::Variant value;
};

class CBugFilter : public CoClass<IBugFilterStub, classes::BugFilter> {
  public:
    // Engine side: the fields as held (copying a filter takes the value without the type check).
    BugFilterData& Data() { return data_; }
    const BugFilterData& Data() const { return data_; }

    HRESULT STDMETHODCALLTYPE get_Field(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Field(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_Condition(eLogCondition* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Condition(eLogCondition newVal) override;
    HRESULT STDMETHODCALLTYPE get_Value(VARIANT* pVal) override;
    // The value's type must be exactly the type of the current field; otherwise the stored value
    // stays and "Type mismatch" is logged.
    HRESULT STDMETHODCALLTYPE put_Value(VARIANT newVal) override;
    HRESULT STDMETHODCALLTYPE get_AndOr(eLogOperation* pVal) override;
    HRESULT STDMETHODCALLTYPE put_AndOr(eLogOperation newVal) override;
    // The condition text of this filter (see FilterSql.h); a condition outside Equal..Like, a
    // field without a type or a value that does not fit is logged and refused.
    HRESULT STDMETHODCALLTYPE GetSQL(BSTR* pVal) override;
    // "And" when AndOr is LogAnd, otherwise "Or".
    HRESULT STDMETHODCALLTYPE GetAndOrStr(BSTR* pVal) override;
    // No condition has a textual name: always the empty text.
    HRESULT STDMETHODCALLTYPE GetConditionStr(BSTR* pVal) override;

  private:
    BugFilterData data_;
};

} // namespace velmora::engine
