// One-dimensional arrays: creation, bounds, access locking, copies and destruction.
#include <velmora/ComSupport.h>

#include <gtest/gtest.h>

#include <limits>

#include "TestSupport.h"

namespace {

using velmora::test::CountedObject;

TEST(SafeArray, ElementSizesFollowTheType) {
    const struct {
        VARTYPE vt;
        ULONG size;
    } cases[] = {{VT_I1, 1},
                 {VT_UI1, 1},
                 {VT_I2, 2},
                 {VT_BOOL, 2},
                 {VT_I4, 4},
                 {VT_R8, 8},
                 {VT_DATE, 8},
                 {VT_BSTR, sizeof(BSTR)},
                 {VT_VARIANT, sizeof(VARIANT)},
                 {VT_UNKNOWN, sizeof(void*)},
                 {VT_DISPATCH, sizeof(void*)}};
    for (const auto& c : cases) {
        SAFEARRAY* array = SafeArrayCreateVector(c.vt, 0, 3);
        ASSERT_NE(array, nullptr) << c.vt;
        EXPECT_EQ(array->cbElements, c.size) << c.vt;
        VARTYPE vt = VT_EMPTY;
        EXPECT_EQ(SafeArrayGetVartype(array, &vt), S_OK);
        EXPECT_EQ(vt, c.vt);
        EXPECT_EQ(SafeArrayDestroy(array), S_OK);
    }
    EXPECT_EQ(SafeArrayCreateVector(VT_EMPTY, 0, 1), nullptr);
    EXPECT_EQ(SafeArrayCreateVector(VT_NULL, 0, 1), nullptr);
    EXPECT_EQ(SafeArrayCreateVector(VT_BYREF | VT_I4, 0, 1), nullptr);
}

TEST(SafeArray, BoundsOfTheOnlyDimension) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_I4, 5, 3);
    LONG lower = 0, upper = 0;
    EXPECT_EQ(SafeArrayGetLBound(array, 1, &lower), S_OK);
    EXPECT_EQ(SafeArrayGetUBound(array, 1, &upper), S_OK);
    EXPECT_EQ(lower, 5);
    EXPECT_EQ(upper, 7);
    EXPECT_EQ(SafeArrayGetLBound(array, 0, &lower), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayGetUBound(array, 2, &upper), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayGetLBound(nullptr, 1, &lower), E_INVALIDARG);
    EXPECT_EQ(SafeArrayGetUBound(array, 1, nullptr), E_INVALIDARG);
    SafeArrayDestroy(array);

    SAFEARRAY* empty = SafeArrayCreateVector(VT_I4, 0, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SafeArrayGetUBound(empty, 1, &upper), S_OK);
    EXPECT_EQ(upper, -1);
    SafeArrayDestroy(empty);
}

TEST(SafeArray, RefusesBoundsThatDoNotFit) {
    const LONG max = std::numeric_limits<LONG>::max();
    EXPECT_EQ(SafeArrayCreateVector(VT_UI1, max, 2), nullptr);
    EXPECT_EQ(SafeArrayCreateVector(VT_UI1, std::numeric_limits<LONG>::min(), 0), nullptr);
    SAFEARRAY* last = SafeArrayCreateVector(VT_UI1, max, 1);
    ASSERT_NE(last, nullptr);
    SafeArrayDestroy(last);
}

TEST(SafeArray, AccessCountsLocksAndDestroyRefusesWhileLocked) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_I4, 0, 4);
    LONG* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(array, reinterpret_cast<void**>(&data)), S_OK);
    ASSERT_EQ(SafeArrayAccessData(array, reinterpret_cast<void**>(&data)), S_OK);
    EXPECT_EQ(array->cLocks, 2u);
    for (LONG i = 0; i < 4; ++i)
        EXPECT_EQ(data[i], 0) << "elements start zeroed";
    data[3] = 99;

    EXPECT_EQ(SafeArrayDestroy(array), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(SafeArrayUnaccessData(array), S_OK);
    EXPECT_EQ(SafeArrayDestroy(array), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(SafeArrayUnaccessData(array), S_OK);
    EXPECT_EQ(SafeArrayUnaccessData(array), E_UNEXPECTED);
    EXPECT_EQ(static_cast<LONG*>(array->pvData)[3], 99);
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);

    EXPECT_EQ(SafeArrayAccessData(nullptr, reinterpret_cast<void**>(&data)), E_INVALIDARG);
    EXPECT_EQ(SafeArrayDestroy(nullptr), S_OK);
}

TEST(SafeArray, CopyIsDeepAndUnlocked) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 1, 3);
    VARIANT* items = nullptr;
    ASSERT_EQ(SafeArrayAccessData(array, reinterpret_cast<void**>(&items)), S_OK);
    items[0].vt = VT_BSTR;
    items[0].bstrVal = SysAllocString(u"text");
    items[1].vt = VT_I4;
    items[1].lVal = 5;

    SAFEARRAY* copy = nullptr;
    ASSERT_EQ(SafeArrayCopy(array, &copy), S_OK);
    SafeArrayUnaccessData(array);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->cLocks, 0u);
    LONG lower = 0;
    SafeArrayGetLBound(copy, 1, &lower);
    EXPECT_EQ(lower, 1);
    auto* copied = static_cast<VARIANT*>(copy->pvData);
    EXPECT_NE(copied[0].bstrVal, items[0].bstrVal);
    EXPECT_EQ(velmora::com::ToUtf8(copied[0].bstrVal), "text");
    EXPECT_EQ(copied[1].lVal, 5);
    EXPECT_EQ(copied[2].vt, VT_EMPTY);
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);
    EXPECT_EQ(SafeArrayDestroy(copy), S_OK);

    EXPECT_EQ(SafeArrayCopy(nullptr, &copy), S_OK);
    EXPECT_EQ(copy, nullptr);
    EXPECT_EQ(SafeArrayCopy(nullptr, nullptr), E_INVALIDARG);
}

TEST(SafeArray, InterfaceElementsAreCountedAndReleased) {
    CountedObject object;
    SAFEARRAY* array = SafeArrayCreateVector(VT_UNKNOWN, 0, 2);
    IUnknown** items = static_cast<IUnknown**>(array->pvData);
    object.AddRef();
    items[1] = &object;

    SAFEARRAY* copy = nullptr;
    ASSERT_EQ(SafeArrayCopy(array, &copy), S_OK);
    EXPECT_EQ(object.References(), 3);
    EXPECT_EQ(SafeArrayDestroy(copy), S_OK);
    EXPECT_EQ(object.References(), 2);
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);
    EXPECT_EQ(object.References(), 1);
}

TEST(SafeArray, DestroyFreesTextElements) {
    // Run under the address sanitizer this shows leaks as failures.
    SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, 3);
    BSTR* items = static_cast<BSTR*>(array->pvData);
    items[0] = SysAllocString(u"a");
    items[2] = SysAllocString(u"c");
    EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

} // namespace
