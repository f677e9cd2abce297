// One-dimensional arrays: creation, bounds, access locking, copies and destruction.
#include <velmora/ComSupport.h>

#include <gtest/gtest.h>

#include <limits>

#include "TestSupport.h"

namespace {

using velmora::test::CountedObject;

TEST(SafeArray, TypesThatCannotBeStoredAreRefused) {
    for (VARTYPE vt : {VARTYPE(VT_EMPTY), VARTYPE(VT_NULL), VARTYPE(VT_BYREF | VT_I4)})
        EXPECT_EQ(SafeArrayCreateVector(vt, 0, 1), nullptr) << vt;
}

TEST(SafeArray, BoundsOfTheOnlyDimensionAndBoundsThatDoNotFit) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_I4, 5, 3);
    LONG lower = 0, upper = 0;
    EXPECT_EQ(SafeArrayGetLBound(array, 1, &lower), S_OK);
    EXPECT_EQ(SafeArrayGetUBound(array, 1, &upper), S_OK);
    EXPECT_EQ(lower, 5);
    EXPECT_EQ(upper, 7);
    EXPECT_EQ(SafeArrayGetLBound(array, 2, &lower), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayGetUBound(array, 1, nullptr), E_INVALIDARG);
    SafeArrayDestroy(array);

    SAFEARRAY* empty = SafeArrayCreateVector(VT_I4, 0, 0);
    EXPECT_EQ(SafeArrayGetUBound(empty, 1, &upper), S_OK);
    EXPECT_EQ(upper, -1);
    SafeArrayDestroy(empty);

    const LONG max = std::numeric_limits<LONG>::max();
    EXPECT_EQ(SafeArrayCreateVector(VT_UI1, max, 2), nullptr);
    SAFEARRAY* last = SafeArrayCreateVector(VT_UI1, max, 1);
    ASSERT_NE(last, nullptr);
    SafeArrayDestroy(last);
}

TEST(SafeArray, AccessCountsLocksAndDestroyRefusesWhileLocked) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_I4, 0, 4);
    LONG* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(array, reinterpret_cast<void**>(&data)), S_OK);
    ASSERT_EQ(SafeArrayAccessData(array, reinterpret_cast<void**>(&data)), S_OK);
    EXPECT_EQ(data[0], 0) << "elements start zeroed";
    data[3] = 99;

    EXPECT_EQ(SafeArrayDestroy(array), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(SafeArrayUnaccessData(array), S_OK);
    EXPECT_EQ(SafeArrayDestroy(array), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(SafeArrayUnaccessData(array), S_OK);
    EXPECT_EQ(SafeArrayUnaccessData(array), E_UNEXPECTED);
    EXPECT_EQ(static_cast<LONG*>(array->pvData)[3], 99);
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

// Under the address sanitizer, a text the copy shares or a destroy leaves behind shows up.
TEST(SafeArray, CopyIsDeepAndDestroyFreesTexts) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 1, 2);
    auto* items = static_cast<VARIANT*>(array->pvData);
    items[0].vt = VT_BSTR;
    items[0].bstrVal = SysAllocString(u"text");

    SAFEARRAY* copy = nullptr;
    ASSERT_EQ(SafeArrayCopy(array, &copy), S_OK);
    LONG lower = 0;
    SafeArrayGetLBound(copy, 1, &lower);
    EXPECT_EQ(lower, 1);
    auto* copied = static_cast<VARIANT*>(copy->pvData);
    EXPECT_NE(copied[0].bstrVal, items[0].bstrVal);
    EXPECT_EQ(velmora::com::ToUtf8(copied[0].bstrVal), "text");
    EXPECT_EQ(copied[1].vt, VT_EMPTY);
    EXPECT_EQ(SafeArrayDestroy(copy), S_OK);
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);

    EXPECT_EQ(SafeArrayCopy(nullptr, &copy), S_OK);
    EXPECT_EQ(copy, nullptr);
}

TEST(SafeArray, InterfaceElementsAreCountedAndReleased) {
    CountedObject object;
    SAFEARRAY* array = SafeArrayCreateVector(VT_UNKNOWN, 0, 2);
    object.AddRef();
    static_cast<IUnknown**>(array->pvData)[1] = &object;

    SAFEARRAY* copy = nullptr;
    ASSERT_EQ(SafeArrayCopy(array, &copy), S_OK);
    EXPECT_EQ(object.References(), 3);
    EXPECT_EQ(SafeArrayDestroy(copy), S_OK);
    EXPECT_EQ(object.References(), 2);
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);
    EXPECT_EQ(object.References(), 1);
}

} // namespace
