// Counted strings: the length prefix, embedded zeros, the null string and the owner class.
#include <velmora/ComSupport.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

using velmora::com::Bstr;

uint32_t StoredByteLength(BSTR text) {
    uint32_t length;
    std::memcpy(&length, reinterpret_cast<const char*>(text) - sizeof length, sizeof length);
    return length;
}

TEST(Bstr, KeepsByteLengthBeforeTheCharactersAndATerminatorAfter) {
    BSTR text = SysAllocString(u"abc");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(StoredByteLength(text), 6u);
    EXPECT_EQ(SysStringLen(text), 3u);
    EXPECT_EQ(SysStringByteLen(text), 6u);
    EXPECT_EQ(text[3], u'\0');
    SysFreeString(text);
}

TEST(Bstr, EmbeddedZerosCountInTheLength) {
    const OLECHAR content[] = {u'a', 0, u'b', 0, 0};
    BSTR text = SysAllocStringLen(content, 4);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 4u);
    EXPECT_EQ(text[2], u'b');
    EXPECT_EQ(velmora::com::ToUtf8(text), std::string("a\0b\0", 4));
    SysFreeString(text);
}

TEST(Bstr, AllocatingWithoutSourceGivesZeroedCharacters) {
    BSTR text = SysAllocStringLen(nullptr, 5);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 5u);
    for (int i = 0; i <= 5; ++i)
        EXPECT_EQ(text[i], 0);
    SysFreeString(text);
}

TEST(Bstr, ByteLengthMayBeOdd) {
    BSTR text = SysAllocStringByteLen("xyz", 3);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringByteLen(text), 3u);
    EXPECT_EQ(SysStringLen(text), 1u);
    EXPECT_EQ(std::memcmp(text, "xyz", 3), 0);
    SysFreeString(text);
}

TEST(Bstr, NullIsTheEmptyText) {
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(SysStringByteLen(nullptr), 0u);
    SysFreeString(nullptr);
    EXPECT_EQ(velmora::com::ToUtf8(BSTR(nullptr)), "");

    BSTR empty = SysAllocString(u"");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SysStringLen(empty), 0u);
    SysFreeString(empty);
}

TEST(Bstr, RefusesLengthsBeyondThePrefix) {
    EXPECT_EQ(SysAllocStringLen(nullptr, 0x80000000u), nullptr);
    EXPECT_EQ(SysAllocStringByteLen(nullptr, 0xFFFFFFFFu), nullptr);
}

TEST(Bstr, OwnerCopiesIntoANewString) {
    Bstr original("Grüße");
    EXPECT_EQ(original.Length(), 5u);
    Bstr copy = original;
    EXPECT_NE(copy.Get(), original.Get());
    EXPECT_EQ(copy.Utf8(), "Grüße");
    Bstr empty;
    Bstr emptyCopy = empty;
    EXPECT_EQ(emptyCopy.Get(), nullptr);
}

} // namespace
