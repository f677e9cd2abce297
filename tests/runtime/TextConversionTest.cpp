// UTF-8 <-> UTF-16 conversions, including characters outside the basic plane and broken input.
#include <velmora/ComSupport.h>

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;
using velmora::com::ToUtf16;
using velmora::com::ToUtf8;

std::string Utf8Of(const std::u16string& text) {
    return ToUtf8(text.data(), text.size());
}

TEST(TextConversion, RoundTripsEveryPlaneAndEmbeddedZeros) {
    const std::string text = "A \u00e9 \u20ac \U0001F600 \U0010FFFF \0 end"s;
    const std::u16string wide = ToUtf16(text);
    EXPECT_EQ(wide, u"A \u00e9 \u20ac \U0001F600 \U0010FFFF \0 end"s);
    EXPECT_EQ(wide.substr(6, 2), (std::u16string{char16_t(0xD83D), char16_t(0xDE00)}));
    EXPECT_EQ(Utf8Of(wide), text);
    EXPECT_EQ(ToUtf8(nullptr, 5), "");
}

TEST(TextConversion, BrokenInputBecomesReplacementCharacters) {
    EXPECT_EQ(Utf8Of(std::u16string(1, char16_t(0xDC00))), "\uFFFD");
    // A high surrogate followed by something other than a low one.
    const std::u16string broken = {char16_t(0xD83D), u'x', char16_t(0xDE00)};
    EXPECT_EQ(Utf8Of(broken), "\uFFFDx\uFFFD");

    EXPECT_EQ(ToUtf16("a\xFF"
                      "b"),
              u"a\uFFFDb");
    EXPECT_EQ(ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");                     // overlong '/'
    EXPECT_EQ(ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");           // encoded surrogate
    EXPECT_EQ(ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD"); // above U+10FFFF
    EXPECT_EQ(ToUtf16("\xE2\x82x"), u"\uFFFDx"); // truncated, one replacement
}

} // namespace
