// VARIANT lifetime: what Clear frees or releases and what Copy duplicates.
#include <velmora/ComSupport.h>

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

using velmora::com::ToUtf8;
using velmora::com::Variant;
using velmora::test::CountedObject;

Variant Text(BSTR text) {
    Variant v;
    v.vt = VT_BSTR;
    v.bstrVal = text;
    return v;
}

TEST(Variant, CopyDuplicatesTextsAndArraysAndClearFreesThem) {
    Variant source = Text(SysAllocStringLen(u"a\0b", 3));
    Variant copy;
    ASSERT_EQ(VariantCopy(&copy, &source), S_OK);
    EXPECT_NE(copy.bstrVal, source.bstrVal);
    EXPECT_EQ(VariantClear(&source), S_OK);
    EXPECT_EQ(source.vt, VT_EMPTY);
    EXPECT_EQ(ToUtf8(copy.bstrVal), std::string("a\0b", 3)); // the copy is independent

    source = Text(nullptr);
    ASSERT_EQ(VariantCopy(&copy, &source), S_OK);
    EXPECT_EQ(copy.vt, VT_BSTR);
    EXPECT_EQ(copy.bstrVal, nullptr);

    SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, 2);
    static_cast<BSTR*>(array->pvData)[0] = SysAllocString(u"one");
    source.vt = VT_ARRAY | VT_BSTR;
    source.parray = array;
    ASSERT_EQ(VariantCopy(&copy, &source), S_OK);
    ASSERT_NE(copy.parray, array);
    BSTR* copied = static_cast<BSTR*>(copy.parray->pvData);
    EXPECT_NE(copied[0], static_cast<BSTR*>(array->pvData)[0]);
    EXPECT_EQ(ToUtf8(copied[0]), "one");
}

TEST(Variant, InterfacesAreCountedAndTheDestinationsOldValueIsReleased) {
    CountedObject object;
    Variant source, copy;
    source.vt = VT_UNKNOWN;
    source.punkVal = &object;
    object.AddRef();
    ASSERT_EQ(VariantCopy(&copy, &source), S_OK);
    EXPECT_EQ(copy.punkVal, &object);
    EXPECT_EQ(object.References(), 3);
    EXPECT_EQ(VariantCopy(&copy, &copy), S_OK); // a copy of itself changes nothing
    EXPECT_EQ(object.References(), 3);

    const Variant number(7);
    ASSERT_EQ(VariantCopy(&copy, &number), S_OK);
    EXPECT_EQ(copy.lVal, 7);
    EXPECT_EQ(object.References(), 2);
    VariantClear(&source);
    EXPECT_EQ(object.References(), 1);
}

TEST(Variant, ReferencesAreNotOwned) {
    LONG target = 5;
    Variant v, copy;
    v.vt = VT_BYREF | VT_I4;
    v.plVal = &target;
    ASSERT_EQ(VariantCopy(&copy, &v), S_OK);
    EXPECT_EQ(copy.plVal, &target);
    EXPECT_EQ(VariantClear(&copy), S_OK);
    EXPECT_EQ(VariantClear(&v), S_OK);
    EXPECT_EQ(target, 5);
}

TEST(Variant, UnknownTypesAndLockedArraysAreRefused) {
    VARIANT bad;
    VariantInit(&bad);
    bad.vt = 0x0FFF;
    Variant copy;
    EXPECT_EQ(VariantCopy(&copy, &bad), DISP_E_BADVARTYPE);
    EXPECT_EQ(VariantClear(&bad), DISP_E_BADVARTYPE);
    bad.vt = VT_VARIANT; // only valid by reference
    EXPECT_EQ(VariantClear(&bad), DISP_E_BADVARTYPE);
    EXPECT_EQ(VariantClear(nullptr), E_INVALIDARG);

    Variant v;
    v.vt = VT_ARRAY | VT_I4;
    v.parray = SafeArrayCreateVector(VT_I4, 0, 1);
    void* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(v.parray, &data), S_OK);
    EXPECT_EQ(VariantClear(&v), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(v.vt, VT_ARRAY | VT_I4);
    SafeArrayUnaccessData(v.parray);
}

} // namespace
