// Argument rules and mode behaviour of the cipher beyond the published vectors.
#include "common/crypto/BlowfishCipher.h"
#include "HexBytes.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace velmora::crypto {
namespace {

using test::ToHex;

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

TEST(BlowfishKeyLength, ZeroOrMissingKeyIsRefused) {
    const uint8_t key[1] = {1};
    EXPECT_EQ(ErrorText([&] { BlowfishCipher(key, 0); }), "Incorrect key length");
    EXPECT_EQ(ErrorText([&] { BlowfishCipher(nullptr, 8); }), "Incorrect key length");
    EXPECT_THROW(BlowfishCipher(key, 0), std::runtime_error);
}

TEST(BlowfishKeyLength, BytesBeyondTheFiftySixthAreIgnored) {
    const auto key = Sequence(72, 1);
    const auto plain = Sequence(8);
    std::vector<uint8_t> whole(8), first56(8), first55(8);
    BlowfishCipher(key.data(), 72).Encrypt(plain.data(), whole.data(), 8);
    BlowfishCipher(key.data(), 56).Encrypt(plain.data(), first56.data(), 8);
    BlowfishCipher(key.data(), 55).Encrypt(plain.data(), first55.data(), 8);
    EXPECT_EQ(whole, first56);
    EXPECT_NE(first56, first55);
}

class BlowfishBufferLength : public ::testing::TestWithParam<int> {};

TEST_P(BlowfishBufferLength, BadLengthsAreRefusedAndNothingIsWritten) {
    const int mode = GetParam();
    const uint8_t key[] = {'k', 'e', 'y'};
    const BlowfishCipher cipher(key, sizeof key);
    const auto in = Sequence(24);
    for (size_t length : {size_t{0}, size_t{1}, size_t{7}, size_t{9}, size_t{23}}) {
        SCOPED_TRACE(length);
        std::vector<uint8_t> out(24, 0xAB);
        EXPECT_EQ(ErrorText([&] { cipher.Encrypt(in.data(), out.data(), length, mode); }),
                  "Incorrect buffer length");
        EXPECT_EQ(ErrorText([&] { cipher.Decrypt(in.data(), out.data(), length, mode); }),
                  "Incorrect buffer length");
        EXPECT_EQ(out, std::vector<uint8_t>(24, 0xAB));
    }
}

TEST_P(BlowfishBufferLength, MissingBuffersAreRefused) {
    const uint8_t key[] = {'k'};
    const BlowfishCipher cipher(key, 1);
    uint8_t block[8] = {};
    EXPECT_EQ(ErrorText([&] { cipher.Encrypt(nullptr, block, 8, GetParam()); }),
              "Incorrect buffer length");
    EXPECT_EQ(ErrorText([&] { cipher.Decrypt(block, nullptr, 8, GetParam()); }),
              "Incorrect buffer length");
}

INSTANTIATE_TEST_SUITE_P(AllModes, BlowfishBufferLength,
                         ::testing::Values(kModeEcb, kModeCbc, kModeCfb));

TEST(BlowfishMode, UnknownModeIsRefusedAndNothingIsWritten) {
    const uint8_t key[] = {'k'};
    const BlowfishCipher cipher(key, 1);
    const auto in = Sequence(8);
    std::vector<uint8_t> out(8, 0xAB);
    EXPECT_EQ(ErrorText([&] { cipher.Encrypt(in.data(), out.data(), 8, 3); }), "Incorrect mode");
    EXPECT_EQ(ErrorText([&] { cipher.Decrypt(in.data(), out.data(), 8, -1); }), "Incorrect mode");
    EXPECT_EQ(out, std::vector<uint8_t>(8, 0xAB));
}

class BlowfishRoundTrip : public ::testing::TestWithParam<int> {
  protected:
    const std::vector<uint8_t> key_ = Sequence(16, 0x40);
    const std::vector<uint8_t> chain_ = Sequence(8, 0x90);
    const BlowfishCipher cipher_{key_.data(), key_.size(), chain_.data()};
};

TEST_P(BlowfishRoundTrip, DecipherRestoresThePlainText) {
    const auto plain = Sequence(64, 3);
    std::vector<uint8_t> enciphered(64), back(64);
    cipher_.Encrypt(plain.data(), enciphered.data(), 64, GetParam());
    EXPECT_NE(enciphered, plain);
    cipher_.Decrypt(enciphered.data(), back.data(), 64, GetParam());
    EXPECT_EQ(back, plain);
}

TEST_P(BlowfishRoundTrip, WorksInPlace) {
    const auto plain = Sequence(40, 7);
    std::vector<uint8_t> separate(40);
    cipher_.Encrypt(plain.data(), separate.data(), 40, GetParam());

    auto buffer = plain;
    cipher_.Encrypt(buffer.data(), buffer.data(), 40, GetParam());
    EXPECT_EQ(buffer, separate);
    cipher_.Decrypt(buffer.data(), buffer.data(), 40, GetParam());
    EXPECT_EQ(buffer, plain);
}

// Every call starts from the initial chain block: repeating a call repeats its result.
TEST_P(BlowfishRoundTrip, CallsDoNotDependOnEarlierCalls) {
    const auto plain = Sequence(16, 1);
    std::vector<uint8_t> first(16), second(16);
    cipher_.Encrypt(plain.data(), first.data(), 16, GetParam());
    cipher_.Encrypt(plain.data(), second.data(), 16, GetParam());
    EXPECT_EQ(first, second);
}

INSTANTIATE_TEST_SUITE_P(AllModes, BlowfishRoundTrip,
                         ::testing::Values(kModeEcb, kModeCbc, kModeCfb));

TEST(BlowfishChaining, ChainBlockChangesChainedModesOnly) {
    const uint8_t key[] = {'s', 'e', 'c', 'r', 'e', 't'};
    const uint8_t zeroChain[8] = {};
    const uint8_t otherChain[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const BlowfishCipher defaultChain(key, sizeof key);
    const BlowfishCipher explicitZero(key, sizeof key, zeroChain);
    const BlowfishCipher other(key, sizeof key, otherChain);
    const auto plain = Sequence(16);
    for (int mode : {kModeEcb, kModeCbc, kModeCfb}) {
        SCOPED_TRACE(mode);
        std::vector<uint8_t> a(16), b(16), c(16);
        defaultChain.Encrypt(plain.data(), a.data(), 16, mode);
        explicitZero.Encrypt(plain.data(), b.data(), 16, mode);
        other.Encrypt(plain.data(), c.data(), 16, mode);
        EXPECT_EQ(a, b);
        EXPECT_EQ(a == c, mode == kModeEcb) << ToHex(a) << " " << ToHex(c);
    }
}

} // namespace
} // namespace velmora::crypto
