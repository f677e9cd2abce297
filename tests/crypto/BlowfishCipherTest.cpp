// Argument rules and mode behaviour of the cipher beyond the published vectors.
#include "common/crypto/BlowfishCipher.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace velmora::crypto {
namespace {

const int kAllModes[] = {kModeEcb, kModeCbc, kModeCfb};

std::vector<uint8_t> Sequence(size_t size, uint8_t first = 0) {
    std::vector<uint8_t> bytes(size);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

// Runs f and returns the text of the BlowfishError it raises ("" when none is raised).
template <typename F> std::string ErrorText(F&& f) {
    try {
        f();
    } catch (const BlowfishError& e) {
        return e.what();
    }
    return {};
}

TEST(BlowfishKeyLength, MissingKeyIsRefusedAndBytesBeyondTheFiftySixthAreIgnored) {
    const uint8_t one[1] = {1};
    EXPECT_EQ(ErrorText([&] { BlowfishCipher(one, 0); }), "Incorrect key length");
    EXPECT_EQ(ErrorText([&] { BlowfishCipher(nullptr, 8); }), "Incorrect key length");

    const auto key = Sequence(72, 1);
    const auto plain = Sequence(8);
    std::vector<uint8_t> whole(8), first56(8), first55(8);
    BlowfishCipher(key.data(), 72).Encrypt(plain.data(), whole.data(), 8);
    BlowfishCipher(key.data(), 56).Encrypt(plain.data(), first56.data(), 8);
    BlowfishCipher(key.data(), 55).Encrypt(plain.data(), first55.data(), 8);
    EXPECT_EQ(whole, first56);
    EXPECT_NE(first56, first55);
}

TEST(BlowfishArguments, BadLengthsBuffersAndModesAreRefusedAndNothingIsWritten) {
    const uint8_t key[] = {'k', 'e', 'y'};
    const BlowfishCipher cipher(key, sizeof key);
    const auto in = Sequence(24);
    const std::vector<uint8_t> untouched(24, 0xAB);
    for (int mode : kAllModes) {
        SCOPED_TRACE(mode);
        for (size_t length : {size_t{0}, size_t{1}, size_t{7}, size_t{9}, size_t{23}}) {
            SCOPED_TRACE(length);
            auto out = untouched;
            EXPECT_EQ(ErrorText([&] { cipher.Encrypt(in.data(), out.data(), length, mode); }),
                      "Incorrect buffer length");
            EXPECT_EQ(ErrorText([&] { cipher.Decrypt(in.data(), out.data(), length, mode); }),
                      "Incorrect buffer length");
            EXPECT_EQ(out, untouched);
        }
        auto out = untouched;
        EXPECT_EQ(ErrorText([&] { cipher.Encrypt(nullptr, out.data(), 8, mode); }),
                  "Incorrect buffer length");
        EXPECT_EQ(ErrorText([&] { cipher.Decrypt(in.data(), nullptr, 8, mode); }),
                  "Incorrect buffer length");
    }
    auto out = untouched;
    EXPECT_EQ(ErrorText([&] { cipher.Encrypt(in.data(), out.data(), 8, 3); }), "Incorrect mode");
    EXPECT_EQ(ErrorText([&] { cipher.Decrypt(in.data(), out.data(), 8, -1); }), "Incorrect mode");
    EXPECT_EQ(out, untouched);
}

// Round trips separately and in place; every call starts from the initial chain block (zeros when
// none is given), so repeating a call repeats its result.
TEST(BlowfishRoundTrip, DecipherRestoresThePlainTextInEveryModeAndInPlace) {
    const auto key = Sequence(16, 0x40);
    const auto chain = Sequence(8, 0x90);
    const BlowfishCipher cipher(key.data(), key.size(), chain.data());
    const auto plain = Sequence(40, 7);
    for (int mode : kAllModes) {
        SCOPED_TRACE(mode);
        std::vector<uint8_t> enciphered(40), again(40), back(40);
        cipher.Encrypt(plain.data(), enciphered.data(), 40, mode);
        EXPECT_NE(enciphered, plain);
        cipher.Encrypt(plain.data(), again.data(), 40, mode);
        EXPECT_EQ(again, enciphered);
        cipher.Decrypt(enciphered.data(), back.data(), 40, mode);
        EXPECT_EQ(back, plain);

        auto buffer = plain;
        cipher.Encrypt(buffer.data(), buffer.data(), 40, mode);
        EXPECT_EQ(buffer, enciphered);
        cipher.Decrypt(buffer.data(), buffer.data(), 40, mode);
        EXPECT_EQ(buffer, plain);

        // A missing chain block is all zeros.
        const uint8_t zeroChain[8] = {};
        std::vector<uint8_t> implicit(40), explicitZero(40);
        BlowfishCipher(key.data(), key.size()).Encrypt(plain.data(), implicit.data(), 40, mode);
        BlowfishCipher(key.data(), key.size(), zeroChain)
            .Encrypt(plain.data(), explicitZero.data(), 40, mode);
        EXPECT_EQ(implicit, explicitZero);
    }
}

} // namespace
} // namespace velmora::crypto
