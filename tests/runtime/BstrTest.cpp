// Counted strings: the length prefix, embedded zeros, the null string and the owner class.
#include <velmora/ComSupport.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

using velmora::com::Bstr;

TEST(Bstr, KeepsByteLengthBeforeTheCharactersAndATerminatorAfter) {
    const OLECHAR content[] = {u'a', 0, u'b', 0, 0};
    BSTR text = SysAllocStringLen(content, 4);
    ASSERT_NE(text, nullptr);
    uint32_t stored = 0;
    std::memcpy(&stored, reinterpret_cast<const char*>(text) - sizeof stored, sizeof stored);
    EXPECT_EQ(stored, 8u);
    EXPECT_EQ(SysStringLen(text), 4u);
    EXPECT_EQ(text[4], u'\0');
    EXPECT_EQ(velmora::com::ToUtf8(text), std::string("a\0b\0", 4));
    SysFreeString(text);

    text = SysAllocStringLen(nullptr, 5); // no source: zeroed characters
    ASSERT_NE(text, nullptr);
    for (int i = 0; i <= 5; ++i)
        EXPECT_EQ(text[i], 0);
    SysFreeString(text);

    text = SysAllocStringByteLen("xyz", 3); // the byte length may be odd
    EXPECT_EQ(SysStringByteLen(text), 3u);
    EXPECT_EQ(SysStringLen(text), 1u);
    EXPECT_EQ(std::memcmp(text, "xyz", 3), 0);
    SysFreeString(text);
}

TEST(Bstr, NullIsTheEmptyTextAndOversizedLengthsAreRefused) {
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
    EXPECT_EQ(velmora::com::ToUtf8(BSTR(nullptr)), "");
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
