// Type changes between the automation scalar types, and the ones that must fail.
#include <velmora/ComSupport.h>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using velmora::com::Variant;

Variant Text(const char* text) {
    Variant v;
    v.vt = VT_BSTR;
    v.bstrVal = velmora::com::AllocBstr(text);
    return v;
}
Variant Real(double value) {
    Variant v;
    v.vt = VT_R8;
    v.dblVal = value;
    return v;
}
Variant Date(double value) {
    Variant v;
    v.vt = VT_DATE;
    v.date = value;
    return v;
}
Variant Bool(bool value) {
    Variant v;
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
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

TEST(VariantChangeType, IntegersBetweenSizes) {
    Variant out;
    ASSERT_EQ(Change(Variant(300), VT_I2, &out), S_OK);
    EXPECT_EQ(out.vt, VT_I2);
    EXPECT_EQ(out.iVal, 300);
    EXPECT_EQ(Change(Variant(70000), VT_I2, &out), DISP_E_OVERFLOW);
    EXPECT_EQ(Change(Variant(255), VT_UI1, &out), S_OK);
    EXPECT_EQ(out.bVal, 255);
    EXPECT_EQ(Change(Variant(256), VT_UI1, &out), DISP_E_OVERFLOW);
    EXPECT_EQ(Change(Variant(-1), VT_UI1, &out), DISP_E_OVERFLOW);
}

TEST(VariantChangeType, RealsRoundHalfToEven) {
    Variant out;
    const struct {
        double in;
        LONG expected;
    } cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {2.4999, 2}, {2.5001, 3}};
    for (const auto& c : cases) {
        ASSERT_EQ(Change(Real(c.in), VT_I4, &out), S_OK) << c.in;
        EXPECT_EQ(out.lVal, c.expected) << c.in;
    }
    EXPECT_EQ(Change(Real(2147483647.4), VT_I4, &out), S_OK);
    EXPECT_EQ(Change(Real(2147483647.5), VT_I4, &out), DISP_E_OVERFLOW);
    EXPECT_EQ(Change(Real(-2147483648.5), VT_I4, &out), S_OK); // rounds to the even minimum
    EXPECT_EQ(Change(Real(NAN), VT_I4, &out), DISP_E_OVERFLOW);
    EXPECT_EQ(Change(Real(1e300), VT_R4, &out), DISP_E_OVERFLOW);
}

TEST(VariantChangeType, TextToNumbers) {
    Variant out;
    ASSERT_EQ(Change(Text(" 42 "), VT_I4, &out), S_OK);
    EXPECT_EQ(out.lVal, 42);
    ASSERT_EQ(Change(Text("-7.5"), VT_I2, &out), S_OK);
    EXPECT_EQ(out.iVal, -8);
    ASSERT_EQ(Change(Text("1.5E+2"), VT_R8, &out), S_OK);
    EXPECT_DOUBLE_EQ(out.dblVal, 150.0);
    ASSERT_EQ(Change(Text("&HFF"), VT_I4, &out), S_OK);
    EXPECT_EQ(out.lVal, 255);
    ASSERT_EQ(Change(Text(".5"), VT_R8, &out), S_OK);
    EXPECT_DOUBLE_EQ(out.dblVal, 0.5);

    EXPECT_EQ(Change(Text("abc"), VT_I4, &out), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Change(Text(""), VT_I4, &out), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Change(Text("12abc"), VT_I4, &out), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Change(Text("1e"), VT_R8, &out), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Change(Text("99999999999"), VT_I4, &out), DISP_E_OVERFLOW);
    EXPECT_EQ(Change(Text("1e999"), VT_R8, &out), DISP_E_OVERFLOW);
    EXPECT_EQ(out.vt, VT_R8) << "a failed change leaves the destination alone";
}

TEST(VariantChangeType, NumbersToText) {
    EXPECT_EQ(AsText(Variant(-123)), "-123");
    EXPECT_EQ(AsText(Real(0.1)), "0.1");
    EXPECT_EQ(AsText(Real(2.5)), "2.5");
    EXPECT_EQ(AsText(Real(1e20)), "1E+20");
    EXPECT_EQ(AsText(Real(-0.0)), "0");
    EXPECT_EQ(AsText(Real(1.0 / 3.0)), "0.333333333333333");
    Variant single;
    single.vt = VT_R4;
    single.fltVal = 0.1f;
    EXPECT_EQ(AsText(single), "0.1");
}

TEST(VariantChangeType, Booleans) {
    EXPECT_EQ(AsText(Bool(true)), "-1");
    EXPECT_EQ(AsText(Bool(false)), "0");
    EXPECT_EQ(AsText(Bool(true), VARIANT_ALPHABOOL), "True");
    EXPECT_EQ(AsText(Bool(false), VARIANT_ALPHABOOL), "False");

    Variant out;
    for (const char* truthy : {"True", "true", " TRUE ", "-1", "5"}) {
        ASSERT_EQ(Change(Text(truthy), VT_BOOL, &out), S_OK) << truthy;
        EXPECT_EQ(out.boolVal, VARIANT_TRUE) << truthy;
    }
    for (const char* falsy : {"False", "false", "0"}) {
        ASSERT_EQ(Change(Text(falsy), VT_BOOL, &out), S_OK) << falsy;
        EXPECT_EQ(out.boolVal, VARIANT_FALSE) << falsy;
    }
    EXPECT_EQ(Change(Text("yes"), VT_BOOL, &out), DISP_E_TYPEMISMATCH);
    ASSERT_EQ(Change(Bool(true), VT_I4, &out), S_OK);
    EXPECT_EQ(out.lVal, -1);
    ASSERT_EQ(Change(Real(0.25), VT_BOOL, &out), S_OK);
    EXPECT_EQ(out.boolVal, VARIANT_TRUE);
}

TEST(VariantChangeType, DatesAndText) {
    EXPECT_EQ(AsText(Date(45000.0)), "3/15/2023");
    EXPECT_EQ(AsText(Date(45000.75)), "3/15/2023 6:00:00 PM");
    EXPECT_EQ(AsText(Date(0.5)), "12:00:00 PM");
    EXPECT_EQ(AsText(Date(0.0)), "12:00:00 AM");
    EXPECT_EQ(AsText(Date(1.0)), "12/31/1899");
    EXPECT_EQ(AsText(Date(-1.25)), "12/29/1899 6:00:00 AM");

    Variant out;
    ASSERT_EQ(Change(Text("3/15/2023"), VT_DATE, &out), S_OK);
    EXPECT_DOUBLE_EQ(out.date, 45000.0);
    ASSERT_EQ(Change(Text("2023-03-15 18:00:00"), VT_DATE, &out), S_OK);
    EXPECT_DOUBLE_EQ(out.date, 45000.75);
    ASSERT_EQ(Change(Text("3/15/2023 6:00:00 PM"), VT_DATE, &out), S_OK);
    EXPECT_DOUBLE_EQ(out.date, 45000.75);
    ASSERT_EQ(Change(Text("12:00 AM"), VT_DATE, &out), S_OK);
    EXPECT_DOUBLE_EQ(out.date, 0.0);
    ASSERT_EQ(Change(Text("12/29/1899 6:00:00 AM"), VT_DATE, &out), S_OK);
    EXPECT_DOUBLE_EQ(out.date, -1.25);

    for (const char* bad : {"2/30/2023", "13/1/2023", "3/15/2023 25:00", "3/15/2023x", "1:2",
                            "13:00 PM", "yesterday"})
        EXPECT_EQ(Change(Text(bad), VT_DATE, &out), DISP_E_TYPEMISMATCH) << bad;

    EXPECT_EQ(Change(Real(3e6), VT_DATE, &out), DISP_E_OVERFLOW);
    ASSERT_EQ(Change(Date(45000.75), VT_R8, &out), S_OK);
    EXPECT_DOUBLE_EQ(out.dblVal, 45000.75);
    ASSERT_EQ(Change(Date(45000.75), VT_I4, &out), S_OK);
    EXPECT_EQ(out.lVal, 45001);
}

TEST(VariantChangeType, DateTextRoundTrips) {
    for (double date : {1.0, 36526.5, 45000.999988425926, -657434.0, 2958465.0, -10.75}) {
        Variant text;
        ASSERT_EQ(Change(Date(date), VT_BSTR, &text), S_OK);
        Variant back;
        ASSERT_EQ(Change(text, VT_DATE, &back), S_OK) << velmora::com::ToUtf8(text.bstrVal);
        EXPECT_NEAR(back.date, date, 1.0 / 86400) << velmora::com::ToUtf8(text.bstrVal);
    }
}

TEST(VariantChangeType, EmptyAndNull) {
    Variant empty, out;
    ASSERT_EQ(Change(empty, VT_I4, &out), S_OK);
    EXPECT_EQ(out.lVal, 0);
    ASSERT_EQ(Change(empty, VT_BSTR, &out), S_OK);
    ASSERT_NE(out.bstrVal, nullptr);
    EXPECT_EQ(SysStringLen(out.bstrVal), 0u);
    ASSERT_EQ(Change(empty, VT_BOOL, &out), S_OK);
    EXPECT_EQ(out.boolVal, VARIANT_FALSE);

    Variant null;
    null.vt = VT_NULL;
    for (VARTYPE vt : {VT_I4, VT_BSTR, VT_BOOL, VT_DATE, VT_R8})
        EXPECT_EQ(Change(null, vt, &out), DISP_E_TYPEMISMATCH) << vt;
    ASSERT_EQ(Change(null, VT_NULL, &out), S_OK);
    EXPECT_EQ(out.vt, VT_NULL);
    EXPECT_EQ(Change(Variant(1), VT_NULL, &out), DISP_E_TYPEMISMATCH);
}

TEST(VariantChangeType, ReferencesAreReadThrough) {
    LONG target = 12;
    Variant byRef;
    byRef.vt = VT_BYREF | VT_I4;
    byRef.plVal = &target;
    EXPECT_EQ(AsText(byRef), "12");

    Variant inner = Text("34");
    Variant byVariant;
    byVariant.vt = VT_BYREF | VT_VARIANT;
    byVariant.pvarVal = &inner;
    Variant out;
    ASSERT_EQ(Change(byVariant, VT_I4, &out), S_OK);
    EXPECT_EQ(out.lVal, 34);

    BSTR text = SysAllocString(u"56");
    Variant byText;
    byText.vt = VT_BYREF | VT_BSTR;
    byText.pbstrVal = &text;
    ASSERT_EQ(Change(byText, VT_BSTR, &out), S_OK);
    EXPECT_NE(out.bstrVal, text) << "a copy, not the referenced string";
    SysFreeString(text);

    Variant dangling;
    dangling.vt = VT_BYREF | VT_I4;
    dangling.plVal = nullptr;
    EXPECT_EQ(Change(dangling, VT_I4, &out), E_INVALIDARG);
}

TEST(VariantChangeType, InPlaceChangeReplacesTheValue) {
    Variant v = Text("17");
    ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_I4), S_OK);
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, 17);
    ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_BSTR), S_OK);
    EXPECT_EQ(velmora::com::ToUtf8(v.bstrVal), "17");
}

TEST(VariantChangeType, ObjectsAndArraysDoNotBecomeScalars) {
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
