// Field values to and from VARIANTs.
#include "engine/db/VariantValue.h"

#include <gtest/gtest.h>

namespace velmora::db {
namespace {

TEST(VariantValueTest, EveryKindRoundTripsWithTheExpectedVariantType) {
    const std::pair<Value, VARTYPE> cases[] = {
        {Value::Null(), VT_NULL},
        {Value::Int(-7), VT_I4},
        {Value::Byte(200), VT_UI1},
        {Value::Bool(true), VT_BOOL},
        {Value::Bool(false), VT_BOOL},
        {Value::Double(2.5), VT_R8},
        {Value::Date(38051.75), VT_DATE},
        {Value::Text("Grüße ✓"), VT_BSTR},
        {Value::Text(""), VT_BSTR},
        {Value::Binary({0, 1, 255}), VT_ARRAY | VT_UI1},
        {Value::Binary({}), VT_ARRAY | VT_UI1},
    };
    for (const auto& [value, vt] : cases) {
        const com::Variant variant = ToVariant(value);
        EXPECT_EQ(vt, variant.vt) << value.toText();
        EXPECT_EQ(value, VariantToValue(variant)) << value.toText();
    }
    EXPECT_EQ(VARIANT_TRUE, ToVariant(Value::Bool(true)).boolVal);
}

TEST(VariantValueTest, OtherWidthsAndReferencesAreReadAndUnsupportedTypesRefused) {
    VARIANT variant;
    VariantInit(&variant);
    EXPECT_TRUE(VariantToValue(variant).isNull());
    variant.vt = VT_I2;
    variant.iVal = -3;
    EXPECT_EQ(Value::Int(-3), VariantToValue(variant));
    LONG target = 42;
    variant.vt = VT_I4 | VT_BYREF;
    variant.plVal = &target;
    EXPECT_EQ(Value::Int(42), VariantToValue(variant));

    variant.byref = nullptr;
    EXPECT_THROW(VariantToValue(variant), DbError);
    variant.vt = VT_DISPATCH;
    variant.pdispVal = nullptr;
    EXPECT_THROW(VariantToValue(variant), DbError);
    variant.vt = VT_UI4;
    variant.ulVal = 0xFFFFFFFFu;
    EXPECT_THROW(VariantToValue(variant), DbError);
}

} // namespace
} // namespace velmora::db
