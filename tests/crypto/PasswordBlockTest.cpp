// The stored password form: what the user table holds and how it reads back.
#include "common/crypto/PasswordBlock.h"
#include "common/crypto/BlowfishCipher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace velmora::crypto {
namespace {

using Block = std::array<uint8_t, kPasswordBlockSize>;

// The zero-padded text enciphered in ECB under the fixed password key.
Block ExpectedStoredForm(const std::string& text) {
    Block plain{};
    std::copy(text.begin(), text.end(), plain.begin());
    const uint8_t key[] = {'k', '7', '#', 'R', 'w', '2', 'L', 'q'};
    Block out{};
    BlowfishCipher(key, sizeof key).Encrypt(plain.data(), out.data(), out.size(), kModeEcb);
    return out;
}

TEST(PasswordBlock, StoredFormIsThePaddedTextUnderTheFixedKeyAndRoundTrips) {
    for (const std::string password : {"", "abc", "Pass word!", "pässwörd-密码"}) {
        SCOPED_TRACE(password);
        const Block stored = EncipherPassword(password);
        EXPECT_EQ(stored, ExpectedStoredForm(password));
        EXPECT_EQ(DecipherPassword(stored.data(), stored.size()), password);
    }
}

TEST(PasswordBlock, SixtyThreeBytesFitSixtyFourAreRefused) {
    const std::string longest(63, 'x');
    const std::string tooLong(64, 'x');
    EXPECT_TRUE(PasswordFits(longest));
    EXPECT_FALSE(PasswordFits(tooLong));

    const Block stored = EncipherPassword(longest);
    EXPECT_EQ(DecipherPassword(stored.data(), stored.size()), longest);

    try {
        EncipherPassword(tooLong);
        FAIL() << "a 64-byte password was accepted";
    } catch (const std::length_error& e) {
        EXPECT_STREQ(e.what(), "The password is too long: it may hold at most 63 bytes.");
    }
}

TEST(PasswordDecipher, MissingShortLongOrGarbageDataGivesBoundedTextWithoutCrashing) {
    const Block stored = EncipherPassword("secret");
    EXPECT_EQ(DecipherPassword(nullptr, 64), "");
    EXPECT_EQ(DecipherPassword(stored.data(), 0), "");

    // A cut block still reads its whole 8-byte blocks; a partial first block is garbage, not
    // the empty password. Bytes beyond the block are ignored.
    for (size_t size : {size_t{1}, size_t{7}}) {
        SCOPED_TRACE(size);
        const std::string text = DecipherPassword(stored.data(), size);
        EXPECT_NE(text, "secret");
        EXPECT_NE(text, "");
    }
    EXPECT_EQ(DecipherPassword(stored.data(), 8), "secret");
    std::vector<uint8_t> longer(stored.begin(), stored.end());
    longer.resize(100, 0xEE);
    EXPECT_EQ(DecipherPassword(longer.data(), longer.size()), "secret");

    Block garbage;
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<uint8_t>(i * 37 + 11);
    const std::string text = DecipherPassword(garbage.data(), garbage.size());
    EXPECT_LE(text.size(), kPasswordBlockSize);
    EXPECT_EQ(text.find('\0'), std::string::npos);
}

} // namespace
} // namespace velmora::crypto
