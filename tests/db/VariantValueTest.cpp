// Field values to and from VARIANTs.
#include "engine/db/VariantValue.h"

#include <gtest/gtest.h>

namespace velmora::db {
namespace {

Value RoundTrip(const Value& value) {
    const com::Variant variant = ToVariant(value);
    return VariantToValue(variant);
}

TEST(VariantValueTest, EveryKindRoundTrips) {
    for (const Value& value :
         {Value::Null(), Value::Int(-7), Value::Byte(200), Value::Bool(true), Value::Bool(false),
          Value::Double(2.5), Value::Date(38051.75), Value::Text("Grüße ✓"), Value::Text(""),
          Value::Binary({0, 1, 255}), Value::Binary({})}) {
        EXPECT_EQ(value, RoundTrip(value)) << value.toText();
    }
}

TEST(VariantValueTest, VariantTypesOnTheWayOut) {
    com::Variant variant = ToVariant(Value::Bool(true));
    EXPECT_EQ(VT_BOOL, variant.vt);
    EXPECT_EQ(VARIANT_TRUE, variant.boolVal);
    variant = ToVariant(Value::Null());
    EXPECT_EQ(VT_NULL, variant.vt);
    variant = ToVariant(Value::Binary({4, 5}));
    ASSERT_EQ(VT_ARRAY | VT_UI1, variant.vt);
    LONG upper = 0;
    SafeArrayGetUBound(variant.parray, 1, &upper);
    EXPECT_EQ(1, upper);
    variant = ToVariant(Value::Text("abc"));
    ASSERT_EQ(VT_BSTR, variant.vt);
    EXPECT_EQ(3u, SysStringLen(variant.bstrVal));
}

TEST(VariantValueTest, OtherWidthsAndReferencesAreRead) {
    VARIANT variant;
    VariantInit(&variant);
    variant.vt = VT_I2;
    variant.iVal = -3;
    EXPECT_EQ(Value::Int(-3), VariantToValue(variant));
    variant.vt = VT_EMPTY;
    EXPECT_TRUE(VariantToValue(variant).isNull());
    variant.vt = VT_R4;
    variant.fltVal = 0.5f;
    EXPECT_EQ(Value::Double(0.5), VariantToValue(variant));
    LONG target = 42;
    variant.vt = VT_I4 | VT_BYREF;
    variant.plVal = &target;
    EXPECT_EQ(Value::Int(42), VariantToValue(variant));
}

TEST(VariantValueTest, UnsupportedTypesAreRefused) {
    VARIANT variant;
    VariantInit(&variant);
    variant.vt = VT_DISPATCH;
    variant.pdispVal = nullptr;
    EXPECT_THROW(VariantToValue(variant), DbError);
    variant.vt = VT_UI4;
    variant.ulVal = 0xFFFFFFFFu;
    EXPECT_THROW(VariantToValue(variant), DbError);
    variant.vt = VT_I4 | VT_BYREF;
    variant.byref = nullptr;
    EXPECT_THROW(VariantToValue(variant), DbError);
}

} // namespace
} // namespace velmora::db
