// A bug filter's plain properties, and the value check that judges a value by the field's type.
#include <gtest/gtest.h>

#include <string>

#include <velmora/ComSupport.h>
#include <velmora/Velmora.h>

#include "TestSupport.h"
#include "engine/bugs/BugFilter.h"
#include "engine/bugs/FilterFieldTypes.h"
#include "engine/com/EngineObjects.h"
#include "engine/log/Log.h"

namespace velmora::engine {
namespace {

using test::Text;

com::Variant Int32(LONG value) {
    return com::Variant(value);
}
com::Variant Typed(VARTYPE vt) {
    com::Variant value;
    value.vt = vt;
    value.llVal = 0;
    return value;
}
com::Variant TextValue(const std::string& text) {
    com::Variant value;
    value.vt = VT_BSTR;
    value.bstrVal = com::AllocBstr(text);
    return value;
}

class BugFilter : public ::testing::Test {
  protected:
    void SetUp() override {
        log::SetLogDirectoryForTesting(dir_.Path().string() + "/");
        test::ClearCallerError();
    }
    void TearDown() override { log::SetLogDirectoryForTesting(""); }

    void SetField(const std::string& field) {
        ASSERT_EQ(filter_->put_Field(Text(field).Get()), S_OK);
    }
    com::Variant Value() {
        com::Variant value;
        VariantClear(&value);
        EXPECT_EQ(filter_->get_Value(&value), S_OK);
        return value;
    }
    std::string Log() { return test::ReadFile(dir_.File("Err.log")); }

    test::TempDir dir_;
    com::ComPtr<CBugFilter> filter_ = CreateObject<CBugFilter>();
};

TEST_F(BugFilter, StartsEmptyEqualAndJoinedWithAnd) {
    com::Bstr field;
    ASSERT_EQ(filter_->get_Field(field.Put()), S_OK);
    EXPECT_EQ(field.Utf8(), "");
    eLogCondition condition = Like;
    ASSERT_EQ(filter_->get_Condition(&condition), S_OK);
    EXPECT_EQ(condition, Equal);
    eLogOperation andOr = LogOr;
    ASSERT_EQ(filter_->get_AndOr(&andOr), S_OK);
    EXPECT_EQ(andOr, LogAnd);
    EXPECT_EQ(Value().vt, VT_EMPTY);
}

TEST_F(BugFilter, StoresAnyConditionAndOperatorUnchanged) {
    filter_->put_Condition(static_cast<eLogCondition>(9));
    filter_->put_AndOr(static_cast<eLogOperation>(0));
    eLogCondition condition = Equal;
    eLogOperation andOr = LogAnd;
    filter_->get_Condition(&condition);
    filter_->get_AndOr(&andOr);
    EXPECT_EQ(condition, 9);
    EXPECT_EQ(andOr, 0);
    com::Bstr name;
    ASSERT_EQ(filter_->GetAndOrStr(name.Put()), S_OK);
    EXPECT_EQ(name.Utf8(), "Or");
    filter_->put_AndOr(LogAnd);
    ASSERT_EQ(filter_->GetAndOrStr(name.Put()), S_OK);
    EXPECT_EQ(name.Utf8(), "And");
    ASSERT_EQ(filter_->GetConditionStr(name.Put()), S_OK);
    EXPECT_EQ(name.Utf8(), "");
}

TEST_F(BugFilter, AcceptsAValueOfTheFieldsType) {
    SetField("bugid"); // the type lookup ignores case
    ASSERT_EQ(filter_->put_Value(Int32(7)), S_OK);
    EXPECT_EQ(Value().vt, VT_I4);
    EXPECT_EQ(Value().lVal, 7);

    SetField("StatusName");
    ASSERT_EQ(filter_->put_Value(TextValue("O'Brien")), S_OK);
    com::Variant stored = Value();
    ASSERT_EQ(stored.vt, VT_BSTR);
    EXPECT_EQ(com::ToUtf8(stored.bstrVal), "O'Brien");

    SetField("BugType");
    com::Variant byte = Typed(VT_UI1);
    byte.bVal = 1;
    EXPECT_EQ(filter_->put_Value(byte), S_OK);

    SetField("ReportedDate");
    com::Variant date = Typed(VT_DATE);
    date.date = 38051.0;
    EXPECT_EQ(filter_->put_Value(date), S_OK);
    EXPECT_EQ(Value().date, 38051.0);
    EXPECT_EQ(Log(), "");
}

TEST_F(BugFilter, RefusesAValueOfAnotherTypeAndKeepsTheOldOne) {
    SetField("StatusName");
    ASSERT_EQ(filter_->put_Value(TextValue("Open")), S_OK);
    EXPECT_EQ(filter_->put_Value(Int32(3)), E_FAIL);
    EXPECT_EQ(com::ToUtf8(Value().bstrVal), "Open");
    EXPECT_NE(Log().find("[ErrCode]: 0\r\n[Source]: CBugFilter::put_Value\r\n"
                         "[Description]: Type mismatch\r\n"),
              std::string::npos);
    // The filter reports no error information.
    EXPECT_EQ(test::TakeCallerError(), std::nullopt);
}

TEST_F(BugFilter, RefusesOtherWidthsAndReferences) {
    SetField("BugID");
    com::Variant shortInt = Typed(VT_I2);
    EXPECT_EQ(filter_->put_Value(shortInt), E_FAIL);
    LONG target = 5;
    com::Variant reference = Typed(VT_I4 | VT_BYREF);
    reference.plVal = &target;
    EXPECT_EQ(filter_->put_Value(reference), E_FAIL);
    reference.vt = VT_EMPTY; // not owned
    SetField("BugType");
    EXPECT_EQ(filter_->put_Value(Int32(1)), E_FAIL);
    EXPECT_EQ(Value().vt, VT_EMPTY);
}

TEST_F(BugFilter, JudgesTheValueByTheFieldSetAtThatMoment) {
    EXPECT_EQ(filter_->put_Value(Int32(1)), E_FAIL); // no field: no type
    SetField("NoSuchColumn");
    EXPECT_EQ(filter_->put_Value(TextValue("x")), E_FAIL);
    SetField("ClassID");
    EXPECT_EQ(filter_->put_Value(Int32(2)), S_OK);
    SetField("Description"); // changing the field keeps the value
    EXPECT_EQ(Value().lVal, 2);
}

TEST(FilterFieldTypes, CoverTheColumnsOfTheBugTable) {
    EXPECT_EQ(FilterValueType("ReportedInVersionID"), VT_I4);
    EXPECT_EQ(FilterValueType("LASTMODIFIEDBYID"), VT_I4);
    EXPECT_EQ(FilterValueType("BugType"), VT_UI1);
    EXPECT_EQ(FilterValueType("workaround"), VT_BSTR);
    EXPECT_EQ(FilterValueType("FixedInVersion"), VT_BSTR);
    EXPECT_EQ(FilterValueType("ActualTime"), VT_DATE);
    EXPECT_EQ(FilterValueType("DateDue"), VT_DATE);
    EXPECT_EQ(FilterValueType(""), VT_NULL);
    EXPECT_EQ(FilterValueType("BugID "), VT_NULL);
    EXPECT_EQ(FilterValueType("FileContent"), VT_NULL);
}

} // namespace
} // namespace velmora::engine
