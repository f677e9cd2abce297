// UTF-8 <-> UTF-16 conversions, including characters outside the basic plane and broken input.
#include <velmora/ComSupport.h>

#include <gtest/gtest.h>

namespace {

using velmora::com::AllocBstr;
using velmora::com::ToUtf16;
using velmora::com::ToUtf8;

std::string Utf8Of(const std::u16string& text) {
    return ToUtf8(text.data(), text.size());
}

TEST(TextConversion, RoundTripsEveryPlane) {
    const std::string text = "A \u00e9 \u20ac \U0001F600 \U0010FFFF";
    const std::u16string wide = ToUtf16(text);
    EXPECT_EQ(wide, u"A \u00e9 \u20ac \U0001F600 \U0010FFFF");
    EXPECT_EQ(Utf8Of(wide), text);
}

TEST(TextConversion, CharactersAboveTheBasicPlaneBecomeSurrogatePairs) {
    const std::u16string wide = ToUtf16("\U0001F600");
    ASSERT_EQ(wide.size(), 2u);
    EXPECT_EQ(wide[0], 0xD83D);
    EXPECT_EQ(wide[1], 0xDE00);
}

TEST(TextConversion, LoneSurrogatesBecomeReplacementCharacters) {
    EXPECT_EQ(Utf8Of(std::u16string(1, char16_t(0xD800))), "\uFFFD");
    EXPECT_EQ(Utf8Of(std::u16string(1, char16_t(0xDC00))), "\uFFFD");
    // A high surrogate followed by something other than a low one.
    const std::u16string broken = {char16_t(0xD83D), u'x', char16_t(0xDE00)};
    EXPECT_EQ(Utf8Of(broken), "\uFFFDx\uFFFD");
}

TEST(TextConversion, InvalidUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(ToUtf16("a\xFF"
                      "b"),
              u"a\uFFFDb");
    EXPECT_EQ(ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");                     // overlong '/'
    EXPECT_EQ(ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");           // encoded surrogate
    EXPECT_EQ(ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD"); // above U+10FFFF
    EXPECT_EQ(ToUtf16("\xE2\x82"), u"\uFFFD"); // truncated, one replacement
    EXPECT_EQ(ToUtf16("\xE2\x82x"), u"\uFFFDx");
}

TEST(TextConversion, EmbeddedZerosSurvive) {
    const std::string text("a\0b", 3);
    EXPECT_EQ(ToUtf16(text), std::u16string(u"a\0b", 3));
    EXPECT_EQ(Utf8Of(std::u16string(u"a\0b", 3)), text);
}

TEST(TextConversion, AllocBstrNeverGivesNull) {
    BSTR empty = AllocBstr("");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SysStringLen(empty), 0u);
    SysFreeString(empty);

    BSTR text = AllocBstr("\U0001F600!");
    EXPECT_EQ(SysStringLen(text), 3u);
    EXPECT_EQ(ToUtf8(text), "\U0001F600!");
    SysFreeString(text);
}

TEST(TextConversion, NullPointerIsEmpty) {
    EXPECT_EQ(ToUtf8(nullptr, 5), "");
}

} // namespace
