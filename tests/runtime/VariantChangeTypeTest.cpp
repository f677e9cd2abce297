// Type changes between the automation scalar types, and the ones that must fail.
#include <velmora/ComSupport.h>

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace {

using velmora::com::Variant;

Variant Text(const char* text) {
    Variant v;
    v.vt = VT_BSTR;
    v.bstrVal = velmora::com::AllocBstr(text);
    return v;
}
Variant Of(VARTYPE vt, double value) {
    Variant v;
    v.vt = vt;
    if (vt == VT_BOOL)
        v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    else
        v.dblVal = value; // VT_R8 and VT_DATE share the storage
    return v;
}

// Converts and returns the status; the result lands in *out.
HRESULT Change(const Variant& source, VARTYPE vt, Variant* out, USHORT flags = 0) {
    return VariantChangeType(out, &source, flags, vt);
}

std::string AsText(const Variant& source, USHORT flags = 0) {
    Variant out;
    const HRESULT hr = Change(source, VT_BSTR, &out, flags);
    EXPECT_EQ(hr, S_OK);
    return SUCCEEDED(hr) ? velmora::com::ToUtf8(out.bstrVal) : "<failed>";
}

TEST(VariantChangeType, NumbersOverflowAndRoundHalfToEven) {
    Variant out;
    EXPECT_EQ(Change(Variant(70000), VT_I2, &out), DISP_E_OVERFLOW);
    EXPECT_EQ(Change(Variant(-1), VT_UI1, &out), DISP_E_OVERFLOW);
    const std::pair<double, LONG> halves[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {2.5001, 3}};
    for (const auto& [in, expected] : halves) {
        ASSERT_EQ(Change(Of(VT_R8, in), VT_I4, &out), S_OK) << in;
        EXPECT_EQ(out.lVal, expected) << in;
    }
    EXPECT_EQ(Change(Of(VT_R8, 2147483647.5), VT_I4, &out), DISP_E_OVERFLOW);
    EXPECT_EQ(Change(Of(VT_R8, -2147483648.5), VT_I4, &out), S_OK); // rounds to the even minimum
    EXPECT_EQ(Change(Of(VT_R8, NAN), VT_I4, &out), DISP_E_OVERFLOW);
    EXPECT_EQ(Change(Of(VT_R8, 1e300), VT_R4, &out), DISP_E_OVERFLOW);
}

TEST(VariantChangeType, TextAndNumbers) {
    Variant out;
    ASSERT_EQ(Change(Text(" 42 "), VT_I4, &out), S_OK);
    EXPECT_EQ(out.lVal, 42);
    ASSERT_EQ(Change(Text("&HFF"), VT_I4, &out), S_OK);
    EXPECT_EQ(out.lVal, 255);
    for (const char* bad : {"abc", "", "12abc"})
        EXPECT_EQ(Change(Text(bad), VT_I4, &out), DISP_E_TYPEMISMATCH) << bad;
    EXPECT_EQ(Change(Text("99999999999"), VT_I4, &out), DISP_E_OVERFLOW);
    EXPECT_EQ(Change(Text("1e999"), VT_R8, &out), DISP_E_OVERFLOW);
    EXPECT_EQ(out.lVal, 255) << "a failed change leaves the destination alone";

    EXPECT_EQ(AsText(Variant(-123)), "-123");
    EXPECT_EQ(AsText(Of(VT_R8, 0.1)), "0.1");
    EXPECT_EQ(AsText(Of(VT_R8, -0.0)), "0");
    EXPECT_EQ(AsText(Of(VT_R8, 1.0 / 3.0)), "0.333333333333333");
}

TEST(VariantChangeType, Booleans) {
    EXPECT_EQ(AsText(Of(VT_BOOL, 1)), "-1");
    EXPECT_EQ(AsText(Of(VT_BOOL, 1), VARIANT_ALPHABOOL), "True");
    EXPECT_EQ(AsText(Of(VT_BOOL, 0), VARIANT_ALPHABOOL), "False");
    Variant out;
    const std::pair<const char*, VARIANT_BOOL> texts[] = {{" TRUE ", VARIANT_TRUE},
                                                          {"-1", VARIANT_TRUE},
                                                          {"5", VARIANT_TRUE},
                                                          {"false", VARIANT_FALSE},
                                                          {"0", VARIANT_FALSE}};
    for (const auto& [text, expected] : texts) {
        ASSERT_EQ(Change(Text(text), VT_BOOL, &out), S_OK) << text;
        EXPECT_EQ(out.boolVal, expected) << text;
    }
    EXPECT_EQ(Change(Text("yes"), VT_BOOL, &out), DISP_E_TYPEMISMATCH);
    ASSERT_EQ(Change(Of(VT_R8, 0.25), VT_BOOL, &out), S_OK);
    EXPECT_EQ(out.boolVal, VARIANT_TRUE);
}

TEST(VariantChangeType, DatesAndText) {
    EXPECT_EQ(AsText(Of(VT_DATE, 45000.0)), "3/15/2023");
    EXPECT_EQ(AsText(Of(VT_DATE, 45000.75)), "3/15/2023 6:00:00 PM");
    EXPECT_EQ(AsText(Of(VT_DATE, -1.25)), "12/29/1899 6:00:00 AM");

    Variant out;
    ASSERT_EQ(Change(Text("2023-03-15 18:00:00"), VT_DATE, &out), S_OK);
    EXPECT_DOUBLE_EQ(out.date, 45000.75);
    for (const char* bad : {"2/30/2023", "13/1/2023", "3/15/2023 25:00", "3/15/2023x", "1:2",
                            "13:00 PM", "yesterday"})
        EXPECT_EQ(Change(Text(bad), VT_DATE, &out), DISP_E_TYPEMISMATCH) << bad;
    EXPECT_EQ(Change(Of(VT_R8, 3e6), VT_DATE, &out), DISP_E_OVERFLOW);
    ASSERT_EQ(Change(Of(VT_DATE, 45000.75), VT_I4, &out), S_OK);
    EXPECT_EQ(out.lVal, 45001);

    for (double date : {1.0, 36526.5, 45000.999988425926, -657434.0, 2958465.0, -10.75}) {
        Variant text, back;
        ASSERT_EQ(Change(Of(VT_DATE, date), VT_BSTR, &text), S_OK);
        ASSERT_EQ(Change(text, VT_DATE, &back), S_OK) << velmora::com::ToUtf8(text.bstrVal);
        EXPECT_NEAR(back.date, date, 1.0 / 86400) << velmora::com::ToUtf8(text.bstrVal);
    }
}

TEST(VariantChangeType, EmptyBecomesZeroButNullBecomesNothing) {
    Variant empty, out;
    ASSERT_EQ(Change(empty, VT_I4, &out), S_OK);
    EXPECT_EQ(out.lVal, 0);
    ASSERT_EQ(Change(empty, VT_BSTR, &out), S_OK);
    ASSERT_NE(out.bstrVal, nullptr);
    EXPECT_EQ(SysStringLen(out.bstrVal), 0u);

    Variant null;
    null.vt = VT_NULL;
    for (VARTYPE vt : {VT_I4, VT_BSTR, VT_BOOL, VT_DATE})
        EXPECT_EQ(Change(null, vt, &out), DISP_E_TYPEMISMATCH) << vt;
    ASSERT_EQ(Change(null, VT_NULL, &out), S_OK);
    EXPECT_EQ(Change(Variant(1), VT_NULL, &out), DISP_E_TYPEMISMATCH);
}

TEST(VariantChangeType, ReferencesAreReadThroughAndInPlaceChangesReplaceTheValue) {
    Variant inner = Text("34");
    Variant byVariant;
    byVariant.vt = VT_BYREF | VT_VARIANT;
    byVariant.pvarVal = &inner;
    Variant out;
    ASSERT_EQ(Change(byVariant, VT_I4, &out), S_OK);
    EXPECT_EQ(out.lVal, 34);

    Variant dangling;
    dangling.vt = VT_BYREF | VT_I4;
    dangling.plVal = nullptr;
    EXPECT_EQ(Change(dangling, VT_I4, &out), E_INVALIDARG);

    Variant v = Text("17");
    ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_I4), S_OK);
    EXPECT_EQ(v.lVal, 17);
    ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_BSTR), S_OK);
    EXPECT_EQ(velmora::com::ToUtf8(v.bstrVal), "17");
}

TEST(VariantChangeType, ObjectsArraysAndErrorsDoNotBecomeScalars) {
    Variant out;
    Variant array;
    array.vt = VT_ARRAY | VT_I4;
    array.parray = SafeArrayCreateVector(VT_I4, 0, 1);
    EXPECT_EQ(Change(array, VT_I4, &out), DISP_E_TYPEMISMATCH);
    ASSERT_EQ(Change(array, VT_ARRAY | VT_I4, &out), S_OK);
    EXPECT_NE(out.parray, array.parray);

    Variant unknown;
    unknown.vt = VT_UNKNOWN;
    unknown.punkVal = nullptr;
    EXPECT_EQ(Change(unknown, VT_BSTR, &out), DISP_E_TYPEMISMATCH);
    Variant error;
    error.vt = VT_ERROR;
    error.scode = E_FAIL;
    EXPECT_EQ(Change(error, VT_I4, &out), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Change(Variant(1), VT_BYREF | VT_I4, &out), DISP_E_BADVARTYPE);
}

} // namespace
