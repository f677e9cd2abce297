// VARIANT lifetime: what Clear frees or releases and what Copy duplicates.
#include <velmora/ComSupport.h>

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

using velmora::com::ToUtf8;
using velmora::test::CountedObject;

TEST(Variant, InitGivesEmpty) {
    VARIANT v;
    v.vt = VT_I4;
    VariantInit(&v);
    EXPECT_EQ(v.vt, VT_EMPTY);
}

TEST(Variant, CopyDuplicatesTextAndClearFreesIt) {
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = SysAllocStringLen(u"a\0b", 3);

    VARIANT copy;
    VariantInit(&copy);
    ASSERT_EQ(VariantCopy(&copy, &source), S_OK);
    EXPECT_EQ(copy.vt, VT_BSTR);
    EXPECT_NE(copy.bstrVal, source.bstrVal);
    EXPECT_EQ(SysStringLen(copy.bstrVal), 3u);
    EXPECT_EQ(ToUtf8(copy.bstrVal), std::string("a\0b", 3));

    EXPECT_EQ(VariantClear(&source), S_OK);
    EXPECT_EQ(source.vt, VT_EMPTY);
    EXPECT_EQ(ToUtf8(copy.bstrVal), std::string("a\0b", 3)); // the copy is independent
    EXPECT_EQ(VariantClear(&copy), S_OK);
}

TEST(Variant, NullTextCopiesAsNull) {
    VARIANT source, copy;
    VariantInit(&source);
    VariantInit(&copy);
    source.vt = VT_BSTR;
    source.bstrVal = nullptr;
    ASSERT_EQ(VariantCopy(&copy, &source), S_OK);
    EXPECT_EQ(copy.vt, VT_BSTR);
    EXPECT_EQ(copy.bstrVal, nullptr);
    EXPECT_EQ(VariantClear(&copy), S_OK);
}

TEST(Variant, InterfacesAreCountedNotCopied) {
    CountedObject object;
    VARIANT source, copy;
    VariantInit(&source);
    VariantInit(&copy);
    source.vt = VT_UNKNOWN;
    source.punkVal = &object;
    object.AddRef();
    ASSERT_EQ(object.References(), 2);

    ASSERT_EQ(VariantCopy(&copy, &source), S_OK);
    EXPECT_EQ(copy.punkVal, &object);
    EXPECT_EQ(object.References(), 3);
    VariantClear(&copy);
    EXPECT_EQ(object.References(), 2);
    VariantClear(&source);
    EXPECT_EQ(object.References(), 1);
}

TEST(Variant, CopyReleasesWhatTheDestinationHeld) {
    CountedObject old;
    VARIANT destination, source;
    VariantInit(&destination);
    destination.vt = VT_UNKNOWN;
    destination.punkVal = &old;
    old.AddRef();
    VariantInit(&source);
    source.vt = VT_I4;
    source.lVal = 7;
    ASSERT_EQ(VariantCopy(&destination, &source), S_OK);
    EXPECT_EQ(destination.vt, VT_I4);
    EXPECT_EQ(destination.lVal, 7);
    EXPECT_EQ(old.References(), 1);
}

TEST(Variant, CopyOfItselfChangesNothing) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(u"same");
    BSTR before = v.bstrVal;
    EXPECT_EQ(VariantCopy(&v, &v), S_OK);
    EXPECT_EQ(v.bstrVal, before);
    VariantClear(&v);
}

TEST(Variant, ArraysAreCopiedDeeply) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, 2);
    BSTR* items = nullptr;
    ASSERT_EQ(SafeArrayAccessData(array, reinterpret_cast<void**>(&items)), S_OK);
    items[0] = SysAllocString(u"one");
    SafeArrayUnaccessData(array);

    VARIANT source, copy;
    VariantInit(&source);
    VariantInit(&copy);
    source.vt = VT_ARRAY | VT_BSTR;
    source.parray = array;
    ASSERT_EQ(VariantCopy(&copy, &source), S_OK);
    ASSERT_NE(copy.parray, array);
    BSTR* copied = static_cast<BSTR*>(copy.parray->pvData);
    EXPECT_NE(copied[0], items[0]);
    EXPECT_EQ(ToUtf8(copied[0]), "one");
    EXPECT_EQ(copied[1], nullptr);
    EXPECT_EQ(VariantClear(&source), S_OK);
    EXPECT_EQ(VariantClear(&copy), S_OK);
}

TEST(Variant, ReferencesAreNotOwned) {
    LONG target = 5;
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BYREF | VT_I4;
    v.plVal = &target;
    VARIANT copy;
    VariantInit(&copy);
    ASSERT_EQ(VariantCopy(&copy, &v), S_OK);
    EXPECT_EQ(copy.plVal, &target);
    EXPECT_EQ(VariantClear(&copy), S_OK);
    EXPECT_EQ(VariantClear(&v), S_OK);
    EXPECT_EQ(target, 5);
}

TEST(Variant, UnknownTypesAreRefused) {
    VARIANT bad;
    VariantInit(&bad);
    bad.vt = 0x0FFF;
    VARIANT copy;
    VariantInit(&copy);
    EXPECT_EQ(VariantCopy(&copy, &bad), DISP_E_BADVARTYPE);
    EXPECT_EQ(VariantClear(&bad), DISP_E_BADVARTYPE);
    bad.vt = VT_VARIANT; // only valid by reference
    EXPECT_EQ(VariantClear(&bad), DISP_E_BADVARTYPE);
    EXPECT_EQ(VariantClear(nullptr), E_INVALIDARG);
    EXPECT_EQ(VariantCopy(nullptr, &copy), E_INVALIDARG);
}

TEST(Variant, ClearRefusesALockedArrayAndKeepsIt) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ARRAY | VT_I4;
    v.parray = SafeArrayCreateVector(VT_I4, 0, 1);
    void* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(v.parray, &data), S_OK);
    EXPECT_EQ(VariantClear(&v), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(v.vt, VT_ARRAY | VT_I4);
    SafeArrayUnaccessData(v.parray);
    EXPECT_EQ(VariantClear(&v), S_OK);
}

} // namespace
