#include "PasswordBlock.h"

#include "BlowfishCipher.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace velmora::crypto {

namespace {

// The key every stored password is enciphered with; its 8 character codes are the key bytes.
constexpr char kPasswordKey[] = "k7#Rw2Lq";
constexpr size_t kPasswordKeyLength = sizeof(kPasswordKey) - 1;

const BlowfishCipher& PasswordCipher() {
    static const BlowfishCipher cipher(reinterpret_cast<const uint8_t*>(kPasswordKey),
                                       kPasswordKeyLength);
    return cipher;
}

} // namespace

const char* const kPasswordTooLongMessage =
    "The password is too long: it may hold at most 63 bytes.";

bool PasswordFits(const std::string& utf8) {
    return utf8.size() <= kMaxPasswordBytes;
}

std::array<uint8_t, kPasswordBlockSize> EncipherPassword(const std::string& utf8) {
    if (!PasswordFits(utf8)) throw std::length_error(kPasswordTooLongMessage);
    std::array<uint8_t, kPasswordBlockSize> block{};
    std::memcpy(block.data(), utf8.data(), utf8.size());
    PasswordCipher().Encrypt(block.data(), block.data(), block.size(), kModeEcb);
    return block;
}

std::string DecipherPassword(const uint8_t* data, size_t size) {
    if (data == nullptr || size == 0) return {};
    std::array<uint8_t, kPasswordBlockSize> block{};
    std::memcpy(block.data(), data, std::min(size, block.size()));
    PasswordCipher().Decrypt(block.data(), block.data(), block.size(), kModeEcb);
    const auto end = std::find(block.begin(), block.end(), uint8_t{0});
    return std::string(block.begin(), end);
}

} // namespace velmora::crypto
