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

Block EcbUnderPasswordKey(const Block& plain) {
    const uint8_t key[] = {'k', '7', '#', 'R', 'w', '2', 'L', 'q'};
    Block out{};
    BlowfishCipher(key, sizeof key).Encrypt(plain.data(), out.data(), out.size(), kModeEcb);
    return out;
}

TEST(PasswordBlock, EmptyPasswordIsTheEncipheredZeroBlock) {
    const Block stored = EncipherPassword("");
    EXPECT_EQ(stored, EcbUnderPasswordKey(Block{}));
    EXPECT_EQ(DecipherPassword(stored.data(), stored.size()), "");
}

TEST(PasswordBlock, StoredFormIsThePaddedTextUnderTheFixedKey) {
    Block plain{};
    std::copy_n("abc", 3, plain.begin());
    EXPECT_EQ(EncipherPassword("abc"), EcbUnderPasswordKey(plain));
}

TEST(PasswordBlock, RoundTripsTextIncludingMultiByteCharacters) {
    for (const std::string password : {"abc", "Pass word!", "pässwörd-密码", "A"}) {
        const Block stored = EncipherPassword(password);
        EXPECT_EQ(DecipherPassword(stored.data(), stored.size()), password);
    }
}

TEST(PasswordBlock, EveryBlockDiffersFromThePlainBuffer) {
    Block plain{};
    std::copy_n("abc", 3, plain.begin());
    const Block stored = EncipherPassword("abc");
    for (size_t pos = 0; pos < stored.size(); pos += 8) {
        SCOPED_TRACE(pos);
        EXPECT_FALSE(
            std::equal(stored.begin() + pos, stored.begin() + pos + 8, plain.begin() + pos));
    }
}

TEST(PasswordBlock, SixtyThreeBytesFitSixtyFourDoNot) {
    const std::string longest(kMaxPasswordBytes, 'x');
    const std::string tooLong(kMaxPasswordBytes + 1, 'x');
    EXPECT_EQ(kMaxPasswordBytes, 63u);
    EXPECT_TRUE(PasswordFits(longest));
    EXPECT_FALSE(PasswordFits(tooLong));

    const Block stored = EncipherPassword(longest);
    EXPECT_EQ(DecipherPassword(stored.data(), stored.size()), longest);

    try {
        EncipherPassword(tooLong);
        FAIL() << "a 64-byte password was accepted";
    } catch (const std::length_error& e) {
        EXPECT_STREQ(e.what(), kPasswordTooLongMessage);
    }
    EXPECT_STREQ(kPasswordTooLongMessage,
                 "The password is too long: it may hold at most 63 bytes.");
}

TEST(PasswordDecipher, NoDataIsTheEmptyPassword) {
    EXPECT_EQ(DecipherPassword(nullptr, 64), "");
    const Block stored = EncipherPassword("abc");
    EXPECT_EQ(DecipherPassword(stored.data(), 0), "");
}

TEST(PasswordDecipher, BytesBeyondTheBlockAreIgnored) {
    const Block stored = EncipherPassword("secret");
    std::vector<uint8_t> longer(stored.begin(), stored.end());
    longer.resize(100, 0xEE);
    EXPECT_EQ(DecipherPassword(longer.data(), longer.size()), "secret");
}

TEST(PasswordDecipher, ShortOrGarbageDataGivesBoundedTextWithoutCrashing) {
    const Block stored = EncipherPassword("secret");
    // A cut block still reads its whole 8-byte blocks; a partial first block is garbage, not
    // the empty password.
    for (size_t size : {size_t{1}, size_t{7}}) {
        SCOPED_TRACE(size);
        const std::string text = DecipherPassword(stored.data(), size);
        EXPECT_NE(text, "secret");
        EXPECT_NE(text, "");
    }
    EXPECT_EQ(DecipherPassword(stored.data(), 8), "secret");
    EXPECT_EQ(DecipherPassword(stored.data(), 63), "secret");

    Block garbage;
    for (size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<uint8_t>(i * 37 + 11);
    const std::string text = DecipherPassword(garbage.data(), garbage.size());
    EXPECT_LE(text.size(), kPasswordBlockSize);
    EXPECT_EQ(text.find('\0'), std::string::npos);
}

} // namespace
} // namespace velmora::crypto
