// Identifiers as text, both ways, and texts that are not identifiers.
#include <velmora/ComSupport.h>

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

using velmora::com::GuidFromString;
using velmora::com::GuidToString;

constexpr GUID kBug = {
    0x64603919, 0xE8CF, 0x4231, {0xAE, 0xE1, 0x04, 0x19, 0xE3, 0xEF, 0x43, 0x8A}};
constexpr const char* kBugText = "{64603919-E8CF-4231-AEE1-0419E3EF438A}";

TEST(GuidText, WritesBracedUpperCaseAndReadsEitherCase) {
    EXPECT_EQ(GuidToString(kBug), kBugText);
    EXPECT_EQ(GuidToString(IID_IDispatch), "{00020400-0000-0000-C000-000000000046}");
    GUID guid{};
    ASSERT_TRUE(GuidFromString("{64603919-e8cf-4231-aee1-0419e3ef438a}", &guid));
    EXPECT_EQ(guid, kBug);
}

TEST(GuidText, RefusesMalformedTextAndLeavesTheResultAlone) {
    const char* bad[] = {
        "",
        "64603919-E8CF-4231-AEE1-0419E3EF438A",    // no braces
        "{64603919-E8CF-4231-AEE1-0419E3EF438A} ", // trailing space
        "{64603919-E8CF-4231-AEE1-0419E3EF438G}",  // not hex
        "{64603919E-8CF-4231-AEE1-0419E3EF438A}",  // hyphen misplaced
        "{+4603919-E8CF-4231-AEE1-0419E3EF438A}",  // sign accepted by number parsers
    };
    for (const char* text : bad) {
        GUID guid = kBug;
        EXPECT_FALSE(GuidFromString(text, &guid)) << text;
        EXPECT_EQ(guid, kBug) << "left unchanged: " << text;
    }
    EXPECT_FALSE(GuidFromString(kBugText, nullptr));

    IID iid{};
    EXPECT_EQ(IIDFromString(u"{00020400-0000-0000-C000-\u00e900000000046}", &iid),
              CO_E_CLASSSTRING);
    EXPECT_EQ(IIDFromString(nullptr, &iid), S_OK);
    EXPECT_EQ(iid, IID_NULL);
    EXPECT_EQ(IIDFromString(u"{}", nullptr), E_INVALIDARG);
}

TEST(GuidText, StringFromGuid2NeedsRoomForTheTerminator) {
    OLECHAR buffer[39];
    EXPECT_EQ(StringFromGUID2(kBug, buffer, 39), 39);
    EXPECT_EQ(velmora::com::ToUtf8(buffer, 38), kBugText);
    EXPECT_EQ(buffer[38], 0);

    OLECHAR small[38] = {u'x'};
    EXPECT_EQ(StringFromGUID2(kBug, small, 38), 0);
    EXPECT_EQ(small[0], u'x');
    EXPECT_EQ(StringFromGUID2(kBug, nullptr, 39), 0);
}

TEST(GuidText, ClsidFromStringAcceptsABracedIdentifierOrARegisteredProgID) {
    velmora::test::ScopedRegistryFile registryFile;
    ASSERT_EQ(velmora::com::registry::Update([](auto& reg) {
                  reg.SetValue("HKEY_CLASSES_ROOT\\Velmora.Bug.1\\CLSID", "", kBugText);
              }),
              S_OK);
    for (const char16_t* text : {u"{64603919-E8CF-4231-AEE1-0419E3EF438A}", u"Velmora.Bug.1"}) {
        CLSID clsid{};
        EXPECT_EQ(CLSIDFromString(text, &clsid), S_OK);
        EXPECT_EQ(clsid, kBug);
    }
    CLSID clsid{};
    for (const char16_t* text : {u"{64603919-E8CF}", u"Velmora.Nothing", u""})
        EXPECT_EQ(CLSIDFromString(text, &clsid), CO_E_CLASSSTRING);
}

} // namespace
