#include "BlowfishCipher.h"

#include "BlowfishTables.h"

#include <algorithm>

namespace velmora::crypto {

namespace {

uint32_t ReadWord(const uint8_t* bytes) {
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
           uint32_t{bytes[3]};
}

void WriteWord(uint32_t word, uint8_t* bytes) {
    bytes[0] = static_cast<uint8_t>(word >> 24);
    bytes[1] = static_cast<uint8_t>(word >> 16);
    bytes[2] = static_cast<uint8_t>(word >> 8);
    bytes[3] = static_cast<uint8_t>(word);
}

} // namespace

BlowfishCipher::BlowfishCipher(const uint8_t* key, size_t keyLength, const uint8_t chain[8])
    : p_(detail::kInitialP), s_(detail::kInitialS) {
    if (key == nullptr || keyLength == 0) throw BlowfishError("Incorrect key length");
    keyLength = std::min(keyLength, kMaxKeyLength);

    if (chain != nullptr) initialChain_ = {ReadWord(chain), ReadWord(chain + 4)};

    // Fold the key into the P-array, four bytes per word, the key taken cyclically.
    size_t keyPos = 0;
    for (uint32_t& word : p_) {
        uint32_t keyWord = 0;
        for (int i = 0; i < 4; ++i) {
            keyWord = (keyWord << 8) | key[keyPos];
            keyPos = (keyPos + 1) % keyLength;
        }
        word ^= keyWord;
    }

    // Replace the P-array and then the S-boxes, two words at a time, with successive
    // encipherments of a block that starts all zero.
    Block block;
    for (size_t i = 0; i < p_.size(); i += 2) {
        EncryptBlock(block);
        p_[i] = block.left;
        p_[i + 1] = block.right;
    }
    for (auto& box : s_) {
        for (size_t i = 0; i < box.size(); i += 2) {
            EncryptBlock(block);
            box[i] = block.left;
            box[i + 1] = block.right;
        }
    }
}

uint32_t BlowfishCipher::Round(uint32_t x) const {
    return ((s_[0][x >> 24] + s_[1][(x >> 16) & 0xFF]) ^ s_[2][(x >> 8) & 0xFF]) + s_[3][x & 0xFF];
}

void BlowfishCipher::EncryptBlock(Block& block) const {
    uint32_t left = block.left;
    uint32_t right = block.right;
    for (size_t i = 0; i < 16; i += 2) {
        left ^= p_[i];
        right ^= Round(left);
        right ^= p_[i + 1];
        left ^= Round(right);
    }
    block.left = right ^ p_[17];
    block.right = left ^ p_[16];
}

void BlowfishCipher::DecryptBlock(Block& block) const {
    uint32_t left = block.left;
    uint32_t right = block.right;
    for (size_t i = 17; i > 1; i -= 2) {
        left ^= p_[i];
        right ^= Round(left);
        right ^= p_[i - 1];
        left ^= Round(right);
    }
    block.left = right ^ p_[0];
    block.right = left ^ p_[1];
}

void BlowfishCipher::CheckArguments(const uint8_t* in, const uint8_t* out, size_t length,
                                    int mode) {
    if (length == 0 || length % kBlockSize != 0 || in == nullptr || out == nullptr)
        throw BlowfishError("Incorrect buffer length");
    if (mode != kModeEcb && mode != kModeCbc && mode != kModeCfb)
        throw BlowfishError("Incorrect mode");
}

void BlowfishCipher::Encrypt(const uint8_t* in, uint8_t* out, size_t length, int mode) const {
    CheckArguments(in, out, length, mode);
    Block chain = initialChain_;
    for (size_t pos = 0; pos < length; pos += kBlockSize) {
        // Read the whole input block before writing, so that in and out may be one buffer.
        const Block plain{ReadWord(in + pos), ReadWord(in + pos + 4)};
        Block result;
        switch (mode) {
        case kModeEcb:
            result = plain;
            EncryptBlock(result);
            break;
        case kModeCbc:
            result = {plain.left ^ chain.left, plain.right ^ chain.right};
            EncryptBlock(result);
            chain = result;
            break;
        default: // kModeCfb
            EncryptBlock(chain);
            result = {plain.left ^ chain.left, plain.right ^ chain.right};
            chain = result;
            break;
        }
        WriteWord(result.left, out + pos);
        WriteWord(result.right, out + pos + 4);
    }
}

void BlowfishCipher::Decrypt(const uint8_t* in, uint8_t* out, size_t length, int mode) const {
    CheckArguments(in, out, length, mode);
    Block chain = initialChain_;
    for (size_t pos = 0; pos < length; pos += kBlockSize) {
        const Block cipher{ReadWord(in + pos), ReadWord(in + pos + 4)};
        Block result;
        switch (mode) {
        case kModeEcb:
            result = cipher;
            DecryptBlock(result);
            break;
        case kModeCbc:
            result = cipher;
            DecryptBlock(result);
            result = {result.left ^ chain.left, result.right ^ chain.right};
            chain = cipher;
            break;
        default: // kModeCfb
            EncryptBlock(chain);
            result = {cipher.left ^ chain.left, cipher.right ^ chain.right};
            chain = cipher;
            break;
        }
        WriteWord(result.left, out + pos);
        WriteWord(result.right, out + pos + 4);
    }
}

} // namespace velmora::crypto
