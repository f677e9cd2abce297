// A selection of the published Blowfish test vectors of Eric Young: they pin the tables, the key
// schedule, the round function and the byte order at once.
#include "HexBytes.h"
#include "common/crypto/BlowfishCipher.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmora::crypto {
namespace {

using test::FromHex;
using test::ToHex;

struct EcbVector {
    const char* key;
    const char* plain;
    const char* cipher;
};

const EcbVector kEcbVectors[] = {
    {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
    {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
    {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
    {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
    {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
    {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
    {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
    {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
    {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
    {"0101010101010101", "0123456789ABCDEF", "FA34EC4847B268B2"},
    {"1F1F1F1F0E0E0E0E", "0123456789ABCDEF", "A790795108EA3CAE"},
    {"E0FEE0FEF1FEF1FE", "0123456789ABCDEF", "C39E072D9FAC631D"},
    {"0000000000000000", "FFFFFFFFFFFFFFFF", "014933E0CDAFF6E4"},
    {"FFFFFFFFFFFFFFFF", "0000000000000000", "F21E9A77B71C49BC"},
    {"0123456789ABCDEF", "0000000000000000", "245946885754369A"},
    {"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "6B5C5A9C5D9E0A5A"},
};

TEST(BlowfishVectors, EcbEnciphersAndDeciphersEveryPublishedTriple) {
    for (const EcbVector& v : kEcbVectors) {
        SCOPED_TRACE(v.key);
        const auto key = FromHex(v.key);
        const auto plain = FromHex(v.plain);
        const BlowfishCipher cipher(key.data(), key.size());

        std::vector<uint8_t> out(8);
        cipher.Encrypt(plain.data(), out.data(), out.size(), kModeEcb);
        EXPECT_EQ(ToHex(out), v.cipher);

        const auto enciphered = FromHex(v.cipher);
        cipher.Decrypt(enciphered.data(), out.data(), out.size(), kModeEcb);
        EXPECT_EQ(ToHex(out), v.plain);
    }
}

// Keys of 1 to 24 bytes, each the start of one long key, enciphering one block.
TEST(BlowfishVectors, VariableKeyLengths) {
    const auto longKey = FromHex("F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677");
    const auto plain = FromHex("FEDCBA9876543210");
    const char* const expected[] = {
        "F9AD597C49DB005E", "E91D21C1D961A6D6", "E9C2B70A1BC65CF3", "BE1E639408640F05",
        "B39E44481BDB1E6E", "9457AA83B1928C0D", "8BB77032F960629D", "E87A244E2CC85E82",
        "15750E7A4F4EC577", "122BA70B3AB64AE0", "3A833C9AFFC537F6", "9409DA87A90F6BF2",
        "884F80625060B8B4", "1F85031C19E11968", "79D9373A714CA34F", "93142887EE3BE15C",
        "03429E838CE2D14B", "A4299E27469FF67B", "AFD5AED1C1BC96A8", "10851C0E3858DA9F",
        "E6F51ED79B9DB21F", "64A6E14AFD36B46F", "80C7D7D45A5479AD", "05044B62FA52D080",
    };
    for (size_t length = 1; length <= longKey.size(); ++length) {
        SCOPED_TRACE(length);
        const BlowfishCipher cipher(longKey.data(), length);
        std::vector<uint8_t> out(8);
        cipher.Encrypt(plain.data(), out.data(), out.size(), kModeEcb);
        EXPECT_EQ(ToHex(out), expected[length - 1]);
    }
}

// The chained-mode vectors: a 29-byte message ("7654321 Now is the time for " and its zero byte)
// under a 16-byte key with the chain block FEDCBA9876543210. The chained modes here work on whole
// blocks, so the message is zero-padded to 32 bytes for CBC and cut to 24 bytes for CFB.
TEST(BlowfishVectors, ChainedModes) {
    const auto key = FromHex("0123456789ABCDEFF0E1D2C3B4A59687");
    const auto chain = FromHex("FEDCBA9876543210");
    const auto message =
        FromHex("37363534333231204E6F77206973207468652074696D6520666F722000000000");
    const BlowfishCipher cipher(key.data(), key.size(), chain.data());
    const struct {
        int mode;
        size_t length;
        const char* expected;
    } cases[] = {
        {kModeCbc, 32, "6B77B4D63006DEE605B156E27403979358DEB9E7154616D959F1652BD5FF92CC"},
        {kModeCfb, 24, "E73214A2822139CAF26ECF6D2EB9E76E3DA3DE04D1517200"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        std::vector<uint8_t> out(c.length), back(c.length);
        cipher.Encrypt(message.data(), out.data(), c.length, c.mode);
        EXPECT_EQ(ToHex(out), c.expected);
        cipher.Decrypt(out.data(), back.data(), c.length, c.mode);
        EXPECT_EQ(back, std::vector<uint8_t>(message.begin(), message.begin() + c.length));
    }
}

} // namespace
} // namespace velmora::crypto
